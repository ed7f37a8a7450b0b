#include "windows/SeparatorLine.h"

namespace Nimbrel
{

SeparatorLine::SeparatorLine(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
}

void SeparatorLine::setColour(const QColor &colour)
{
    QPalette lineColours = palette();
    lineColours.setColor(QPalette::Window, colour);
    setPalette(lineColours);
}

} // namespace Nimbrel
