#pragma once

#include <QString>

#include <optional>

namespace Nimbrel
{

// Something that could not be done to a file, folder or store: what failed,
// the path it concerns and the system's reason. Rules hand it back; the
// windows tell the user.
struct Failure {
    QString what;
    QString path;
    QString reason;
};

// Nothing when the operation succeeded.
using MaybeFailure = std::optional<Failure>;

} // namespace Nimbrel
