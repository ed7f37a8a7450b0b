#pragma once

#include <QLineEdit>

namespace Nimbrel
{

// The search box: a line edit that lets in only what the search rules allow,
// whether typed, pasted, dropped or composed by an input method. Enter and a
// double-click are the main window's business; the box reports them.
class SearchBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit SearchBox(QWidget *parent = nullptr);

    // Empties the box and lets in what of `incoming` the user could have
    // typed into it, as a paste into the empty box would.
    void replaceAsTyped(const QString &incoming);

signals:
    // Every key pressed in the box, before the box acts on it.
    void keyDown(int keyCode, Qt::KeyboardModifiers shift);
    // A double-click with the left button; the box does nothing else with it.
    void doubleClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The key filter: replaces a typed character with the one the box takes,
    // or with KeyAscii::Discard.
    void Text_SearchData_KeyPress(char16_t &KeyAscii) const;

    // The caret position the rules use: the start of the selection, if any.
    int caretPosition() const;
    // Inserts what of `incoming` the user could have typed at the caret.
    void pasteAsTyped(const QString &incoming);
    // Undo or redo (key or menu), then the typing rules over what it brought back.
    void undoOrRedo(bool undo);
    // Types the text again through the rules if it holds what could not be typed.
    void keepWhatCouldBeTyped();
};

} // namespace Nimbrel
