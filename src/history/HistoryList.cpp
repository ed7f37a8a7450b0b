#include "history/HistoryList.h"

#include "core/Desktop.h"
#include "core/Module1.h"
#include "core/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>

namespace {

constexpr int RawBytesRole = Qt::UserRole + 1;

QByteArray fileContent(const QListWidget &list)
{
    QByteArray content;
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem *item = list.item(i);
        content += encodeHistoryItem(item->text(), item->data(RawBytesRole).toByteArray());
        content += HistoryLineEnd;
    }
    return content;
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
    const QString &path = State.HistoryFilePath;
    if (!QFileInfo::exists(path)) {
        State.HistoryChanged = Module1::False;
        return;
    }

    QFile file;
    QString reason;
    if (!SafeFile::openForReading(file, path, &reason)) {
        reportFailure(list.window(), QStringLiteral("The history list could not be read."), path,
                      reason);
        // The list keeps its items; like a missing file, this ends any claim that
        // the list holds changes the file lacks, so the unreadable file is never
        // overwritten by a list that did not come from it.
        State.HistoryChanged = Module1::False;
        return;
    }

    list.clear();
    readHistoryLines(file, State.HistoryListMaxItems,
                     [&](HistoryLine &&line) { list.addItem(makeHistoryItem(line)); });
    State.HistoryChanged = Module1::False;
}

bool SaveHistoryList(const QListWidget &list)
{
    using Module1::State;
    QString reason;
    if (!SafeFile::replace(State.HistoryFilePath, fileContent(list), &reason)) {
        reportFailure(list.window(), QStringLiteral("The history list could not be saved."),
                      State.HistoryFilePath, reason);
        return false;
    }
    State.HistoryChanged = Module1::False;
    return true;
}
