#include "update/UpdateCheck.h"

#include "core/DataFolder.h"
#include "core/Module1.h"
#include "core/SafeFile.h"
#include "search/OpenInDefaultHandler.h"
#include "update/InputBlocker.h"
#include "update/VersionsFile.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStringDecoder>
#include <QWidget>

namespace
{

// Replaces an earlier copy, or a link or pipe put in its place, without
// writing through it. A partly written file is never read: the caller treats a
// failed write as a failed download.
bool writeLocalCopy(const QString &path, const QByteArray &bytes)
{
    QString reason;
    return SafeFile::replace(path, bytes, &reason);
}

} // namespace

QString updateTempFolder()
{
    return DataFolder::appDataBase() + QDir::separator() + QStringLiteral("vbTemp");
}

QString versionsLocalPath()
{
    return updateTempFolder() + QStringLiteral("/versions.txt");
}

UpdateVerdict judgeVersionsFile(const QString &localPath, const QString &appVersion)
{
    if (!QFile::exists(localPath))
        return {UpdateOutcome::NoLocalFile, {}};

    // Something else may stand there by now; only a regular file is read, and
    // no more of it than a download can have left.
    QFile file;
    QString reason;
    if (!SafeFile::openForReading(file, localPath, &reason))
        return {UpdateOutcome::NoEntry, {}};
    const QByteArray bytes = file.read(DownloadLimits().maxBytes);
    file.close();

    QStringDecoder decode(QStringConverter::System);
    const QString text = decode(bytes);
    const std::optional<QString> entry = findProgramEntry(text, AppInfo::ApplicationTitle);
    if (!entry)
        return {UpdateOutcome::NoEntry, {}};

    const QString version = publishedVersionText(*entry);
    if (isNewerVersion(version, appVersion))
        return {UpdateOutcome::NewerVersion, version};
    return {UpdateOutcome::LatestVersion, {}};
}

MessageRequest updateMessage(const UpdateVerdict &verdict, const QString &appVersion)
{
    const QString infoQuestion = QStringLiteral("\n\nGoto the Program Homepage for info ?");
    MessageRequest request;
    request.title = QStringLiteral("Current version: ") + appVersion;
    request.icon = QMessageBox::NoIcon;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    switch (verdict.outcome) {
    case UpdateOutcome::DownloadFailed:
        request.text = QStringLiteral("Web Datafile not foud.") + infoQuestion;
        break;
    case UpdateOutcome::NoLocalFile:
        request.text = QStringLiteral("Downloaded Datafile not foud.") + infoQuestion;
        break;
    case UpdateOutcome::NoEntry:
        request.text = QStringLiteral("No data for this program found.") + infoQuestion;
        break;
    case UpdateOutcome::NewerVersion:
        request.text =
            QStringLiteral("A newer version  ( ") + shownVersionText(verdict.versionText) +
            QStringLiteral(" )  is available.\n\nGoto the Program Homepage to download ?");
        break;
    case UpdateOutcome::LatestVersion:
        request.text = QStringLiteral("This is the latest version.");
        request.buttons = QMessageBox::Ok;
        break;
    }
    return request;
}

void runUpdateCheck(QWidget *parent, const UpdateCheckOptions &options)
{
    const QPointer<QWidget> guardedParent(parent);
    if (!DataFolder::ensureExists(updateTempFolder(), parent))
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
    const QString &appVersion = Module1::State.AppVersion;
    UpdateVerdict verdict{UpdateOutcome::DownloadFailed, {}};
    if (download.status == DownloadStatus::Done && writeLocalCopy(localPath, download.body))
        verdict = judgeVersionsFile(localPath, appVersion);

    MessageRequest message = updateMessage(verdict, appVersion);
    message.parent = guardedParent;
    const QMessageBox::StandardButton answer = desktop().showMessage(message);
    if (verdict.outcome != UpdateOutcome::LatestVersion && answer != QMessageBox::No)
        OpenInDefaultHandler(Module1::State.Homepage, QString(), ShowCommand::Normal);
}
