#include "windows/SeparatorLine.h"

namespace Nimbrel
{

SeparatorLine::SeparatorLine(const QColor &colour, QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette lineColours = palette();
    lineColours.setColor(QPalette::Window, colour);
    setPalette(lineColours);
}

} // namespace Nimbrel
