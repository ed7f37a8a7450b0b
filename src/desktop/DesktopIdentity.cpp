#include "desktop/DesktopIdentity.h"

#include <QApplication>
#include <QIcon>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initIconResources()
{
    // The icons are compiled into the static library, whose resource
    // initialiser the linker drops unless something refers to it.
    Q_INIT_RESOURCE(resources);
}

namespace Nimbrel::DesktopIdentity
{

void apply()
{
    initIconResources();
    // Fixed rather than taken from the executable's file name, which a user or
    // a package may change: a class that differs from StartupWMClass gives the
    // window a generic icon and a second taskbar entry.
    QApplication::setApplicationName(QStringLiteral("nimbrel-launcher"));
    QGuiApplication::setDesktopFileName(QStringLiteral(NIMBREL_APP_ID));

    // Title bars and task switchers use these sizes; menus and docks take the
    // larger ones from the installed icon theme. Decoding 128 and 256 px here
    // cost a sixth of start-up.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/nimbrel-launcher-%1.png").arg(size),
                     QSize(size, size));
    QApplication::setWindowIcon(icon);
}

} // namespace Nimbrel::DesktopIdentity
