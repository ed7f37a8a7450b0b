#include "rules/UpdateVerdict.h"

#include "rules/AppInfo.h"
#include "rules/BoundedDownload.h"
#include "rules/DataFolder.h"
#include "rules/SafeFile.h"
#include "rules/VersionsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace Nimbrel
{

QString versionsCopyFolder()
{
#ifdef Q_OS_WIN
    return DataFolder::appDataBase() + QDir::separator() + QStringLiteral("vbTemp");
#else
    // A copy that the next check fetches again is cache, not the user's data.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u'/' +
           DataFolder::ProgramFolderName;
#endif
}

QString versionsLocalPath()
{
    return versionsCopyFolder() + QStringLiteral("/versions.txt");
}

MaybeFailure writeLocalCopy(const QString &path, const QByteArray &bytes)
{
    if (const MaybeFailure refused = SafeFile::replace(path, bytes))
        return refused->as(QCoreApplication::translate(
            "Nimbrel::UpdateVerdict", "The downloaded versions file could not be saved."));
    return std::nullopt;
}

UpdateVerdict judgeVersionsFile(const QString &localPath, const QString &appVersion)
{
    if (!QFile::exists(localPath))
        return {UpdateOutcome::NoLocalFile, {}};

    // Something else may stand there by now; only a regular file is read, and
    // no more of it than a download can have left.
    QFile file;
    if (SafeFile::openForReading(file, localPath))
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

} // namespace Nimbrel
