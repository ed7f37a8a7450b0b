#pragma once

#include "desktop/Desktop.h"
#include "rules/AppInfo.h"
#include "rules/BoundedDownload.h"
#include "rules/UpdateVerdict.h"

#include <QString>
#include <QUrl>

class QWidget;

namespace Nimbrel
{

class LauncherSession;

// The message box that tells the user an outcome; titled with the program's
// own version.
MessageRequest updateMessage(const UpdateVerdict &verdict, const QString &appVersion);

// Where the check downloads from and how long and how much it may take.
struct UpdateCheckOptions {
    QUrl versionsUrl = QUrl(AppInfo::VersionsDataFileUrl);
    DownloadLimits limits;
};

// The whole check: downloads the versions data file into versionsCopyFolder()
// while no window takes input, tells the user the outcome and opens the home
// page when the user asks for it. `parent` may go away during the wait.
void runUpdateCheck(QWidget *parent, const LauncherSession &session,
                    const UpdateCheckOptions &options = {});

} // namespace Nimbrel
