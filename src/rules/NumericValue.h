#pragma once

#include <QStringView>

namespace Nimbrel
{

// The value of the number a text begins with, as a double. Blanks, tabs and
// line feeds are ignored wherever they stand. "&H" or "&O" (either case)
// introduce a hexadecimal or octal whole number; otherwise an optional sign,
// digits with at most one "." and an optional exponent ("E", optional sign,
// digits) are read up to the first character that cannot continue them.
// A text without a leading number is 0; a number too large for a double is
// plus or minus infinity, one too small is 0.
double numericValue(QStringView text);

} // namespace Nimbrel
