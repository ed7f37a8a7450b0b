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

inline QString listFile(int n)
{
    return TestEnvironment::dataFolder() + QStringLiteral("/SearchHistory-%1.dat").arg(n);
}

inline void writeSettings(const QByteArray &extra = QByteArray())
{
    writeBytes(TestEnvironment::settingsFile(),
               "[Settings]\nWikiPath=" + Wiki.toUtf8() +
                   "\nHomepage=http://h.example/\nHistoryListMaxItems=10\n"
                   "CloseWhenBrowserOpen=0\n" +
                   extra);
}

inline QStringList items(const QListWidget &list)
{
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result << list.item(i)->text();
    return result;
}

inline void fill(QListWidget &list, const QStringList &texts)
{
    list.clear();
    for (const QString &text : texts)
        list.addItem(makeHistoryItem(text));
}

inline QStringList texts(std::initializer_list<const char *> utf8)
{
    QStringList result;
    for (const char *text : utf8)
        result << QString::fromUtf8(text);
    return result;
}

} // namespace MainFormFixture
