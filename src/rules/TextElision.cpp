#include "rules/TextElision.h"

#include <algorithm>

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

QString withBreakOpportunities(const QString &text, qsizetype every)
{
    QString result;
    result.reserve(text.size() + text.size() / std::max<qsizetype>(every, 1));
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            run = 0;
        } else if (run >= every && !c.isLowSurrogate()) {
            result += QChar(0x200B);
            run = 0;
        }
        result += c;
        if (!c.isSpace())
            ++run;
    }
    return result;
}

} // namespace Nimbrel
