#pragma once

#include <QByteArray>

namespace Nimbrel
{

// Lets the window system bring the running launcher's window to the front for
// a request that came from a second start, not from a click in the window.
// Window managers that prevent focus stealing let a window come forward only
// for a recent user action, so the action that started the second start is
// passed on: on X11 the time in its startup id (or, without one, the current
// server time, since the second start itself came from the user), on Wayland
// the activation token that the desktop gave it.
namespace WindowActivation
{

// Call right before activating a window.
void prepare(const QByteArray &startupId, const QByteArray &activationToken);

// The X server time in a startup id ("..._TIME1234"), or 0 when it has none.
quint32 startupIdTime(const QByteArray &startupId);

} // namespace WindowActivation

} // namespace Nimbrel
