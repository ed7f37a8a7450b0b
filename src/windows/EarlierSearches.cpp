#include "windows/EarlierSearches.h"

#include "rules/EarlierSearchMatch.h"
#include "windows/EarlierSearchesPopup.h"
#include "windows/SearchBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>

namespace Nimbrel
{

void EarlierSearches::attach(SearchBox &box, const EarlierSearchesSource &source)
{
    QObject::connect(
        &box, &QLineEdit::textEdited, &box,
        [&box, source] {
            // The edit that makes it is under way: its textChanged comes next.
            auto *offers = new EarlierSearches(box, source);
            offers->m_edited = true;
        },
        Qt::SingleShotConnection);
}

EarlierSearches::EarlierSearches(SearchBox &box, const EarlierSearchesSource &source)
    : QObject(&box), m_box(box), m_source(source)
{
    // Typing, pasting, dropping and undo are edits; a click on a list item,
    // the recall keys and a search set the text, which closes the offers.
    connect(&box, &QLineEdit::textEdited, this, [this] {
        if (!m_choosing)
            m_edited = true;
    });
    connect(&box, &QLineEdit::textChanged, this, &EarlierSearches::textChanged);
}

void EarlierSearches::textChanged()
{
    if (std::exchange(m_edited, false)) {
        refresh();
        return;
    }
    // The window's own tidying within an edit (leading blanks) changes the
    // text in the middle of it; the offers are for the tidied text already.
    if (m_box.text() != m_shownFor)
        close();
}

void EarlierSearches::refresh()
{
    const QString text = m_box.text();
    QList<EarlierSearchMatch::SourceList> lists;
    if (!text.isEmpty()) {
        const qint16 current = m_source.currentList();
        lists.append({current, currentItems()});
        const qint16 maxItems = m_source.maxItems();
        for (qint16 list = 1; list <= qint16(m_files.size()); ++list) {
            if (list != current)
                lists.append({list, m_files[list - 1].read(m_source.listFile(list), maxItems)});
        }
    }
    const QList<EarlierSearchMatch::Offer> offers = EarlierSearchMatch::offers(text, lists);
    if (offers.isEmpty()) {
        close();
        return;
    }
    if (!m_popup) {
        m_popup = new EarlierSearchesPopup(m_box.window());
        connect(m_popup, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
            searchOffer(EarlierSearchesPopup::termOf(*item));
        });
    }
    m_popup->showOffers(offers, m_box);
    m_shownFor = text;
    // While the offers are shown they see the box's keys first, and a press
    // anywhere else closes them and still goes where it was aimed.
    qApp->installEventFilter(this);
}

// The list box's items, folded again only when they differ from the last
// keystroke's: a search, a removal or another list changes them, typing does
// not. The box keeps its list until its items change, so that comparing the
// same list again costs nothing.
const FoldedItems &EarlierSearches::currentItems()
{
    QStringList items = m_source.currentItems();
    if (items != m_current.items())
        m_current = FoldedItems(std::move(items));
    return m_current;
}

void EarlierSearches::close()
{
    m_shownFor.clear();
    qApp->removeEventFilter(this);
    if (m_popup)
        m_popup->hide();
}

void EarlierSearches::searchOffer(const QString &term)
{
    close();
    {
        const QScopedValueRollback choosing(m_choosing, true);
        m_box.replaceAsTyped(term);
    }
    m_source.search();
}

bool EarlierSearches::eventFilter(QObject *watched, QEvent *event)
{
    const bool shown = m_popup && m_popup->isVisible();
    if (!shown)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (auto *widget = qobject_cast<QWidget *>(watched);
            widget && widget != m_popup && !m_popup->isAncestorOf(widget))
            close();
        break;
    case QEvent::FocusOut:
        if (watched == &m_box)
            close();
        break;
    case QEvent::KeyPress:
        if (watched == &m_box)
            return keyPressed(*static_cast<QKeyEvent *>(event));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// True for a key the offers take; every other key goes on to the box.
bool EarlierSearches::keyPressed(const QKeyEvent &key)
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Down:
        m_popup->moveChoice(1);
        return true;
    case Qt::Key_Up:
        // Without a chosen row, Up recalls the history as it always does.
        if (m_popup->chosenTerm().isEmpty()) {
            close();
            return false;
        }
        m_popup->moveChoice(-1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Without a chosen row, Enter searches what the box holds.
        const QString term = m_popup->chosenTerm();
        if (term.isEmpty())
            return false;
        searchOffer(term);
        return true;
    }
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

} // namespace Nimbrel
