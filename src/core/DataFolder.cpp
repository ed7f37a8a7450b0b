#include "core/DataFolder.h"

#include "core/Desktop.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace DataFolder {

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
    return appDataBase() + QDir::separator() + QStringLiteral("Nimbrel Launcher");
}

QString historyFileName(qint16 listNumber)
{
    return QStringLiteral("SearchHistory-") + QString::number(listNumber) + QStringLiteral(".dat");
}

bool ensureExists(const QString &folder, QWidget *parent)
{
    const QFileInfo info(folder);
    if (info.exists()) {
        if (info.isDir())
            return true;
        reportFailure(parent, QStringLiteral("The data folder cannot be used."), folder,
                      QStringLiteral("A file of that name stands where the folder should be."));
        return false;
    }
    std::error_code error;
    // The base folder itself may be missing on a fresh account (the XDG data
    // home is created lazily), so create it along with ours.
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (!error)
        return true;
    reportFailure(parent, QStringLiteral("The data folder could not be created."), folder,
                  QString::fromStdString(error.message()));
    return false;
}

void migrateOldHistoryFile(const QString &folder, QWidget *parent)
{
    const QString oldPath = folder + QDir::separator() + QStringLiteral("SearchHistory.dat");
    const QString newPath = folder + QDir::separator() + historyFileName(1);
    if (!QFile::exists(oldPath) || QFile::exists(newPath))
        return;

    // Only a regular file is copied: a pipe would block the start, and a link
    // to a device would be copied without end.
    QFile oldFile;
    QString reason;
    if (!SafeFile::openForReading(oldFile, oldPath, &reason)) {
        reportFailure(parent, QStringLiteral("The old history list could not be read."), oldPath,
                      reason);
        return;
    }
    if (!SafeFile::replace(newPath, oldFile, &reason)) {
        reportFailure(parent, QStringLiteral("The old history list could not be copied."), newPath,
                      reason);
        return;
    }
    oldFile.close();
    QFile copied(oldPath);
    if (!copied.remove())
        reportFailure(parent, QStringLiteral("The old history list could not be removed."), oldPath,
                      copied.errorString());
}

} // namespace DataFolder
