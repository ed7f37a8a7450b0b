#pragma once

#include "rules/Failure.h"

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
qsizetype readHistoryLines(QIODevice &device, qint16 maxItems,
                           const std::function<void(HistoryLine &&)> &take,
                           qsizetype maxLineBytes = HistoryLineLimit);

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
    Failure failure; // for Failed
};

// Reads the file at `path` as readHistoryLines does.
HistoryLoadResult loadHistoryFile(const QString &path, qint16 maxItems,
                                  const std::function<void(HistoryLine &&)> &take);

// Replaces the file at `path` with `items`, each followed by HistoryLineEnd,
// atomically: on any failure the old file stays whole.
MaybeFailure saveHistoryFile(const QString &path, const QList<HistoryLine> &items);

} // namespace Nimbrel
