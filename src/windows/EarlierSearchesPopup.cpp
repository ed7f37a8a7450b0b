#include "windows/EarlierSearchesPopup.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace Nimbrel
{

namespace
{

constexpr int TermRole = Qt::UserRole;
constexpr int ListLabelRole = Qt::UserRole + 1;

// How far the popup keeps from the window's edges, in pixels.
constexpr int EdgeMargin = 4;

QString listLabel(qint16 list)
{
    return EarlierSearchesPopup::tr("List %1").arg(list);
}

// Between the text and its background: dimmed, and still well readable in
// light and dark schemes alike.
QColor dimmed(const QColor &text, const QColor &background)
{
    constexpr float share = 0.6F;
    return QColor::fromRgbF(text.redF() * share + background.redF() * (1 - share),
                            text.greenF() * share + background.greenF() * (1 - share),
                            text.blueF() * share + background.blueF() * (1 - share));
}

// A row: the item on the left, cut with "…" where it does not fit, and its
// list on the right.
class OfferDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString item = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                               .adjusted(textMargin(opt), 0, -textMargin(opt), 0);
        const QString label = index.data(ListLabelRole).toString();
        const int labelWidth = opt.fontMetrics.horizontalAdvance(label);
        const QRect itemArea = area.adjusted(0, 0, -(labelWidth + gap(opt)), 0);
        const bool selected = opt.state & QStyle::State_Selected;
        const QColor text =
            opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QColor background =
            opt.palette.color(selected ? QPalette::Highlight : QPalette::Base);

        painter->save();
        painter->setFont(opt.font);
        painter->setPen(text);
        painter->drawText(itemArea, Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(item, Qt::ElideRight, itemArea.width()));
        painter->setPen(dimmed(text, background));
        painter->drawText(area, Qt::AlignRight | Qt::AlignVCenter, label);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += 2 * textMargin(opt) + gap(opt) +
                         opt.fontMetrics.horizontalAdvance(index.data(ListLabelRole).toString());
        return size;
    }

private:
    static int gap(const QStyleOptionViewItem &opt)
    {
        return opt.fontMetrics.horizontalAdvance(QStringLiteral("  "));
    }
    static int textMargin(const QStyleOptionViewItem &opt)
    {
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, widget);
    }
};

} // namespace

EarlierSearchesPopup::EarlierSearchesPopup(QWidget *window) : QListWidget(window)
{
    setObjectName(QStringLiteral("EarlierSearches"));
    setAccessibleName(tr("Earlier searches"));
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    // Over the history list, whose rows look alike, an outline in the text
    // colour shows where the offers end, in light and dark schemes.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setItemDelegate(new OfferDelegate(this));
    hide();
}

void EarlierSearchesPopup::showOffers(const QList<EarlierSearchMatch::Offer> &offers,
                                      const QWidget &box)
{
    // Rows are rewritten in place rather than made anew, so that a screen
    // reader's view of them stays valid from one keystroke to the next.
    while (count() > offers.size())
        delete takeItem(count() - 1);
    for (qsizetype i = 0; i < offers.size(); ++i) {
        const EarlierSearchMatch::Offer &offer = offers[i];
        QListWidgetItem *row = i < count() ? item(int(i)) : new QListWidgetItem(this);
        const QString label = listLabel(offer.list);
        row->setText(offer.item);
        row->setData(TermRole, offer.term);
        row->setData(ListLabelRole, label);
        // Screen readers read the row as a whole.
        row->setData(Qt::AccessibleTextRole, tr("%1, %2").arg(offer.item, label));
    }
    clearSelection();
    setCurrentRow(-1);
    place(box);
    show();
    raise();
}

void EarlierSearchesPopup::place(const QWidget &box)
{
    const QWidget *window = parentWidget();
    const QRect boxArea(box.mapTo(window, QPoint(0, 0)), box.size());
    const int frame = 2 * frameWidth();
    const int roomWidth = window->width() - 2 * EdgeMargin;
    const int width =
        std::min(std::max(box.width(), sizeHintForColumn(0) + frame), std::max(roomWidth, 1));
    const int x =
        std::max(EdgeMargin, std::min(boxArea.left(), window->width() - EdgeMargin - width));
    const int y = boxArea.bottom() + 1;
    const int roomHeight = window->height() - EdgeMargin - y;
    const int height = std::min(count() * sizeHintForRow(0) + frame, std::max(roomHeight, 1));
    setGeometry(x, y, width, height);
}

QString EarlierSearchesPopup::termOf(const QListWidgetItem &item)
{
    return item.data(TermRole).toString();
}

QString EarlierSearchesPopup::chosenTerm() const
{
    const QListWidgetItem *chosen = currentRow() >= 0 ? currentItem() : nullptr;
    return chosen && chosen->isSelected() ? termOf(*chosen) : QString();
}

void EarlierSearchesPopup::moveChoice(int step)
{
    const int chosen = chosenTerm().isEmpty() ? -1 : currentRow();
    const int next = std::clamp(chosen + step, -1, count() - 1);
    if (next < 0) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(next);
    scrollToItem(item(next));
}

} // namespace Nimbrel
