#include "desktop/SystemDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>

namespace Nimbrel
{

QMessageBox::StandardButton SystemDesktop::showMessage(const MessageRequest &request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, request.parent);
    // Messages carry text from outside the program (a downloaded file, a path,
    // a system error, a handler's output): a tag in it must show as written,
    // not turn the message into a page with live links.
    box.setTextFormat(Qt::PlainText);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    // Once the box is gone the window manager chooses what gets the focus,
    // and when the box's owner closes right after (as the Info window does
    // after its questions) it may choose no window of the program at all. The
    // focus goes back to the control that asked, in a window that is active.
    // The control that asked is the one with the focus in the box's owner,
    // even should that window not have been activated yet.
    QWidget *owner = request.parent ? request.parent->window() : nullptr;
    const QPointer<QWidget> asking = owner ? owner->focusWidget() : QApplication::focusWidget();
    const int answer = box.exec();
    if (asking && asking->isVisible()) {
        asking->activateWindow();
        asking->setFocus();
    }
    return QMessageBox::StandardButton(answer);
}

bool SystemDesktop::setClipboardText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    return clipboard->text() == text;
}

} // namespace Nimbrel
