#include "app/InstanceAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace Nimbrel
{

namespace
{

const QString Stem = QStringLiteral("nimbrel-launcher.");

QString keepSafeCharacters(QString text)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    text.replace(unsafe, QStringLiteral("-"));
    return text.left(64);
}

#ifdef Q_OS_UNIX
// Why `folder` must not hold the socket `name`, or an empty text when it may:
// it has to be a real folder (not a link to one) of this user's own that
// nobody else can write into or list, and the socket's path has to fit the
// system's bound for such paths.
QString unsafeFolderReason(const QString &folder, const QString &name)
{
    struct stat info;
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return QString::fromLocal8Bit(strerror(errno));
    if (!S_ISDIR(info.st_mode))
        return QCoreApplication::translate("Nimbrel::InstanceAddress", "it is not a folder");
    if (info.st_uid != ::getuid())
        return QCoreApplication::translate("Nimbrel::InstanceAddress",
                                           "it belongs to another user");
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return QCoreApplication::translate("Nimbrel::InstanceAddress",
                                           "other users have access to it");
    if (QFile::encodeName(folder + u'/' + name).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return QCoreApplication::translate("Nimbrel::InstanceAddress",
                                           "the socket's path in it would be too long");
    return QString();
}

// A folder for the user alone, created if missing: one that was there before
// is trusted only as unsafeFolderReason() says.
QString makeOwnFolder(const QString &folder, const QString &name)
{
    QDir().mkpath(QFileInfo(folder).path());
    ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    return unsafeFolderReason(folder, name);
}
#endif

} // namespace

QString InstanceAddress::displayKey(const QString &waylandDisplay, const QString &x11Display)
{
    if (!waylandDisplay.isEmpty())
        return keepSafeCharacters(QStringLiteral("wayland-") + waylandDisplay);
    if (x11Display.isEmpty())
        return QStringLiteral("none");
    // ":0", ":0.0" and "unix:0" name the same server; the screen does not
    // matter, since a window can be moved between screens.
    QString display = x11Display;
    if (display.startsWith(QLatin1String("unix:")))
        display.remove(0, 4);
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return keepSafeCharacters(QStringLiteral("x11-") + display);
    const QString host = display.left(colon);
    const QString number = display.mid(colon + 1).section(u'.', 0, 0);
    return keepSafeCharacters(QStringLiteral("x11-") + (host.isEmpty() ? QString() : host + u'-') +
                              number);
}

InstanceAddress InstanceAddress::forThisSession()
{
    InstanceAddress address;
    const QString key =
        displayKey(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY"));
#ifdef Q_OS_UNIX
    const QString name = Stem + key;
    QStringList refused;
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        refused << QCoreApplication::translate("Nimbrel::InstanceAddress",
                                               "XDG_RUNTIME_DIR is not set");
    } else if (const QString reason = unsafeFolderReason(folder, name); !reason.isEmpty()) {
        refused << QCoreApplication::translate("Nimbrel::InstanceAddress",
                                               "XDG_RUNTIME_DIR (%1) is not used: %2")
                       .arg(folder, reason);
        folder.clear();
    }
    if (folder.isEmpty()) {
        // The shared temporary folder first, as other programs do; anyone can
        // create a name there before the user does, so the user's own cache
        // folder, which no one else can write into, comes next.
        const QString candidates[] = {
            QDir::tempPath() + QStringLiteral("/nimbrel-launcher-") + QString::number(::getuid()),
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                QStringLiteral("/nimbrel-launcher"),
        };
        for (const QString &candidate : candidates) {
            if (const QString reason = makeOwnFolder(candidate, name); !reason.isEmpty()) {
                refused << QCoreApplication::translate("Nimbrel::InstanceAddress",
                                                       "%1 is not used: %2")
                               .arg(candidate, reason);
                continue;
            }
            folder = candidate;
            break;
        }
        if (folder.isEmpty()) {
            address.error =
                QCoreApplication::translate("Nimbrel::InstanceAddress",
                                            "no folder can hold the launcher's socket (%1).")
                    .arg(refused.join(QStringLiteral("; ")));
            return address;
        }
        address.warning = QCoreApplication::translate("Nimbrel::InstanceAddress",
                                                      "%1; the launcher's socket is in %2.")
                              .arg(refused.join(QStringLiteral("; ")), folder);
    }
    address.serverName = folder + u'/' + name;
    address.lockPath = address.serverName + QStringLiteral(".lock");
#else
    // Pipe names are shared by all users and sessions of the machine; the
    // user's name and the session keep them apart, and the server lets only
    // its own user in.
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    const QString name = Stem + keepSafeCharacters(qEnvironmentVariable("USERNAME")) + u'.' +
                         QString::number(session) + u'.' + key;
    address.serverName = name;
    address.lockPath = QDir::tempPath() + u'/' + name + QStringLiteral(".lock");
#endif
    return address;
}

} // namespace Nimbrel
