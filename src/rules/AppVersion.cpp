#include "rules/AppVersion.h"

namespace Nimbrel
{

QString versionText(qint16 major, qint16 minor, qint16 revision)
{
    QString text =
        QString::number(major) + u'.' + QString::number(minor) + QString::number(revision);
    if (text.endsWith(u'0'))
        text.chop(1);
    return text;
}

QString executableVersionText()
{
    return versionText(NIMBREL_VERSION_MAJOR, NIMBREL_VERSION_MINOR, NIMBREL_VERSION_REVISION);
}

} // namespace Nimbrel
