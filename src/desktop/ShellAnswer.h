#pragma once

#include "rules/Failure.h"

#include <QString>

namespace Nimbrel
{

// What the Windows shell's answer to "open" means for `target`: a number
// above 32 when a handler took it, otherwise the error it names. Plain
// numbers, so that the meaning is checked on every platform.
MaybeFailure shellAnswer(qintptr answer, const QString &target);

} // namespace Nimbrel
