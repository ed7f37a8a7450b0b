#include "rules/HistoryFile.h"

#include "rules/SafeFile.h"
#include "rules/SearchRules.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace Nimbrel
{

namespace
{

constexpr qint64 ChunkSize = 64 * 1024;

// A term is one line of the file; the widest the system encoding makes a
// character the search box takes is three bytes.
static_assert(SearchRules::MaxTermLength * 3 < HistoryLineLimit);

QByteArray digestOfStart(QIODevice &device, qint64 length)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (length > 0) {
        const QByteArray chunk = device.read(std::min(length, ChunkSize));
        if (chunk.isEmpty())
            break;
        hash.addData(chunk);
        length -= chunk.size();
    }
    return hash.result();
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
                           const std::function<void(HistoryLine &&)> &take, qsizetype maxLineBytes,
                           HistoryReadEnd *end)
{
    return readHistoryLines(device, {maxItems, -1, maxLineBytes}, take, end);
}

qsizetype readHistoryLines(QIODevice &device, const HistoryReadLimits &limits,
                           const std::function<void(HistoryLine &&)> &take, HistoryReadEnd *end)
{
    qsizetype count = 0;
    const auto add = [&](const QByteArray &bytes) {
        take(decodeHistoryLine(bytes));
        ++count;
    };
    QByteArray pending;    // bytes of the line being read
    bool afterCr = false;  // the previous chunk ended in CR: a following LF belongs to it
    bool cut = false;      // a line was too long: it is the last one read
    qint64 chunkAt = 0;    // where the chunk being looked at starts in the file
    qint64 nextLineAt = 0; // where the line after the last one handed over starts
    const auto full = [&] {
        return cut || (limits.maxItems >= 1 && count == limits.maxItems) ||
               (limits.maxBytes >= 0 && nextLineAt >= limits.maxBytes);
    };
    // Takes `length` more bytes of the line being read; false when that makes
    // the line too long, which cuts it and ends the reading.
    const auto extend = [&](const char *bytes, qsizetype length) {
        if (pending.size() + length <= limits.maxLineBytes) {
            pending.append(bytes, length);
            return true;
        }
        pending.append(bytes, limits.maxLineBytes - pending.size());
        add(pending);
        cut = true;
        return false;
    };

    bool endOfFile = false;
    while (!full()) {
        const QByteArray chunk = device.read(ChunkSize);
        if (chunk.isEmpty()) {
            endOfFile = true;
            break;
        }
        qsizetype start = 0;
        if (afterCr && chunk.startsWith('\n')) {
            start = 1;
            nextLineAt = chunkAt + 1;
        }
        afterCr = false;
        for (qsizetype i = start; i < chunk.size() && !full(); ++i) {
            const char c = chunk.at(i);
            if (c != '\r' && c != '\n')
                continue;
            if (!extend(chunk.constData() + start, i - start))
                break;
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
            nextLineAt = chunkAt + start;
        }
        if (!full() && start < chunk.size())
            extend(chunk.constData() + start, chunk.size() - start);
        chunkAt += chunk.size();
    }
    if (!full() && !pending.isEmpty()) {
        add(pending);
        nextLineAt = chunkAt;
    }
    // A CR LF split between two chunks, the LF not read yet, is one line end.
    if (afterCr && !endOfFile && device.read(1) == "\n")
        ++nextLineAt;
    if (end)
        *end = {nextLineAt, endOfFile && !cut, cut};
    return count;
}

QList<HistoryLine> readHistoryLines(QIODevice &device, qint16 maxItems, qsizetype maxLineBytes)
{
    QList<HistoryLine> lines;
    readHistoryLines(
        device, maxItems, [&](HistoryLine &&line) { lines.append(std::move(line)); }, maxLineBytes);
    return lines;
}

HistoryLoadResult loadHistoryFile(const QString &path, qint16 maxItems,
                                  const std::function<void(HistoryLine &&)> &take)
{
    HistoryLoadResult result;
    // Taken before the read: a change made while it reads is a change made
    // since, and is noticed before the next save.
    result.stamp = SafeFile::stamp(path);
    if (!QFileInfo::exists(path)) {
        result.status = HistoryLoad::Missing;
        return result;
    }
    // A folder, pipe or device is refused without waiting on it.
    QFile file;
    if (const MaybeFailure refused = SafeFile::openForReading(file, path)) {
        result.status = HistoryLoad::Failed;
        result.failure = refused->as(QCoreApplication::translate(
            "Nimbrel::HistoryFile", "The history list could not be read."));
        return result;
    }
    const bool unlimited = maxItems < 1;
    HistoryReadEnd end;
    readHistoryLines(file,
                     unlimited ? HistoryReadLimits{UnlimitedListMaxItems, UnlimitedListMaxBytes}
                               : HistoryReadLimits{maxItems},
                     take, &end);
    // A bounded list drops what lies beyond it at the next save, as a full
    // list drops its oldest item; a list without a bound drops nothing.
    if (unlimited && !end.endOfFile && !end.cut)
        result.unreadFrom = end.offset;
    result.readBytes = end.offset;
    if (file.seek(0))
        result.digest = digestOfStart(file, end.offset);
    result.status = HistoryLoad::Read;
    return result;
}

QByteArray historyFileDigest(const QString &path, qint64 length)
{
    QFile file;
    if (SafeFile::openForReading(file, path))
        return QByteArray();
    return digestOfStart(file, length);
}

MaybeFailure saveHistoryFile(const QString &path, const QList<HistoryLine> &items, qint64 keepFrom,
                             qint64 *itemBytes)
{
    QByteArray content;
    for (const HistoryLine &item : items) {
        content += encodeHistoryItem(item.text, item.raw);
        content += HistoryLineEnd;
    }
    if (itemBytes)
        *itemBytes = content.size();
    const QString what =
        QCoreApplication::translate("Nimbrel::HistoryFile", "The history list could not be saved.");
    QFile old;
    if (keepFrom >= 0) {
        if (const MaybeFailure refused = SafeFile::openForReading(old, path))
            return refused->as(what);
        if (!old.seek(keepFrom))
            return Failure{what, path, old.errorString()};
    }
    if (const MaybeFailure refused =
            SafeFile::replaceTarget(path, content, keepFrom >= 0 ? &old : nullptr))
        return refused->as(what);
    return std::nullopt;
}

} // namespace Nimbrel
