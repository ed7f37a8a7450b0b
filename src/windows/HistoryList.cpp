#include "windows/HistoryList.h"

#include "desktop/Desktop.h"
#include "rules/Module1.h"

#include <QListWidget>

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

void LoadHistoryList(QListWidget &list)
{
    using Module1::State;
    bool cleared = false;
    const HistoryLoadResult result =
        loadHistoryFile(State.HistoryFilePath, State.HistoryListMaxItems, [&](HistoryLine &&line) {
            if (!cleared) {
                list.clear();
                cleared = true;
            }
            list.addItem(makeHistoryItem(line));
        });
    if (result.status == HistoryLoad::Read && !cleared)
        list.clear(); // an empty file is an empty list
    if (result.status == HistoryLoad::Failed)
        reportFailure(list.window(), result.failure);
    // A missing or unreadable file leaves the list's items, and like a read it
    // ends any claim that the list holds changes the file lacks: an unreadable
    // file is never overwritten by a list that did not come from it.
    State.HistoryChanged = false;
}

bool SaveHistoryList(const QListWidget &list)
{
    using Module1::State;
    if (const MaybeFailure failure = saveHistoryFile(State.HistoryFilePath, historyLines(list))) {
        reportFailure(list.window(), *failure);
        return false;
    }
    State.HistoryChanged = false;
    return true;
}

} // namespace Nimbrel
