#pragma once

#include "rules/Failure.h"
#include "rules/SafeFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QIODevice;

namespace Nimbrel
{

// One line of a history file. `raw` holds the line's bytes when they do not
// survive a round trip through the system encoding (a file written in another
// code page), so that an unchanged item is written back byte for byte.
struct HistoryLine {
    QString text;
    QByteArray raw;
};

// The longest line a history file is read with, in bytes: far beyond any
// search term a browser would still open.
inline constexpr qsizetype HistoryLineLimit = 64 * 1024;

// Reads the lines of a history file from `device`. A line ends at CR LF, at a
// lone CR or at a lone LF; the last line needs no terminator. Reading stops
// once `maxItems` lines have been read; with 0 or less, every line is read.
// A line longer than `maxLineBytes` is cut to that length and ends the
// reading, so what is read stays proportional to what is kept, whatever the
// file holds (a file without line ends, however large, costs one cut line).
// Only as much of the device is read as those lines need. Each line is handed
// to `take` as soon as it is complete, so a caller that stores lines elsewhere
// never holds the whole file twice. Returns the number of lines read.
//
// `end`, when given, learns where the reading stopped.
struct HistoryReadEnd {
    qint64 offset = 0;      // where the first line not handed over starts
    bool endOfFile = false; // every line was handed over
    bool cut = false;       // the last line handed over was cut
};
qsizetype readHistoryLines(QIODevice &device, qint16 maxItems,
                           const std::function<void(HistoryLine &&)> &take,
                           qsizetype maxLineBytes = HistoryLineLimit,
                           HistoryReadEnd *end = nullptr);

// The same with a bound on bytes besides the one on lines: no line is begun
// at or after `maxBytes` (the line under way is finished).
struct HistoryReadLimits {
    qint16 maxItems = 0;
    qint64 maxBytes = -1; // below 0: no bound
    qsizetype maxLineBytes = HistoryLineLimit;
};
qsizetype readHistoryLines(QIODevice &device, const HistoryReadLimits &limits,
                           const std::function<void(HistoryLine &&)> &take,
                           HistoryReadEnd *end = nullptr);

// What a list without a size limit loads at most, far beyond any list a
// person keeps; what lies beyond stays in the file, untouched.
inline constexpr qint16 UnlimitedListMaxItems = 10000;
inline constexpr qint64 UnlimitedListMaxBytes = 2 * 1024 * 1024;

// The same, collected into a list.
QList<HistoryLine> readHistoryLines(QIODevice &device, qint16 maxItems,
                                    qsizetype maxLineBytes = HistoryLineLimit);

// Decodes one line's bytes in the system encoding, keeping the bytes when the
// text could not reproduce them.
HistoryLine decodeHistoryLine(const QByteArray &bytes);

// The bytes of one item as the file stores it, without the line end.
QByteArray encodeHistoryItem(const QString &text, const QByteArray &raw = QByteArray());

// The line end after every item, the last one included.
inline constexpr char HistoryLineEnd[] = "\r\n";

// How reading a list's file ended.
enum class HistoryLoad {
    Read,    // the lines were handed over
    Missing, // there is no file; nothing was handed over
    Failed,  // the file exists but cannot be read; nothing was handed over
};

struct HistoryLoadResult {
    HistoryLoad status = HistoryLoad::Missing;
    Failure failure;       // for Failed
    SafeFile::Stamp stamp; // the file as it was just before it was read
    // For a list without a size limit whose file holds more than it loads:
    // where the lines not loaded start, to be kept by the next save. -1 when
    // the list holds all there is to keep.
    qint64 unreadFrom = -1;
    // The bytes the list came from (the start of the file), and their digest:
    // a change within the same tick of the file system's clock shows there.
    qint64 readBytes = 0;
    QByteArray digest;
};

// Reads the file at `path` as readHistoryLines does, up to `maxItems` lines;
// with 0 or less, up to UnlimitedListMaxItems lines and UnlimitedListMaxBytes.
HistoryLoadResult loadHistoryFile(const QString &path, qint16 maxItems,
                                  const std::function<void(HistoryLine &&)> &take);

// The digest loadHistoryFile gives the first `length` bytes of the file at
// `path`; empty when it cannot be read.
QByteArray historyFileDigest(const QString &path, qint64 length);

// Replaces the file at `path` with `items`, each followed by HistoryLineEnd,
// atomically: on any failure the old file stays whole. With `keepFrom` at 0
// or more, the old file's bytes from there on follow the items. A link at
// `path` is followed and its target replaced; a read-only file, or one that
// is not a regular file, is left as it is and reported. `itemBytes`, when
// given, learns how many bytes the items took.
MaybeFailure saveHistoryFile(const QString &path, const QList<HistoryLine> &items,
                             qint64 keepFrom = -1, qint64 *itemBytes = nullptr);

} // namespace Nimbrel
