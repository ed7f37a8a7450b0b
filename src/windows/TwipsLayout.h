#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QWidget;

namespace Nimbrel
{

// Windows are designed in twips: 15 twips make one logical pixel.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// A control placed by its design rectangle.
struct DesignedControl {
    QWidget *widget;
    TwipsRect rect;
};

namespace TwipsLayout
{

constexpr double TwipsPerPixel = 15.0;

// The pixel rectangle of a design rectangle, every number multiplied by `scale`.
QRect toPixels(const TwipsRect &rect, double scale);

// The smallest uniform scale, at least 1, at which every needed size fits in its
// design size (pairs of needed, designed).
double fitScale(const QList<QPair<QSize, QSize>> &neededAndDesigned);

// The size a control's caption needs with the control's own font and style:
// the text and the chrome around it (button bevel, check indicator, frame).
// An empty size for controls without a caption.
QSize captionSize(const QWidget *widget);

// Scales the design so that every caption fits, places every control and fixes
// the window's client size. Returns the scale used.
double apply(QWidget *window, const QSize &clientTwips, const QList<DesignedControl> &controls);

} // namespace TwipsLayout

} // namespace Nimbrel
