#include "windows/HistoryList.h"

#include "desktop/Desktop.h"
#include "rules/LauncherSession.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace Nimbrel
{

namespace
{

constexpr int RawBytesRole = Qt::UserRole + 1;

QList<HistoryLine> historyLines(const QListWidget &list)
{
    QList<HistoryLine> lines;
    lines.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem *item = list.item(i);
        lines.append({item->text(), item->data(RawBytesRole).toByteArray()});
    }
    return lines;
}

} // namespace

QListWidgetItem *makeHistoryItem(const HistoryLine &line)
{
    auto *item = new QListWidgetItem(line.text);
    if (!line.raw.isEmpty())
        item->setData(RawBytesRole, line.raw);
    return item;
}

QListWidgetItem *makeHistoryItem(const QString &text)
{
    return new QListWidgetItem(text);
}

bool loadHistoryList(LauncherSession &session, QListWidget &list)
{
    bool cleared = false;
    bool fileFound = false;
    const MaybeFailure failure = session.loadList(
        [&](HistoryLine &&line) {
            if (!cleared) {
                list.clear();
                cleared = true;
            }
            list.addItem(makeHistoryItem(line));
        },
        &fileFound);
    if (fileFound && !cleared)
        list.clear(); // an empty file is an empty list
    return reportIfFailed(list.window(), failure);
}

bool saveHistoryList(LauncherSession &session, QListWidget &list)
{
    QList<HistoryLine> lines = historyLines(list);
    bool rebased = false;
    const MaybeFailure failure = session.saveList(lines, &rebased);
    if (rebased) {
        const QSignalBlocker quiet(list);
        list.clear();
        for (const HistoryLine &line : std::as_const(lines))
            list.addItem(makeHistoryItem(line));
    }
    return reportIfFailed(list.window(), failure);
}

} // namespace Nimbrel
