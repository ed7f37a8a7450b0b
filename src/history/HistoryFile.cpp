#include "history/HistoryFile.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
}

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
                           const std::function<void(HistoryLine &&)> &take, qsizetype maxLineBytes)
{
    qsizetype count = 0;
    const auto add = [&](const QByteArray &bytes) {
        take(decodeHistoryLine(bytes));
        ++count;
    };
    QByteArray pending;       // bytes of the line being read
    bool afterCr = false;     // the previous chunk ended in CR: a following LF belongs to it
    bool cut = false;         // a line was too long: it is the last one read
    const auto full = [&] { return cut || (maxItems >= 1 && count == maxItems); };
    // Takes `length` more bytes of the line being read; false when that makes
    // the line too long, which cuts it and ends the reading.
    const auto extend = [&](const char *bytes, qsizetype length) {
        if (pending.size() + length <= maxLineBytes) {
            pending.append(bytes, length);
            return true;
        }
        pending.append(bytes, maxLineBytes - pending.size());
        add(pending);
        cut = true;
        return false;
    };

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
        }
        if (!full() && start < chunk.size())
            extend(chunk.constData() + start, chunk.size() - start);
    }
    if (!full() && !pending.isEmpty())
        add(pending);
    return count;
}

QList<HistoryLine> readHistoryLines(QIODevice &device, qint16 maxItems, qsizetype maxLineBytes)
{
    QList<HistoryLine> lines;
    readHistoryLines(
        device, maxItems, [&](HistoryLine &&line) { lines.append(std::move(line)); }, maxLineBytes);
    return lines;
}
