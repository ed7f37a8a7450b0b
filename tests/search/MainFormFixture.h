#pragma once

#include "history/HistoryList.h"
#include "support/TestEnvironment.h"

#include <QListWidget>
#include <QStringList>

#include <initializer_list>

// What the main window's tests share: a settings store with a known wiki
// address, and the history list box read and filled as plain texts.
namespace MainFormFixture
{

inline const QString Wiki = QStringLiteral("https://w.example/wiki/");

inline void writeSettings(const QByteArray &extra = QByteArray())
{
    writeBytes(TestEnvironment::settingsFile(),
               "[Settings]\nWikiPath=" + Wiki.toUtf8() +
                   "\nHomepage=http://h.example/\nHistoryListMaxItems=10\n"
                   "CloseWhenBrowserOpen=0\n" +
                   extra);
}

inline QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList result;
    for (const char *text : utf8)
        result << QString::fromUtf8(text);
    return result;
}

} // namespace MainFormFixture
