#include "rules/DataFolder.h"

#include "rules/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace Nimbrel::DataFolder
{

QString appDataBase()
{
    const QString appData = qEnvironmentVariable("AppData");
#ifdef Q_OS_WIN
    return appData;
#else
    if (!appData.isEmpty())
        return appData;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

QString path()
{
    return appDataBase() + QDir::separator() + ProgramFolderName;
}

QString historyFileName(qint16 listNumber)
{
    return QStringLiteral("SearchHistory-") + QString::number(listNumber) + QStringLiteral(".dat");
}

QString historyFilePath(qint16 listNumber)
{
    return path() + QDir::separator() + historyFileName(listNumber);
}

MaybeFailure ensureExists(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists()) {
        if (info.isDir())
            return std::nullopt;
        return Failure{
            QCoreApplication::translate("Nimbrel::DataFolder", "The data folder cannot be used."),
            folder,
            QCoreApplication::translate("Nimbrel::DataFolder",
                                        "A file of that name stands where the folder should be.")};
    }
    std::error_code error;
    // The base folder itself may be missing on a fresh account (the XDG data
    // home is created lazily), so create it along with ours.
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (!error)
        return std::nullopt;
    return Failure{
        QCoreApplication::translate("Nimbrel::DataFolder", "The data folder could not be created."),
        folder, QString::fromStdString(error.message())};
}

MaybeFailure migrateOldHistoryFile(const QString &folder)
{
    const QString oldPath = folder + QDir::separator() + QStringLiteral("SearchHistory.dat");
    const QString newPath = folder + QDir::separator() + historyFileName(1);
    if (!QFile::exists(oldPath) || QFile::exists(newPath))
        return std::nullopt;

    // Only a regular file is copied: a pipe would block the start, and a link
    // to a device would be copied without end.
    QFile oldFile;
    if (const MaybeFailure refused = SafeFile::openForReading(oldFile, oldPath))
        return refused->as(QCoreApplication::translate("Nimbrel::DataFolder",
                                                       "The old history list could not be read."));
    if (const MaybeFailure refused = SafeFile::replace(newPath, oldFile))
        return refused->as(QCoreApplication::translate(
            "Nimbrel::DataFolder", "The old history list could not be copied."));
    oldFile.close();
    QFile copied(oldPath);
    if (!copied.remove())
        return Failure{QCoreApplication::translate("Nimbrel::DataFolder",
                                                   "The old history list could not be removed."),
                       oldPath, copied.errorString()};
    return std::nullopt;
}

} // namespace Nimbrel::DataFolder
