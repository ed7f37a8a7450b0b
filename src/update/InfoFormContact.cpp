#include "infowindow/InfoForm.h"

#include "core/AppInfo.h"
#include "core/Module1.h"
#include "search/OpenInDefaultHandler.h"
#include "update/Mailto.h"
#include "update/UpdateCheck.h"

void InfoForm::CheckUpdate_Click()
{
    runUpdateCheck(this);
}

void InfoForm::lblEmail_Click()
{
    OpenEmail(AppInfo::AuthorEmailAddress, QStringLiteral("Nimbrel Launcher"), QString());
}

// True when the mail program was started; nothing reads the result yet, and
// "true on success" is what a future caller would expect.
qint16 InfoForm::OpenEmail(const QString &EmailAddress, const QString &Subject, const QString &Body)
{
    const int handlerResult =
        OpenInDefaultHandler(mailtoUrl(EmailAddress, Subject, Body), QString(), ShowCommand::Show);
    return handlerResult > 32 ? Module1::True : Module1::False;
}
