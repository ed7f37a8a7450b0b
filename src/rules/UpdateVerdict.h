#pragma once

#include "rules/Failure.h"

#include <QByteArray>
#include <QString>

namespace Nimbrel
{

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
    QString versionText;                 // the published version, for NewerVersion
    MaybeFailure failure = std::nullopt; // for DownloadFailed: a copy that was not written
};

// Where the check keeps its copy of the downloaded versions data file,
// "versions.txt": on Windows the folder "vbTemp" under the per-user base
// folder, elsewhere the program's folder under the XDG cache home.
QString versionsCopyFolder();
QString versionsLocalPath();

// Replaces an earlier copy of the downloaded file, or a link or pipe put in
// its place, without writing through it. A failure, with the path and the
// system's reason, when the copy could not be written whole; a partly written
// file is never read.
MaybeFailure writeLocalCopy(const QString &path, const QByteArray &bytes);

// Reads the downloaded file at `localPath` and compares the entry of this
// program with `appVersion`. A file that is empty, unreadable or lists only
// other programs has no entry.
UpdateVerdict judgeVersionsFile(const QString &localPath, const QString &appVersion);

} // namespace Nimbrel
