#include "windows/WindowFont.h"

namespace Nimbrel::WindowFont
{

namespace
{

constexpr double SmallestPoints = 8.0;

// A font may be given in pixels; Qt assumes 96 pixels an inch for fonts
// unless the desktop says otherwise, so that is close enough to compare.
double points(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
}

} // namespace

QFont forWindow(const QFont &desktopFont)
{
    QFont font = desktopFont;
#ifdef Q_OS_WIN
    font.setPointSize(8);
#else
    if (points(font) < SmallestPoints)
        font.setPointSizeF(SmallestPoints);
#endif
    return font;
}

QFont forLink(const QFont &windowFont)
{
#ifdef Q_OS_WIN
    Q_UNUSED(windowFont)
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
#else
    QFont font = windowFont;
#endif
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

} // namespace Nimbrel::WindowFont
