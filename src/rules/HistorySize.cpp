#include "rules/HistorySize.h"

#include <cmath>

namespace Nimbrel::HistorySize
{

bool acceptable(double value)
{
    return value >= Smallest && value <= Largest; // false for NaN as well
}

std::optional<qint16> applied(double value)
{
    if (!acceptable(value))
        return std::nullopt;
    // Spelled out rather than left to the floating-point rounding mode, which
    // other code in the process could have changed.
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2 * std::round(value / 2);
    return qint16(rounded);
}

} // namespace Nimbrel::HistorySize
