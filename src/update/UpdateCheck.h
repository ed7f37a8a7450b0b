#pragma once

#include "core/AppInfo.h"
#include "core/Desktop.h"
#include "update/BoundedDownload.h"

#include <QString>
#include <QUrl>

class QWidget;

// The ways an update check can end, each with its own message.
enum class UpdateOutcome {
    DownloadFailed,
    NoLocalFile,
    NoEntry,
    NewerVersion,
    LatestVersion,
};

struct UpdateVerdict {
    UpdateOutcome outcome = UpdateOutcome::NoEntry;
    QString versionText; // the published version, for NewerVersion
};

// Where the check keeps the downloaded versions data file: "vbTemp" under the
// per-user base folder, and "versions.txt" in it.
QString updateTempFolder();
QString versionsLocalPath();

// Reads the downloaded file at `localPath` and compares the entry of this
// program with `appVersion`. A file that is empty, unreadable or lists only
// other programs has no entry.
UpdateVerdict judgeVersionsFile(const QString &localPath, const QString &appVersion);

// The message box that tells the user an outcome; titled with the program's
// own version.
MessageRequest updateMessage(const UpdateVerdict &verdict, const QString &appVersion);

// Where the check downloads from and how long and how much it may take.
struct UpdateCheckOptions {
    QUrl versionsUrl = QUrl(AppInfo::VersionsDataFileUrl);
    DownloadLimits limits;
};

// The whole check: downloads the versions data file into the temporary folder
// while no window takes input, tells the user the outcome and opens the home
// page when the user asks for it. `parent` may go away during the wait.
void runUpdateCheck(QWidget *parent, const UpdateCheckOptions &options = {});
