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

MaybeFailure FakeDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                               int showCommand)
{
    opened.append({file, parameters, showCommand});
    if (opens)
        return std::nullopt;
    return Failure{QStringLiteral("This could not be opened:"), file,
                   QStringLiteral("The test's desktop has no handler.")};
}

MaybeFailure FakeDesktop::openInEditor(const QString &path, int showCommand)
{
    return FakeDesktop::openInDefaultHandler(Editor, path, showCommand);
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
