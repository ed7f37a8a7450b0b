#pragma once

#include <QString>

namespace Nimbrel
{

// The mailto: URL for a new message. `emailAddress` is a bare address or
// already a mailto: URL (the prefix in any letter case); an empty subject or
// body is left out. Nothing is escaped: mail programs take the text as it is.
QString mailtoUrl(const QString &emailAddress, const QString &subject, const QString &body);

} // namespace Nimbrel
