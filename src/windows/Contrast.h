#pragma once

#include <QColor>

namespace Nimbrel
{

// Contrast between colours as accessibility guidelines measure it: from 1
// (the same luminance) to 21 (black on white).
namespace Contrast
{

// What a control's outline or a line needs to stand out from its background.
constexpr double ForGraphics = 3.0;

// The colour's relative luminance, 0 for black to 1 for white.
double luminance(const QColor &colour);

double ratio(const QColor &a, const QColor &b);

// Whether black text on `background` contrasts more than white text would.
bool blackReadsBetterOn(const QColor &background);

// `preferred` when it contrasts with `background` by `wanted`, otherwise
// black or white, whichever contrasts more.
QColor visibleOn(const QColor &background, const QColor &preferred, double wanted);

// The colour on the way from `background` to `towards` that is nearest to
// the background and still contrasts with it by `wanted`: a line that is
// visible without glaring. When even `towards` falls short, black or white,
// whichever contrasts more.
QColor quietestVisible(const QColor &background, const QColor &towards, double wanted);

} // namespace Contrast

} // namespace Nimbrel
