#pragma once

namespace Nimbrel
{

// Tells screen readers what the program's own kinds of control are: the main
// window a window (not a filler), a link label a link that can be pressed,
// a separator line a separator. Installed once; later calls do nothing.
void installAccessibleRoles();

} // namespace Nimbrel
