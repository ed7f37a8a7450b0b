#include "rules/HistoryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace Nimbrel {

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

// QSaveFile can report a successful commit after the disk filled up during a
// flush, so every step is checked and the save is cancelled on the first fault.
bool writeAtomically(const QString &path, const QByteArray &content, QString *reason)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (file.write(content) != content.size() || !file.flush()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace

HistoryLine decodeHistoryLine(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    HistoryLine line{decoder.decode(bytes), QByteArray()};
    if (decoder.hasError() || encodeHistoryItem(line.text) != bytes)
        line.raw = bytes;
    return line;
}

QByteArray encodeHistoryItem(const QString &text, const QByteArray &raw)
{
    if (!raw.isEmpty() && decodeHistoryLine(raw).text == text)
        return raw;
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

qsizetype readHistoryLines(QIODevice &device, qint16 maxItems,
                           const std::function<void(HistoryLine &&)> &take)
{
    qsizetype count = 0;
    const auto add = [&](const QByteArray &bytes) {
        take(decodeHistoryLine(bytes));
        ++count;
    };
    QByteArray pending;       // bytes of the line being read
    bool afterCr = false;     // the previous chunk ended in CR: a following LF belongs to it
    const auto full = [&] { return maxItems >= 1 && count == maxItems; };

    while (!full()) {
        const QByteArray chunk = device.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        qsizetype start = 0;
        if (afterCr && chunk.startsWith('\n'))
            start = 1;
        afterCr = false;
        for (qsizetype i = start; i < chunk.size() && !full(); ++i) {
            const char c = chunk.at(i);
            if (c != '\r' && c != '\n')
                continue;
            pending.append(chunk.constData() + start, i - start);
            add(pending);
            pending.clear();
            if (c == '\r') {
                if (i + 1 < chunk.size()) {
                    if (chunk.at(i + 1) == '\n')
                        ++i;
                } else {
                    afterCr = true;
                }
            }
            start = i + 1;
        }
        if (!full() && start < chunk.size())
            pending.append(chunk.constData() + start, chunk.size() - start);
    }
    if (!full() && !pending.isEmpty())
        add(pending);
    return count;
}

QList<HistoryLine> readHistoryLines(QIODevice &device, qint16 maxItems)
{
    QList<HistoryLine> lines;
    readHistoryLines(device, maxItems, [&](HistoryLine &&line) { lines.append(std::move(line)); });
    return lines;
}

HistoryLoadResult loadHistoryFile(const QString &path, qint16 maxItems,
                                  const std::function<void(HistoryLine &&)> &take)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {HistoryLoad::Missing, {}};
    const QString what = QStringLiteral("The history list could not be read.");
    if (info.isDir())
        return {HistoryLoad::Failed, {what, path, QStringLiteral("It is a folder, not a file.")}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {HistoryLoad::Failed, {what, path, file.errorString()}};
    readHistoryLines(file, maxItems, take);
    return {HistoryLoad::Read, {}};
}

MaybeFailure saveHistoryFile(const QString &path, const QList<HistoryLine> &items)
{
    QByteArray content;
    for (const HistoryLine &item : items) {
        content += encodeHistoryItem(item.text, item.raw);
        content += HistoryLineEnd;
    }
    QString reason;
    if (!writeAtomically(path, content, &reason))
        return Failure{QStringLiteral("The history list could not be saved."), path, reason};
    return std::nullopt;
}

} // namespace Nimbrel
