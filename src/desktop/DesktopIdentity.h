#pragma once

// How the desktop recognises the running launcher: the window class that its
// menu entry's StartupWMClass names, the app id that names the menu entry on
// Wayland, and the icon shown in title bars and task switchers.
#include <QPixmap>

namespace Nimbrel::DesktopIdentity
{

// Call once the QApplication exists and before the first window is shown.
void apply();

// The launcher's icon at one of its built-in sizes (16, 32, 48, 64).
QPixmap iconPixmap(int size);

} // namespace Nimbrel::DesktopIdentity
