#include "windows/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Nimbrel
{

namespace Contrast
{

namespace
{

// In whole 8-bit channels, as the colour is painted, so that the contrast
// measured is the one shown.
QColor mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                  channel(a.blue(), b.blue()));
}

} // namespace

double luminance(const QColor &colour)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double ratio(const QColor &a, const QColor &b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

bool blackReadsBetterOn(const QColor &background)
{
    // Above this luminance black contrasts more than white.
    return luminance(background) > 0.179;
}

QColor visibleOn(const QColor &background, const QColor &preferred, double wanted)
{
    if (ratio(background, preferred) >= wanted)
        return preferred;
    return blackReadsBetterOn(background) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor quietestVisible(const QColor &background, const QColor &towards, double wanted)
{
    const QColor target = visibleOn(background, towards, wanted);
    // The contrast grows along the way, so the nearest share that is enough
    // can be searched for; 16 halvings are finer than a colour channel.
    double tooLittle = 0.0;
    double enough = 1.0;
    for (int i = 0; i < 16; ++i) {
        const double share = (tooLittle + enough) / 2;
        if (ratio(background, mixed(background, target, share)) >= wanted)
            enough = share;
        else
            tooLittle = share;
    }
    return mixed(background, target, enough);
}

} // namespace Contrast

} // namespace Nimbrel
