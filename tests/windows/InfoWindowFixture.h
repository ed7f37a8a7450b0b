#pragma once

#include "support/FakeDesktop.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"

#include <QListWidget>
#include <QSettings>

#include <memory>

// A started main window and an Info window over it, in a fresh environment.
namespace InfoWindowFixture
{

using namespace SettingsFixture;

// The stored text of a key as the file on disk holds it; null when absent.
inline QString storedSetting(const QString &key)
{
    QSettings file(TestEnvironment::settingsFile(), QSettings::IniFormat);
    return file.value(QStringLiteral("Settings/") + key).toString();
}

struct Windows {
    std::unique_ptr<Nimbrel::MainForm> main = std::make_unique<Nimbrel::MainForm>();
    std::unique_ptr<Nimbrel::InfoForm> info =
        std::make_unique<Nimbrel::InfoForm>(*ui(*main).List_History, main.get());
};

} // namespace InfoWindowFixture
