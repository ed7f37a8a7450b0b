#pragma once

#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>

// Settings and history contents that many tests start from.
namespace SettingsFixture
{

inline const QString Wiki = QStringLiteral("https://w.example/wiki/");

// The lines of a seeded store, with a wiki address of the tests' own.
inline QByteArray seeded(int historySize = 10)
{
    return "WikiPath=" + Wiki.toUtf8() +
           "\nHomepage=http://h.example/\nHistoryListMaxItems=" + QByteArray::number(historySize) +
           "\nCloseWhenBrowserOpen=0\n";
}

// Writes the settings store: section [Settings] holding exactly `lines`. On
// Windows the store is the registry key, and each key=value line becomes one
// of its string values.
inline void writeRawSettings(const QByteArray &lines)
{
#ifdef Q_OS_WIN
    const auto store = TestEnvironment::nativeStore();
    store->remove(QStringLiteral("Settings"));
    store->beginGroup(QStringLiteral("Settings"));
    for (const QByteArray &line : lines.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            store->setValue(QString::fromUtf8(line.left(equals)),
                            QString::fromUtf8(line.mid(equals + 1)));
    }
    store->endGroup();
    store->sync();
#else
    writeBytes(TestEnvironment::settingsFile(), "[Settings]\n" + lines);
#endif
}

// Writes a seeded store followed by `extra` lines.
inline void writeSettings(const QByteArray &extra = QByteArray(), int historySize = 10)
{
    writeRawSettings(seeded(historySize) + extra);
}

// Items I1, I2, ..., In.
inline QStringList numbered(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << QStringLiteral("I%1").arg(i);
    return items;
}

// A history file's bytes for the items "ITEM first", "ITEM first + 1", ...
inline QByteArray numberedLines(int first, int count)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += "ITEM " + QByteArray::number(i) + "\r\n";
    return bytes;
}

inline QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList result;
    for (const char *text : utf8)
        result << QString::fromUtf8(text);
    return result;
}

} // namespace SettingsFixture
