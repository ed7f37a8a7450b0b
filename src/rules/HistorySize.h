#pragma once

#include <QtGlobal>

#include <optional>

// The history size the user may type in the Info window.
namespace Nimbrel::HistorySize
{

constexpr double Smallest = 10;
constexpr double Largest = 50;

// Whether a typed value may be applied: from 10 to 50, both included, judged
// before any rounding.
bool acceptable(double value);

// The size a typed value applies as: rounded to the nearest whole number, a
// half going to the even neighbour. Nothing for a value that is not acceptable.
std::optional<qint16> applied(double value);

} // namespace Nimbrel::HistorySize
