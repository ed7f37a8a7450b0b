#include "rules/Mailto.h"

namespace Nimbrel
{

QString mailtoUrl(const QString &emailAddress, const QString &subject, const QString &body)
{
    const QString prefix = QStringLiteral("mailto:");
    QString url = emailAddress;
    if (url.left(prefix.size()).toLower() != prefix)
        url.prepend(prefix);
    if (!subject.isEmpty())
        url += u"?subject=" + subject;
    if (!body.isEmpty())
        url += (subject.isEmpty() ? u"?" : u"&") + QStringLiteral("body=") + body;
    return url;
}

} // namespace Nimbrel
