#include "windows/SearchBox.h"

#include "rules/SearchRules.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace Nimbrel
{

namespace
{

// Whether the box would insert the key's text (the same test QLineEdit makes):
// Backspace, Delete, Tab and Ctrl combinations are editing commands, not text.
bool typesText(const QKeyEvent &key)
{
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    const QChar first = text.front();
    return first.isPrint() || first.isSurrogate() || first.category() == QChar::Other_Format ||
           first.category() == QChar::Other_PrivateUse;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

SearchBox::SearchBox(QWidget *parent) : QLineEdit(parent)
{
    // Typed, pasted or picked from the list, a term stays within the bound
    // the history file can read back.
    setMaxLength(int(SearchRules::MaxTermLength));
}

void SearchBox::Text_SearchData_KeyPress(char16_t &KeyAscii) const
{
    KeyAscii = SearchRules::filterKeyAscii(KeyAscii, text(), caretPosition());
}

int SearchBox::caretPosition() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void SearchBox::replaceAsTyped(const QString &incoming)
{
    clear();
    pasteAsTyped(incoming);
}

// Pasted text obeys the same rules as typing, so the box never holds what the
// user could not have typed.
void SearchBox::pasteAsTyped(const QString &incoming)
{
    const QString accepted =
        SearchRules::typedInsertion(text(), caretPosition(), selectionLength(), incoming);
    if (!accepted.isEmpty())
        insert(accepted);
    keepWhatCouldBeTyped();
}

void SearchBox::keyPressEvent(QKeyEvent *event)
{
    emit keyDown(event->key(), event->modifiers());
    if (isEnter(event->key())) {
        event->accept(); // Enter is no character of the term
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteAsTyped(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoOrRedo(event->matches(QKeySequence::Undo));
        event->accept();
        return;
    }
    if (!typesText(*event)) {
        QLineEdit::keyPressEvent(event); // editing, focus and shortcut keys keep their meaning
        return;
    }
    const QString typed = event->text();
    if (typed.size() != 1) { // a composed key, or a character beyond 16 bits
        pasteAsTyped(typed);
        event->accept();
        return;
    }
    const char16_t original = typed.front().unicode();
    char16_t KeyAscii = original;
    Text_SearchData_KeyPress(KeyAscii);
    if (KeyAscii == original) {
        QLineEdit::keyPressEvent(event); // goes in as typed
        return;
    }
    if (KeyAscii != SearchRules::KeyAscii::Discard)
        insert(QString(QChar(KeyAscii)));
    event->accept();
}

void SearchBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Letters composed with dead keys or an input method arrive here.
    const QString incoming = event->commitString();
    const QString accepted =
        SearchRules::typedInsertion(text(), caretPosition(), selectionLength(), incoming);
    if (accepted == incoming) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent again(event->preeditString(), event->attributes());
    again.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&again);
}

void SearchBox::dropEvent(QDropEvent *event)
{
    // Text dropped in from elsewhere is filtered, then dropped as usual so the
    // box ends its drag feedback itself.
    if (event->source() == this || !event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    const QString incoming = event->mimeData()->text();
    const QString accepted = SearchRules::typedInsertion(
        text(), cursorPositionAt(event->position().toPoint()), 0, incoming);
    if (accepted == incoming) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData filtered;
    filtered.setText(accepted);
    QDropEvent again(event->position(), event->possibleActions(), &filtered, event->buttons(),
                     event->modifiers());
    QLineEdit::dropEvent(&again);
    event->setDropAction(again.dropAction());
    event->setAccepted(again.isAccepted());
}

// QLineEdit's undo history does not know about the text the window changes
// itself (leading blanks removed, small letters made capitals), and can bring
// back a mix of two states and a selection that no longer matches the text:
// characters the box never takes, a third dash. What undo and redo bring back
// is checked, and so is what a paste leaves.
void SearchBox::undoOrRedo(bool undo)
{
    if (undo)
        QLineEdit::undo();
    else
        QLineEdit::redo();
    keepWhatCouldBeTyped();
}

// Capitals, digits, blanks and dashes are all the box can hold (the key
// filter lets Backspace's code through, which is no character of a term), no
// blank first and at most two dashes; anything else is typed again through
// the rules.
void SearchBox::keepWhatCouldBeTyped()
{
    const QString current = text();
    const bool typable =
        !current.startsWith(u' ') && current.count(u'-') <= 2 &&
        std::all_of(current.begin(), current.end(), [](QChar c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ' || c == u'-';
        });
    if (!typable) {
        clear();
        const QString accepted = SearchRules::typedInsertion(QString(), 0, 0, current);
        if (!accepted.isEmpty())
            insert(accepted);
    }
}

void SearchBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's Paste is the action wired to QLineEdit::paste (by name in
    // Qt 6.4, by pointer in later releases); it gets the filtered paste.
    for (QAction *action : menu->actions()) {
        // Undo and Redo likewise, followed by the typing rules.
        if (disconnect(action, &QAction::triggered, this, &QLineEdit::undo) ||
            disconnect(action, SIGNAL(triggered()), this, SLOT(undo()))) {
            connect(action, &QAction::triggered, this, [this] { undoOrRedo(true); });
            continue;
        }
        if (disconnect(action, &QAction::triggered, this, &QLineEdit::redo) ||
            disconnect(action, SIGNAL(triggered()), this, SLOT(redo()))) {
            connect(action, &QAction::triggered, this, [this] { undoOrRedo(false); });
            continue;
        }
        const bool wasPaste = disconnect(action, &QAction::triggered, this, &QLineEdit::paste) ||
                              disconnect(action, SIGNAL(triggered()), this, SLOT(paste()));
        if (!wasPaste)
            continue;
        connect(action, &QAction::triggered, this,
                [this] { pasteAsTyped(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(event->globalPos());
    event->accept();
}

void SearchBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    emit doubleClicked();
    event->accept();
}

void SearchBox::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle-click paste of the X11 selection.
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    deselect();
    pasteAsTyped(clipboard->text(QClipboard::Selection));
    event->accept();
}

} // namespace Nimbrel
