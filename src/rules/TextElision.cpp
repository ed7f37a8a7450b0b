#include "rules/TextElision.h"

namespace Nimbrel
{

QString elidedInTheMiddle(const QString &text, qsizetype maxLength, qsizetype head)
{
    if (text.size() <= maxLength)
        return text;
    qsizetype tail = maxLength - head - 1;
    if (head > 0 && text.at(head - 1).isHighSurrogate())
        --head;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.first(head) + QChar(u'\u2026') + text.last(tail);
}

} // namespace Nimbrel
