#include "windows/WrappingButton.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace Nimbrel
{

WrappingButton::WrappingButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

int WrappingButton::twoLineTextWidth() const
{
    const QFontMetrics metrics(font());
    const QString caption = text();
    int narrowest = metrics.horizontalAdvance(caption);
    for (qsizetype space = caption.indexOf(u' '); space >= 0;
         space = caption.indexOf(u' ', space + 1)) {
        const int first = metrics.horizontalAdvance(caption.left(space));
        const int second = metrics.horizontalAdvance(caption.mid(space + 1));
        narrowest = qMin(narrowest, qMax(first, second));
    }
    return narrowest;
}

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
    const QRect textRect = option.rect.adjusted(margin / 2, 0, -margin / 2, 0);
    painter.drawItemText(textRect, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextHideMnemonic,
                         option.palette, isEnabled(), caption, QPalette::ButtonText);
}

} // namespace Nimbrel
