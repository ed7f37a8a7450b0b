#include "windows/UpdateCheck.h"

#include "desktop/OpenInDefaultHandler.h"
#include "rules/DataFolder.h"
#include "rules/LauncherSession.h"
#include "rules/TextElision.h"
#include "rules/VersionsFile.h"
#include "windows/InputBlocker.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace Nimbrel
{

MessageRequest updateMessage(const UpdateVerdict &verdict, const QString &appVersion)
{
    const QString infoQuestion = QCoreApplication::translate(
        "Nimbrel::UpdateCheck", "\n\nGoto the Program Homepage for info ?");
    MessageRequest request;
    request.title =
        QCoreApplication::translate("Nimbrel::UpdateCheck", "Current version: %1").arg(appVersion);
    request.icon = QMessageBox::NoIcon;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    switch (verdict.outcome) {
    case UpdateOutcome::DownloadFailed:
        request.text =
            QCoreApplication::translate("Nimbrel::UpdateCheck", "Web Datafile not foud.");
        // A download that arrived but could not be kept is a file failure.
        if (verdict.failure)
            request.text += u"\n\n" + verdict.failure->path + u"\n\n" + verdict.failure->reason;
        request.text += infoQuestion;
        break;
    case UpdateOutcome::NoLocalFile:
        request.text =
            QCoreApplication::translate("Nimbrel::UpdateCheck", "Downloaded Datafile not foud.") +
            infoQuestion;
        break;
    case UpdateOutcome::NoEntry:
        request.text =
            QCoreApplication::translate("Nimbrel::UpdateCheck", "No data for this program found.") +
            infoQuestion;
        break;
    case UpdateOutcome::NewerVersion:
        // A box wraps at blanks only; a long version without any would run
        // off its edge, its middle "…" with it.
        request.text =
            QCoreApplication::translate(
                "Nimbrel::UpdateCheck",
                "A newer version  ( %1 )  is available.\n\nGoto the Program Homepage to download ?")
                .arg(withBreakOpportunities(shownVersionText(verdict.versionText), 60));
        break;
    case UpdateOutcome::LatestVersion:
        request.text =
            QCoreApplication::translate("Nimbrel::UpdateCheck", "This is the latest version.");
        request.buttons = QMessageBox::Ok;
        break;
    }
    return request;
}

void runUpdateCheck(QWidget *parent, const LauncherSession &session,
                    const UpdateCheckOptions &options)
{
    const QPointer<QWidget> guardedParent(parent);
    if (!reportIfFailed(parent, DataFolder::ensureExists(versionsCopyFolder())))
        return;

    DownloadResult download;
    {
        InputBlocker blocker;
        download = downloadBounded(options.versionsUrl, options.limits);
    }
    // The program is closing: nobody is left to answer a question.
    if (download.status == DownloadStatus::Interrupted)
        return;

    const QString localPath = versionsLocalPath();
    const QString appVersion = session.appVersion();
    UpdateVerdict verdict{UpdateOutcome::DownloadFailed, {}};
    if (download.status == DownloadStatus::Done) {
        verdict.failure = writeLocalCopy(localPath, download.body);
        if (!verdict.failure)
            verdict = judgeVersionsFile(localPath, appVersion);
    }

    MessageRequest message = updateMessage(verdict, appVersion);
    message.parent = guardedParent;
    const QMessageBox::StandardButton answer = desktop().showMessage(message);
    if (verdict.outcome != UpdateOutcome::LatestVersion && answer != QMessageBox::No)
        openInDefaultHandler(session.homepage(), QString(), ShowCommand::Normal);
}

} // namespace Nimbrel
