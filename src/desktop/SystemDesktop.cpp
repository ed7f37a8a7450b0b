#include "desktop/SystemDesktop.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Nimbrel {

QMessageBox::StandardButton SystemDesktop::showMessage(const MessageRequest &request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, request.parent);
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
