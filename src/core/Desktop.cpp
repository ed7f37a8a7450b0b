#include "core/Desktop.h"

#include "core/AppInfo.h"
#include "core/SystemDesktop.h"

namespace {
Desktop *installed = nullptr;
}

Desktop &desktop()
{
    if (installed)
        return *installed;
    static SystemDesktop system;
    return system;
}

void setDesktop(Desktop *replacement)
{
    installed = replacement;
}

void reportFailure(QWidget *parent, const QString &what, const QString &path,
                   const QString &reason)
{
    MessageRequest request;
    request.parent = parent;
    request.title = AppInfo::ApplicationTitle;
    request.text = what + u"\n\n" + path + u"\n\n" + reason;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    request.icon = QMessageBox::Warning;
    desktop().showMessage(request);
}
