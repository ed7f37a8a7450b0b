#pragma once

#include <QString>

namespace Nimbrel
{

// `text` itself when it has at most `maxLength` UTF-16 units; otherwise its
// first `head` units, "…" and its last units, `maxLength` in all. A character
// beyond 16 bits is never cut in half: the piece beside the cut gives up its
// half instead.
QString elidedInTheMiddle(const QString &text, qsizetype maxLength, qsizetype head);

// `text` with a zero-width space after every `every` units of a run without
// blanks or line ends (never inside a character beyond 16 bits), so that a
// label that wraps at word boundaries can wrap a long version, path or URL
// instead of running off its edge.
QString withBreakOpportunities(const QString &text, qsizetype every);

} // namespace Nimbrel
