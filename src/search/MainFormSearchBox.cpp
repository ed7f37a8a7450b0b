#include "core/MainForm.h"

#include "search/SearchRules.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

#include <algorithm>

namespace
{

// The caret position the box's rules use: the start of the selection, if any.
int caretPosition(const QLineEdit &box)
{
    return box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
}

// What of `incoming` would get into the box if the user typed it there.
QString acceptedByBox(const QLineEdit &box, const QString &incoming)
{
    return SearchRules::typedInsertion(box.text(), caretPosition(box), box.selectionLength(),
                                       incoming);
}

// Pasted text obeys the same rules as typing, so the box never holds what the
// user could not have typed.
void pasteAsTyped(QLineEdit &box, const QString &incoming)
{
    const QString accepted = acceptedByBox(box, incoming);
    if (!accepted.isEmpty())
        box.insert(accepted);
}

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

void MainForm::Text_SearchData_Change()
{
    const QString text = Text_SearchData->text();
    if (const int blanks = SearchRules::leadingSpaces(text)) {
        // The caret stays beside the characters it stood beside.
        const int caret = Text_SearchData->cursorPosition();
        Text_SearchData->setText(text.mid(blanks));
        Text_SearchData->setCursorPosition(std::max(0, caret - blanks));
    }
    Command_OpenBrowser->setEnabled(!Text_SearchData->text().isEmpty());
}

void MainForm::Text_SearchData_DblClick()
{
    Text_SearchData->clear();
}

void MainForm::Text_SearchData_KeyDown(int keyCode, Qt::KeyboardModifiers shift)
{
    Q_UNUSED(shift)
    // Enter launches whatever the box holds, even with the launch button off.
    if (isEnter(keyCode))
        Command_OpenBrowser_Click();
}

void MainForm::Text_SearchData_KeyPress(qint16 &keyAscii)
{
    keyAscii = SearchRules::filterKeyAscii(keyAscii, Text_SearchData->text(),
                                           caretPosition(*Text_SearchData));
}

bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Text_SearchData)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        Text_SearchData_KeyDown(key->key(), key->modifiers());
        if (isEnter(key->key()))
            return true; // Enter is no character of the term
        if (key->matches(QKeySequence::Paste)) {
            pasteAsTyped(*Text_SearchData, QGuiApplication::clipboard()->text());
            return true;
        }
        if (!typesText(*key))
            return false; // editing, focus and shortcut keys keep their meaning
        const QString typed = key->text();
        if (typed.size() != 1) { // a composed key, or a character beyond 16 bits
            pasteAsTyped(*Text_SearchData, typed);
            return true;
        }
        const qint16 original = qint16(typed.front().unicode());
        qint16 keyAscii = original;
        Text_SearchData_KeyPress(keyAscii);
        if (keyAscii == original)
            return false; // goes in as typed
        if (keyAscii != SearchRules::KeyAscii::Discard)
            Text_SearchData->insert(QString(QChar(char16_t(keyAscii))));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            break;
        Text_SearchData_DblClick();
        return true;
    case QEvent::MouseButtonRelease: {
        // The middle-click paste of the X11 selection.
        const QClipboard *clipboard = QGuiApplication::clipboard();
        if (static_cast<QMouseEvent *>(event)->button() != Qt::MiddleButton ||
            !clipboard->supportsSelection())
            break;
        Text_SearchData->deselect();
        pasteAsTyped(*Text_SearchData, clipboard->text(QClipboard::Selection));
        return true;
    }
    case QEvent::ContextMenu: {
        QMenu *menu = Text_SearchData->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The menu's Paste is the action wired to QLineEdit::paste (by name in
        // Qt 6.4, by pointer in later releases); it gets the filtered paste.
        for (QAction *action : menu->actions()) {
            const bool wasPaste =
                disconnect(action, &QAction::triggered, Text_SearchData, &QLineEdit::paste) ||
                disconnect(action, SIGNAL(triggered()), Text_SearchData, SLOT(paste()));
            if (!wasPaste)
                continue;
            connect(action, &QAction::triggered, Text_SearchData, [box = Text_SearchData] {
                pasteAsTyped(*box, QGuiApplication::clipboard()->text());
            });
        }
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    case QEvent::Drop: {
        // Text dropped in from elsewhere is filtered, then dropped as usual so
        // the box ends its drag feedback itself.
        auto *drop = static_cast<QDropEvent *>(event);
        if (drop->source() == Text_SearchData || !drop->mimeData()->hasText())
            break;
        const QString incoming = drop->mimeData()->text();
        const QString accepted = SearchRules::typedInsertion(
            Text_SearchData->text(), Text_SearchData->cursorPositionAt(drop->position().toPoint()),
            0, incoming);
        if (accepted == incoming)
            break;
        QMimeData filtered;
        filtered.setText(accepted);
        QDropEvent again(drop->position(), drop->possibleActions(), &filtered, drop->buttons(),
                         drop->modifiers());
        QCoreApplication::sendEvent(Text_SearchData, &again);
        drop->setDropAction(again.dropAction());
        drop->setAccepted(again.isAccepted());
        return true;
    }
    case QEvent::InputMethod: {
        // Letters composed with dead keys or an input method arrive here.
        auto *input = static_cast<QInputMethodEvent *>(event);
        const QString incoming = input->commitString();
        const QString accepted = acceptedByBox(*Text_SearchData, incoming);
        if (accepted == incoming)
            break;
        QInputMethodEvent again(input->preeditString(), input->attributes());
        again.setCommitString(accepted, input->replacementStart(), input->replacementLength());
        QCoreApplication::sendEvent(Text_SearchData, &again);
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
