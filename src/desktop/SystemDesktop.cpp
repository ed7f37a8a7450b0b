#include "desktop/SystemDesktop.h"

#include <QClipboard>
#include <QGuiApplication>

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
    const int answer = box.exec();
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
