// A history file is plain text that the user edits by hand and that other
// programs or code pages may have written: any bytes at all can be in it.
#include "FuzzInput.h"

#include "rules/HistoryFile.h"

#include <QBuffer>

#include <algorithm>
#include <cstdlib>

using namespace Nimbrel;

namespace
{

// Hands the bytes out a few at a time, as a pipe or a network file system may,
// so that a CR LF split between two reads is met as often as a whole one.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(const QByteArray &bytes, qint64 piece) : m_bytes(bytes), m_piece(piece)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min({maxSize, m_piece, qint64(m_bytes.size()) - m_pos});
        std::copy_n(m_bytes.constData() + m_pos, count, data);
        m_pos += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_piece;
    qint64 m_pos = 0;
};

// Hands out the bytes over and over without end, as /dev/zero or a pipe fed
// by a runaway program would, a piece at a time, and counts what was taken.
class EndlessDevice : public QIODevice
{
public:
    static constexpr qint64 Piece = 64;

    explicit EndlessDevice(const QByteArray &bytes) : m_bytes(bytes)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 taken() const { return m_taken; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, Piece);
        for (qint64 i = 0; i < count; ++i)
            data[i] = m_bytes.at((m_taken + i) % m_bytes.size());
        m_taken += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_taken = 0;
};

QList<HistoryLine> readAll(const QByteArray &bytes, qint16 maxItems)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readHistoryLines(buffer, maxItems);
}

QByteArray save(const QList<HistoryLine> &lines)
{
    QByteArray bytes;
    for (const HistoryLine &line : lines)
        bytes += encodeHistoryItem(line.text, line.raw) + HistoryLineEnd;
    return bytes;
}

// The file as a save of the unchanged list must write it: the same bytes with
// every line end (CR LF, lone CR, lone LF) as CR LF, the last line included.
QByteArray withCrLfLineEnds(const QByteArray &bytes)
{
    QByteArray result;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    if (!result.isEmpty() && !result.endsWith("\r\n"))
        result += "\r\n";
    return result;
}

bool sameLines(const QList<HistoryLine> &a, const QList<HistoryLine> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
        return x.text == y.text && x.raw == y.raw;
    });
}

// What a reader bound to `maxLineBytes` must give, worked out from the lines
// read without a bound: the lines up to the first longer one, and that one cut
// to the bound as the last.
QList<HistoryLine> boundedLines(const QList<HistoryLine> &all, qsizetype maxLineBytes)
{
    QList<HistoryLine> lines;
    for (const HistoryLine &line : all) {
        const QByteArray bytes = encodeHistoryItem(line.text, line.raw);
        if (bytes.size() <= maxLineBytes) {
            lines.append(line);
            continue;
        }
        lines.append(decodeHistoryLine(bytes.first(maxLineBytes)));
        break;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const qint16 maxItems = qint16(int8_t(input.byte()) % 24); // -23 to 23, 0 and below read all
    const uint8_t shape = input.byte();
    const qint64 piece = 1 + shape % 16;
    // The upper half chooses a line bound small enough for short inputs to
    // meet; 0 keeps the real one.
    const qsizetype lineBound = shape >> 4 ? (shape >> 4) * 3 : HistoryLineLimit;
    const QByteArray file = input.rest();

    const QList<HistoryLine> all = readAll(file, 0);
    const QByteArray saved = save(all);
    FUZZ_CHECK(saved == withCrLfLineEnds(file), QString::fromLatin1(saved.toHex()));
    FUZZ_CHECK(sameLines(readAll(saved, 0), all), QString());

    TrickleDevice trickle(file, piece);
    FUZZ_CHECK(sameLines(readHistoryLines(trickle, 0), all), QString::number(piece));

    const QList<HistoryLine> limited = readAll(file, maxItems);
    const qsizetype expected =
        maxItems >= 1 ? std::min<qsizetype>(maxItems, all.size()) : all.size();
    FUZZ_CHECK(sameLines(limited, all.first(expected)), QString::number(maxItems));

    // With a bound on the line length: every line within it, the first longer
    // one cut and last, however the device hands out its bytes.
    const QList<HistoryLine> unbounded = [&] {
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        return readHistoryLines(buffer, 0, file.size() + 1);
    }();
    const QList<HistoryLine> bounded = boundedLines(unbounded, lineBound);
    TrickleDevice boundedTrickle(file, piece);
    const QList<HistoryLine> read = readHistoryLines(boundedTrickle, maxItems, lineBound);
    const qsizetype kept =
        maxItems >= 1 ? std::min<qsizetype>(maxItems, bounded.size()) : bounded.size();
    FUZZ_CHECK(sameLines(read, bounded.first(kept)), QString::number(lineBound));
    for (const HistoryLine &line : read)
        FUZZ_CHECK(encodeHistoryItem(line.text, line.raw).size() <= lineBound, QString());

    // Stopped by a bound on lines or bytes, the reader says where the lines it
    // did not hand over begin: the lines handed over, saved, with the rest of
    // the file after them, are every line of the file again.
    {
        TrickleDevice stopped(file, piece);
        HistoryReadEnd end;
        QList<HistoryLine> head;
        readHistoryLines(
            stopped, HistoryReadLimits{maxItems, qint64(shape % 64)},
            [&](HistoryLine &&line) { head.append(std::move(line)); }, &end);
        FUZZ_CHECK(end.offset >= 0 && end.offset <= file.size(), QString::number(end.offset));
        if (end.endOfFile)
            FUZZ_CHECK(sameLines(head, all), QString());
        else if (!end.cut)
            FUZZ_CHECK(sameLines(readAll(save(head) + file.mid(end.offset), 0), all),
                       QString::number(end.offset));
    }

    // A device that never ends is read only as far as the kept lines need:
    // each holds at most the bound and two line-end bytes, and what is read
    // beyond them is the rest of one piece. (A list without a maximum reads
    // on, as it should: the only endless files, pipes and devices, are never
    // opened.)
    if (!file.isEmpty() && lineBound < HistoryLineLimit) {
        const qint16 shown = qint16(1 + std::abs(maxItems));
        EndlessDevice endless(file);
        const QList<HistoryLine> kept = readHistoryLines(endless, shown, lineBound);
        // Reading ends with the list full, or early at a line cut to the bound.
        FUZZ_CHECK(kept.size() == shown ||
                       (!kept.isEmpty() &&
                        encodeHistoryItem(kept.last().text, kept.last().raw).size() == lineBound),
                   QString::number(kept.size()));
        const qint64 needed = qint64(shown) * (lineBound + 2) + EndlessDevice::Piece;
        FUZZ_CHECK(endless.taken() <= needed, QString::number(endless.taken()));
    }
    return 0;
}
