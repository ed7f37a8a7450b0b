#pragma once

#include <QString>

namespace Nimbrel
{

// Where the running launcher of this user and display listens, and the lock
// that lets only one start at a time become it.
struct InstanceAddress {
    QString serverName; // for QLocalServer and QLocalSocket: a socket's path, or a pipe's name
    QString lockPath;   // the file that QLockFile guards the election with
    QString warning;    // something the user should know about the choice, or empty
    QString error;      // why there is no usable address, or empty

    // The address for this process's user and display, from the environment.
    // On Unix the socket lives in $XDG_RUNTIME_DIR when that is a folder of
    // the user's own, otherwise in a folder of the user's own under the
    // temporary folder or, when someone else took that name, in the user's
    // cache folder; a folder that anyone else could write to is refused.
    static InstanceAddress forThisSession();

    // The part of the names that tells displays apart: the Wayland display
    // when set, otherwise the X display without its screen number, "none"
    // without either. Only letters, digits, '.', '_' and '-' are kept.
    static QString displayKey(const QString &waylandDisplay, const QString &x11Display);
};

} // namespace Nimbrel
