#include "windows/TwipsLayout.h"

#include "windows/Caption.h"
#include "windows/WrappingButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>

namespace Nimbrel
{

namespace TwipsLayout
{

namespace
{

int pixels(int twips, double scale)
{
    return int(std::lround(twips / TwipsPerPixel * scale));
}

QSize pushButtonSize(const QPushButton *button)
{
    const QFontMetrics metrics(button->font());
    const QStyle *style = button->style();
    const int chrome = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                       2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    if (const auto *wrapping = qobject_cast<const WrappingButton *>(button))
        return {wrapping->twoLineTextWidth() + chrome, 2 * metrics.lineSpacing() + chrome};
    return {metrics.horizontalAdvance(shownCaption(button->text())) + chrome,
            metrics.height() + chrome};
}

QSize indicatorButtonSize(const QAbstractButton *button, QStyle::ContentsType type)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QSize text =
        QFontMetrics(button->font()).size(Qt::TextShowMnemonic, shownCaption(button->text()));
    return button->style()->sizeFromContents(type, &option, text, button);
}

} // namespace

QRect toPixels(const TwipsRect &rect, double scale)
{
    return {pixels(rect.left, scale), pixels(rect.top, scale), pixels(rect.width, scale),
            pixels(rect.height, scale)};
}

double fitScale(const QList<QPair<QSize, QSize>> &neededAndDesigned)
{
    double scale = 1.0;
    for (const auto &[needed, designed] : neededAndDesigned) {
        if (needed.width() > 0 && designed.width() > 0)
            scale = std::max(scale, double(needed.width()) / designed.width());
        if (needed.height() > 0 && designed.height() > 0)
            scale = std::max(scale, double(needed.height()) / designed.height());
    }
    return scale;
}

QSize captionSize(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return pushButtonSize(button);
    if (const auto *check = qobject_cast<const QCheckBox *>(widget))
        return indicatorButtonSize(check, QStyle::CT_CheckBox);
    if (const auto *radio = qobject_cast<const QRadioButton *>(widget))
        return indicatorButtonSize(radio, QStyle::CT_RadioButton);
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        const QSize text = QFontMetrics(label->font()).size(0, label->text());
        const int margins = 2 * (label->margin() + label->frameWidth());
        return text + QSize(margins, margins);
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
        return {0, QFontMetrics(edit->font()).height() + 2 * frame + 2};
    }
    return {};
}

double apply(QWidget *window, const QSize &clientTwips, const QList<DesignedControl> &controls)
{
    QList<QPair<QSize, QSize>> fits;
    for (const DesignedControl &control : controls) {
        const QSize designed = toPixels(control.rect, 1.0).size();
        fits.append({captionSize(control.widget), designed});
    }
    const double scale = fitScale(fits);
    for (const DesignedControl &control : controls)
        control.widget->setGeometry(toPixels(control.rect, scale));
    window->setFixedSize(pixels(clientTwips.width(), scale), pixels(clientTwips.height(), scale));
    return scale;
}

} // namespace TwipsLayout

} // namespace Nimbrel
