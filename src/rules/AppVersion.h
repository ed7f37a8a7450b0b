#pragma once

#include <QString>

namespace Nimbrel
{

// The short version text: "major.minor" followed directly by the revision,
// with one trailing "0" dropped (1, 2, 5 -> "1.25"; 1, 2, 0 -> "1.2").
QString versionText(qint16 major, qint16 minor, qint16 revision);

// The version text of this build, from the project version.
QString executableVersionText();

} // namespace Nimbrel
