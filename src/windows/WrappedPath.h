#pragma once

#include <QStringList>

class QFontMetrics;

namespace Nimbrel
{

// `path` on at most `maxLines` lines of at most `width` pixels each. A line
// breaks after the last "/" that lets it fit, else after the last blank,
// else where the width ends (also when the "/" or blank would leave more
// than half of the line empty). A path that needs more lines loses characters
// from its middle, where "…" stands for them, until it fits.
QStringList wrappedPath(const QString &path, const QFontMetrics &metrics, int width, int maxLines);

} // namespace Nimbrel
