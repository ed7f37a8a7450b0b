#include "app/WindowActivation.h"

#include <QGuiApplication>
#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(xcb)
#include <QtGui/private/qtx11extras_p.h>
#endif

namespace Nimbrel
{

namespace WindowActivation
{

quint32 startupIdTime(const QByteArray &startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : 0;
}

void prepare(const QByteArray &startupId, const QByteArray &activationToken)
{
#if QT_CONFIG(xcb)
    if (QX11Info::isPlatformX11()) {
        quint32 time = startupIdTime(startupId);
        if (time == 0)
            time = QX11Info::getTimestamp();
        QX11Info::setAppTime(time);
        QX11Info::setAppUserTime(time);
        // Ends the desktop's launch feedback for the second start when the
        // window is shown next.
        if (!startupId.isEmpty())
            QX11Info::setNextStartupId(startupId);
        return;
    }
#else
    Q_UNUSED(startupId)
#endif
    // Qt's Wayland plug-in hands this variable's token to the compositor
    // when it activates a window, and then removes it.
    if (QGuiApplication::platformName() == u"wayland" && !activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
}

} // namespace WindowActivation

} // namespace Nimbrel
