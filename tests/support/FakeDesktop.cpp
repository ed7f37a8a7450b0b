#include "support/FakeDesktop.h"

using namespace Nimbrel;

FakeDesktop::FakeDesktop()
{
    setDesktop(this);
}

FakeDesktop::~FakeDesktop()
{
    setDesktop(nullptr);
}

int FakeDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                      int showCommand)
{
    opened.append({file, parameters, showCommand});
    return openResult;
}

QMessageBox::StandardButton FakeDesktop::showMessage(const MessageRequest &request)
{
    messages.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return request.defaultButton != QMessageBox::NoButton ? request.defaultButton : QMessageBox::Ok;
}

bool FakeDesktop::setClipboardText(const QString &text)
{
    if (!clipboardAccepts)
        return false;
    clipboard.append(text);
    return true;
}
