#include "windows/WrappedPath.h"

#include "rules/TextElision.h"

#include <QFontMetrics>

namespace Nimbrel
{

namespace
{

// Breaks `text` into lines of at most `width` pixels; a character wider
// than the width still gets a line of its own, so that every line makes
// progress.
QStringList wrapped(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start + 1;
        // Measured as a label lays the line out, which rounds a fraction of
        // a pixel up where the advance rounds it to the nearest.
        while (end < text.size() &&
               metrics.size(0, text.mid(start, end + 1 - start)).width() <= width)
            ++end;
        if (end < text.size()) {
            // A break that would leave most of the line empty is not worth it.
            const QStringView fitting = QStringView(text).mid(start, end - start);
            const qsizetype worthIt = fitting.size() / 2;
            qsizetype breakAfter = fitting.lastIndexOf(u'/');
            if (breakAfter < worthIt)
                breakAfter = fitting.lastIndexOf(u' ');
            if (breakAfter >= worthIt)
                end = start + breakAfter + 1;
            // A surrogate pair stays on one line.
            if (text.at(end - 1).isHighSurrogate() && end - start > 1)
                --end;
        }
        lines << text.mid(start, end - start);
        start = end;
    }
    return lines;
}

} // namespace

QStringList wrappedPath(const QString &path, const QFontMetrics &metrics, int width, int maxLines)
{
    QStringList lines = wrapped(path, metrics, width);
    if (lines.size() <= maxLines)
        return lines;
    // The longest shortened text that still fits: fewer characters never need
    // more lines, so the answer can be searched for.
    qsizetype fits = 1;
    qsizetype tooLong = path.size();
    lines = wrapped(elidedInTheMiddle(path, fits, 0), metrics, width);
    while (tooLong - fits > 1) {
        const qsizetype length = (fits + tooLong) / 2;
        const QStringList candidate =
            wrapped(elidedInTheMiddle(path, length, length / 2), metrics, width);
        if (candidate.size() <= maxLines) {
            fits = length;
            lines = candidate;
        } else {
            tooLong = length;
        }
    }
    return lines;
}

} // namespace Nimbrel
