#include "windows/WindowFont.h"

namespace Nimbrel::WindowFont
{

namespace
{

#ifdef Q_OS_WIN
// The windows were laid out for this face at this size; Windows maps it to
// its TrueType successor, Microsoft Sans Serif.
QFont designFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    return font;
}
#else
constexpr double SmallestPoints = 8.0;

// A font may be given in pixels; Qt assumes 96 pixels an inch for fonts
// unless the desktop says otherwise, so that is close enough to compare.
double points(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
}
#endif

} // namespace

QFont forWindow(const QFont &desktopFont)
{
#ifdef Q_OS_WIN
    Q_UNUSED(desktopFont)
    return designFont();
#else
    QFont font = desktopFont;
    if (points(font) < SmallestPoints)
        font.setPointSizeF(SmallestPoints);
    return font;
#endif
}

QFont forLink(const QFont &windowFont)
{
#ifdef Q_OS_WIN
    Q_UNUSED(windowFont)
    QFont font = designFont();
    font.setPointSizeF(8.25);
#else
    QFont font = windowFont;
#endif
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

} // namespace Nimbrel::WindowFont
