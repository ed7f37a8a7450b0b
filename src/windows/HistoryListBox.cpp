#include "windows/HistoryListBox.h"

#include "rules/SearchRules.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <functional>

namespace Nimbrel
{

namespace
{

// A tooltip showing `text` exactly as it is: history files are edited by
// hand, so a line may look like markup and must not be read as such. Blanks
// are kept as they are, and a long run without blanks gets invisible break
// points so that it wraps instead of running off the screen.
QString wholeTextTip(const QString &text)
{
    constexpr int LongestUnbrokenRun = 40;
    QString breakable;
    breakable.reserve(text.size() + text.size() / LongestUnbrokenRun);
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        run = ch.isSpace() ? 0 : run + 1;
        if (run > LongestUnbrokenRun && !ch.isLowSurrogate()) {
            breakable += QChar(0x200B); // zero-width space
            run = 1;
        }
        breakable += ch;
    }
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + breakable.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace

// Asks for no width of its own, so that every item is exactly as wide as the
// box: a long one ends in "…" (and shows whole in its tooltip) instead of
// widening the list behind a horizontal scroll bar.
class HistoryListBox::ItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }
    // The width the item's whole text needs.
    int wholeWidth(const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        return QStyledItemDelegate::sizeHint(option, index).width();
    }
};

HistoryListBox::HistoryListBox(QWidget *parent)
    : QListWidget(parent), m_delegate(new ItemDelegate(this))
{
    setItemDelegate(m_delegate);
    // A removal can be undone only onto the list it was made in: any other
    // change (a search, a reload, a switch of list) makes its place meaningless.
    const auto changed = [this] {
        if (!m_editing)
            forgetRemoval();
        m_texts.reset();
        emit itemsChanged();
    };
    const QAbstractItemModel *items = model();
    m_watching = {
        connect(items, &QAbstractItemModel::rowsInserted, this, changed),
        connect(items, &QAbstractItemModel::rowsRemoved, this, changed),
        connect(items, &QAbstractItemModel::rowsMoved, this, changed),
        connect(items, &QAbstractItemModel::modelReset, this, changed),
        connect(items, &QAbstractItemModel::layoutChanged, this, changed),
        connect(items, &QAbstractItemModel::dataChanged, this, changed),
    };
}

HistoryListBox::~HistoryListBox()
{
    // The list's base class empties the model after this class's members are
    // gone; that is no change anyone need hear about.
    for (const QMetaObject::Connection &watch : std::as_const(m_watching))
        disconnect(watch);
}

QStringList HistoryListBox::texts() const
{
    // Asked for at every keystroke while earlier searches are offered, and
    // 10,000 items cost a millisecond to gather; a copy shares the kept list.
    if (!m_texts) {
        QStringList texts;
        texts.reserve(count());
        for (int i = 0; i < count(); ++i)
            texts << item(i)->text();
        m_texts = std::move(texts);
    }
    return *m_texts;
}

void HistoryListBox::copyToSearchBox(int row)
{
    if (row < 0 || row >= count())
        return;
    setCurrentRow(row);
    // Selecting an item already selected picks nothing by itself.
    emit copyToSearchBoxRequested();
}

void HistoryListBox::removeSelectedItem()
{
    const QList<QListWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        return;
    const int at = row(selected.front());
    QListWidgetItem *taken = nullptr;
    {
        const QScopedValueRollback editing(m_editing, true);
        // The selection moves on to the next item, so Delete can be pressed
        // again; the item itself is kept whole, bytes and all.
        taken = takeItem(at);
    }
    m_removed.reset(taken);
    m_removedRow = at;
    emit itemRemoved();
}

void HistoryListBox::undoRemoval()
{
    if (!m_removed)
        return;
    QListWidgetItem *restored = m_removed.release();
    {
        const QScopedValueRollback editing(m_editing, true);
        insertItem(std::clamp(m_removedRow, 0, count()), restored);
    }
    m_removedRow = -1;
    setCurrentItem(restored);
    emit removalUndone();
}

QString HistoryListBox::removedText() const
{
    return m_removed ? m_removed->text() : QString();
}

void HistoryListBox::forgetRemoval()
{
    m_removed.reset();
    m_removedRow = -1;
}

void HistoryListBox::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        removeSelectedItem();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        undoRemoval();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        // The menu key turns into a context menu request by itself; Shift+F10,
        // its usual stand-in, does not on every platform.
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint(), modifiers);
        QCoreApplication::sendEvent(this, &request);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

// Screen readers take the current item for the one that has the focus, even
// when the focus is no longer in the list. So the list has no current item
// while it is away, and gets it back, with the selection untouched, when the
// focus returns.
void HistoryListBox::focusInEvent(QFocusEvent *event)
{
    if (m_currentWhileAway.isValid())
        selectionModel()->setCurrentIndex(m_currentWhileAway, QItemSelectionModel::NoUpdate);
    m_currentWhileAway = QPersistentModelIndex();
    QListWidget::focusInEvent(event);
}

void HistoryListBox::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    m_currentWhileAway = currentIndex();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void HistoryListBox::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    if (event->reason() == QContextMenuEvent::Mouse) {
        // A right press has already selected the item under the pointer; a
        // request that came without one is about that item all the same.
        QListWidgetItem *item = itemAt(event->pos());
        if (!item)
            return;
        if (!item->isSelected())
            setCurrentItem(item);
        showMenuFor(item, event->globalPos());
        return;
    }
    // From the keyboard the menu is about the selected item, shown just below
    // it so that the item stays in sight.
    const QList<QListWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem *item = selected.front();
    scrollToItem(item);
    const QRect shown = visualItemRect(item);
    showMenuFor(item,
                viewport()->mapToGlobal(QPoint(shown.left() + shown.height(), shown.bottom())));
}

void HistoryListBox::showMenuFor(QListWidgetItem *item, const QPoint &globalPos)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);

    // Each entry acts on the item the menu was opened for, and on nothing
    // should that item be gone by the time the entry is chosen.
    const QPersistentModelIndex index = indexFromItem(item);
    const auto addEntry = [this, menu, index](const QString &text, std::function<void()> act) {
        QAction *entry = menu->addAction(text);
        connect(entry, &QAction::triggered, this, [this, index, act] {
            if (!index.isValid())
                return;
            setCurrentIndex(index);
            act();
        });
        return entry;
    };

    QAction *search = addEntry(tr("Search"), [this] { emit searchRequested(); });
    // An item starting with a dash cannot be searched, as with a double-click.
    search->setEnabled(!SearchRules::isDashItem(item->text()));
    addEntry(tr("Copy to Search Box"), [this] { emit copyToSearchBoxRequested(); });
    menu->addSeparator();
    QAction *remove = addEntry(tr("Remove from List"), [this] { removeSelectedItem(); });
    // Shown so that the key is learnt; it works in the list itself too.
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    remove->setShortcutContext(Qt::WidgetShortcut);

    menu->popup(globalPos);
}

bool HistoryListBox::showsWhole(const QListWidgetItem &item) const
{
    const QModelIndex index = indexFromItem(&item);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return m_delegate->wholeWidth(option, index) <= option.rect.width();
}

bool HistoryListBox::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QListWidgetItem *item = itemAt(help->pos());
    if (!item || showsWhole(*item)) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(help->globalPos(), wholeTextTip(item->text()), viewport(),
                       visualItemRect(item));
    return true;
}

} // namespace Nimbrel
