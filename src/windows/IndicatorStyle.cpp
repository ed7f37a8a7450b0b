#include "windows/IndicatorStyle.h"

#include "windows/Contrast.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace Nimbrel
{

namespace
{

bool isIndicator(QStyle::PrimitiveElement element)
{
    return element == QStyle::PE_IndicatorCheckBox || element == QStyle::PE_IndicatorRadioButton;
}

} // namespace

IndicatorStyle::IndicatorStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
}

QStyle *IndicatorStyle::shared()
{
    static QPointer<IndicatorStyle> style;
    if (!style) {
        style = new IndicatorStyle;
        style->setParent(qApp);
    }
    return style;
}

void IndicatorStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                   QPainter *painter, const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (!isIndicator(element) || standsOut(element, *option, widget))
        return;
    const QColor window = option->palette.color(QPalette::Window);
    // The text's colour: a thin, round outline loses some of its contrast to
    // smoothing, so it starts from more than it needs.
    const QColor outline = Contrast::visibleOn(window, option->palette.color(QPalette::WindowText),
                                               Contrast::ForGraphics);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, element == PE_IndicatorRadioButton);
    painter->setPen(QPen(outline, 1));
    painter->setBrush(Qt::NoBrush);
    const QRectF edge = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (element == PE_IndicatorRadioButton)
        painter->drawEllipse(edge);
    else
        painter->drawRect(edge);
    painter->restore();
}

bool IndicatorStyle::standsOut(PrimitiveElement element, const QStyleOption &option,
                               const QWidget *widget) const
{
    // Judged unchecked, where only the outline can show the control, so that
    // checking it does not take the outline away.
    QStyleOption unchecked = option;
    unchecked.state &= ~(QStyle::State_On | QStyle::State_NoChange);
    unchecked.state |= QStyle::State_Off;
    const QPalette &palette = option.palette;
    const QString key = QString::number(element) + u' ' + QString::number(unchecked.state.toInt()) +
                        u' ' + QString::number(option.rect.width()) + u'x' +
                        QString::number(option.rect.height()) + u' ' +
                        QString::number(palette.cacheKey());
    if (const auto known = m_standsOut.constFind(key); known != m_standsOut.constEnd())
        return *known;

    // Drawn once on the window's colour, the indicator shows whether any of
    // its pixels stands out from the window.
    const QColor window = palette.color(QPalette::Window);
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(window);
    {
        QPainter painter(&image);
        unchecked.rect = image.rect();
        QProxyStyle::drawPrimitive(element, &unchecked, &painter, widget);
    }
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, Contrast::ratio(QColor(image.pixel(x, y)), window));
    }
    const bool enough = best >= Contrast::ForGraphics;
    m_standsOut.insert(key, enough);
    return enough;
}

} // namespace Nimbrel
