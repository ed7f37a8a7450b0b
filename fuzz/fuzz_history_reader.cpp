// A history file is plain text that the user edits by hand and that other
// programs or code pages may have written: any bytes at all can be in it.
#include "FuzzInput.h"

#include "rules/HistoryFile.h"

#include <QBuffer>

#include <algorithm>

using namespace Nimbrel;

namespace {

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const qint16 maxItems = qint16(int8_t(input.byte()) % 24); // -23 to 23, 0 and below read all
    const qint64 piece = 1 + input.byte() % 16;
    const QByteArray file = input.rest();

    const QList<HistoryLine> all = readAll(file, 0);
    const QByteArray saved = save(all);
    FUZZ_CHECK(saved == withCrLfLineEnds(file), QString::fromLatin1(saved.toHex()));
    FUZZ_CHECK(sameLines(readAll(saved, 0), all), QString());

    TrickleDevice trickle(file, piece);
    FUZZ_CHECK(sameLines(readHistoryLines(trickle, 0), all), QString::number(piece));

    const QList<HistoryLine> limited = readAll(file, maxItems);
    const qsizetype expected = maxItems >= 1 ? std::min<qsizetype>(maxItems, all.size()) : all.size();
    FUZZ_CHECK(sameLines(limited, all.first(expected)), QString::number(maxItems));
    return 0;
}
