#pragma once

#include "rules/Failure.h"

#include <QString>

namespace Nimbrel
{

// Show commands, as the default handler understands them.
namespace ShowCommand
{
constexpr int Normal = 1; // SW_SHOWNORMAL
constexpr int Show = 5;   // SW_SHOW
} // namespace ShowCommand

// Opens a URL, or starts a program with `parameters` (a null QString for none),
// through the desktop's default handler. Nothing when it was opened; otherwise
// what could not be opened and why.
MaybeFailure openInDefaultHandler(const QString &file, const QString &parameters = QString(),
                                  int showCommand = ShowCommand::Normal);

} // namespace Nimbrel
