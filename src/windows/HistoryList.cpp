#include "windows/HistoryList.h"

#include "desktop/Desktop.h"
#include "rules/Module1.h"

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

// Whether another program wrote the file since the launcher last read or
// wrote it. A file system's clock can be too coarse to show a quick change
// of the same size, so the bytes the list came from are compared as well.
bool changedSinceRead(const Module1::HistoryFileRecord &record)
{
    const SafeFile::Stamp now = SafeFile::stamp(record.path);
    if (now != record.stamp)
        return true;
    return now.exists && historyFileDigest(record.path, record.readBytes) != record.digest;
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
    State.HistoryFile = {State.HistoryFilePath,
                         result.status == HistoryLoad::Failed,
                         result.stamp,
                         result.readBytes,
                         result.digest,
                         result.unreadFrom,
                         {}};
    // A missing or unreadable file leaves the list's items, and like a read it
    // ends any claim that the list holds changes the file lacks.
    State.HistoryChanged = false;
}

bool SaveHistoryList(QListWidget &list)
{
    using Module1::State;
    const QString &path = State.HistoryFilePath;
    Module1::HistoryFileRecord &record = State.HistoryFile;
    const bool known = record.path == path;
    // Whatever the file holds, the launcher does not know it: writing the
    // list over it could destroy a whole list.
    if (known && record.unreadable) {
        reportFailure(list.window(),
                      {QStringLiteral("The history list could not be saved."), path,
                       QStringLiteral("It could not be read when the list was loaded, so it is "
                                      "left as it is. Your searches stay in the window.")});
        return false;
    }

    QList<HistoryLine> lines = historyLines(list);
    qint64 keepFrom = known ? record.unreadFrom : -1;
    if (known && changedSinceRead(record)) {
        // Another program changed the file since it was read: its content is
        // what this run's changes go on top of.
        QList<HistoryLine> current;
        const HistoryLoadResult reread =
            loadHistoryFile(path, State.HistoryListMaxItems,
                            [&](HistoryLine &&line) { current.append(std::move(line)); });
        if (reread.status == HistoryLoad::Failed) {
            reportFailure(list.window(), {QStringLiteral("The history list could not be saved."),
                                          path, reread.failure.reason});
            return false;
        }
        lines = replayHistoryChanges(current, record.changes, State.HistoryListMaxItems);
        keepFrom = reread.unreadFrom;
        const QSignalBlocker quiet(list);
        list.clear();
        for (const HistoryLine &line : std::as_const(lines))
            list.addItem(makeHistoryItem(line));
    }
    qint64 listBytes = 0;
    if (const MaybeFailure failure = saveHistoryFile(path, lines, keepFrom, &listBytes)) {
        reportFailure(list.window(), *failure);
        return false;
    }
    record = {path,
              false,
              SafeFile::stamp(path),
              listBytes,
              historyFileDigest(path, listBytes),
              keepFrom >= 0 ? listBytes : -1,
              {}};
    State.HistoryChanged = false;
    return true;
}

void recordHistoryChange(const HistoryChange &change)
{
    Module1::State.HistoryFile.changes.append(change);
}

void forgetLastRemoval()
{
    QList<HistoryChange> &changes = Module1::State.HistoryFile.changes;
    if (!changes.isEmpty() && changes.last().kind == HistoryChange::Kind::Removal)
        changes.removeLast();
}

} // namespace Nimbrel
