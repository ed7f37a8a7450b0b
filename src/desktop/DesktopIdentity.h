#pragma once

// How the desktop recognises the running launcher: the window class that its
// menu entry's StartupWMClass names, the app id that names the menu entry on
// Wayland, and the icon shown in title bars and task switchers.
namespace Nimbrel::DesktopIdentity
{

// Call once the QApplication exists and before the first window is shown.
void apply();

} // namespace Nimbrel::DesktopIdentity
