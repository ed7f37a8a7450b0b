#pragma once

#include <QString>

namespace Nimbrel
{

// The text a control caption shows: "&&" stands for one "&", and a single "&"
// (an access-key mark) is not shown.
inline QString shownCaption(const QString &caption)
{
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption.at(i);
    }
    return shown;
}

} // namespace Nimbrel
