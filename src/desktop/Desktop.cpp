#include "desktop/Desktop.h"

#include "desktop/SystemDesktop.h"
#include "rules/AppInfo.h"

namespace Nimbrel
{

namespace
{
Desktop *installed = nullptr;
}

Desktop &desktop()
{
    if (installed)
        return *installed;
    static SystemDesktop system;
    return system;
}

void Desktop::whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled)
{
    Q_UNUSED(context)
    settled(false);
}

void setDesktop(Desktop *replacement)
{
    installed = replacement;
}

void reportFailure(QWidget *parent, const Failure &failure)
{
    MessageRequest request;
    request.parent = parent;
    request.title = AppInfo::ApplicationTitle;
    request.text = failure.message();
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    request.icon = QMessageBox::Warning;
    desktop().showMessage(request);
}

bool reportIfFailed(QWidget *parent, const MaybeFailure &failure)
{
    if (failure)
        reportFailure(parent, *failure);
    return !failure;
}

} // namespace Nimbrel
