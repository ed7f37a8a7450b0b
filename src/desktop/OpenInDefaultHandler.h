#pragma once

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
// through the desktop's default handler. Returns a number above 32 on success.
int OpenInDefaultHandler(const QString &file, const QString &parameters = QString(),
                         int showCommand = ShowCommand::Normal);

} // namespace Nimbrel
