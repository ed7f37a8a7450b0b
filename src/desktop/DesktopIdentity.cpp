#include "desktop/DesktopIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerIconResources()
{
    Q_INIT_RESOURCE(resources);
}

static void initIconResources()
{
    // The icons are compiled into the static library, whose resource
    // initialiser the linker drops unless something refers to it. Once is
    // enough: each call would register the whole tree again.
    static const bool registered = (registerIconResources(), true);
    Q_UNUSED(registered)
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
        icon.addPixmap(iconPixmap(size));
    QApplication::setWindowIcon(icon);
}

QPixmap iconPixmap(int size)
{
    initIconResources();
    // The format is named, never guessed: guessing loads every image plug-in
    // Qt has (GIF, ICO, JPEG and its library), a twentieth of start-up and
    // over a megabyte of memory for icons that are all PNG.
    QImageReader reader(QStringLiteral(":/icons/nimbrel-launcher-%1.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace Nimbrel::DesktopIdentity
