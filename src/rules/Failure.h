#pragma once

#include <QString>

#include <optional>

namespace Nimbrel
{

// The one way this program reports that something could not be done, be it
// to a file, a folder, the settings store, a hand-off to another program or
// a download: what failed, the path or address it concerns, and the reason
// the user is shown. Rules hand it back; the windows tell the user.
struct Failure {
    QString what;
    QString path;
    QString reason;

    // The same failure, told as what the caller was doing: a file helper
    // knows the path and the system's reason, its caller what the user wanted.
    Failure as(const QString &doing) const { return {doing, path, reason}; }

    // The text the user is shown, in a message box or on one console line.
    QString message() const { return what + u"\n\n" + path + u"\n\n" + reason; }
};

// Nothing when the operation succeeded.
using MaybeFailure = std::optional<Failure>;

} // namespace Nimbrel
