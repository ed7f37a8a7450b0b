#pragma once

#include <QString>

namespace Nimbrel
{

// `text` itself when it has at most `maxLength` UTF-16 units; otherwise its
// first `head` units, "…" and its last units, `maxLength` in all. A character
// beyond 16 bits is never cut in half: the piece beside the cut gives up its
// half instead.
QString elidedInTheMiddle(const QString &text, qsizetype maxLength, qsizetype head);

} // namespace Nimbrel
