#pragma once

#include "core/MainForm.h"
#include "infowindow/InfoForm.h"
#include "support/FakeDesktop.h"
#include "support/TestEnvironment.h"

#include <QListWidget>
#include <QSettings>

#include <memory>

// A started main window and an Info window over it, in a fresh environment.
namespace InfoWindowFixture
{

// Settings as a seeded store holds them, followed by `extra` lines.
inline void writeSettings(const QByteArray &extra)
{
    writeBytes(TestEnvironment::settingsFile(), "[Settings]\n"
                                                "WikiPath=https://w.example/wiki/\n"
                                                "Homepage=http://h.example/\n"
                                                "CloseWhenBrowserOpen=0\n" +
                                                    extra);
}

// The stored text of a key as the file on disk holds it; null when absent.
inline QString storedSetting(const QString &key)
{
    QSettings file(TestEnvironment::settingsFile(), QSettings::IniFormat);
    return file.value(QStringLiteral("Settings/") + key).toString();
}

// A history file's bytes for the items first, first + 1, ..., one per line.
inline QByteArray numberedLines(int first, int count)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += "ITEM " + QByteArray::number(i) + "\r\n";
    return bytes;
}

struct Windows {
    std::unique_ptr<MainForm> main = std::make_unique<MainForm>();
    std::unique_ptr<InfoForm> info = std::make_unique<InfoForm>(*main->List_History, main.get());
};

} // namespace InfoWindowFixture
