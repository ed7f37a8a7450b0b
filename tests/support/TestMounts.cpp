#include "support/TestMounts.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

TestMounts::~TestMounts()
{
    for (auto it = m_mounted.crbegin(); it != m_mounted.crend(); ++it) {
        // A lazy unmount still detaches a mount that something keeps busy, so
        // the test's temporary folder can be removed.
        if (QProcess::execute(QStringLiteral("umount"), {*it}) != 0)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), *it});
    }
}

bool TestMounts::run(const QStringList &arguments)
{
    QProcess mount;
    mount.setProcessChannelMode(QProcess::MergedChannels);
    mount.start(QStringLiteral("mount"), arguments);
    if (mount.waitForFinished() && mount.exitStatus() == QProcess::NormalExit &&
        mount.exitCode() == 0)
        return true;
    m_error = QStringLiteral("mount ") + arguments.join(u' ') + QStringLiteral(": ") +
              QString::fromLocal8Bit(mount.readAll()).trimmed() + mount.errorString();
    return false;
}

bool TestMounts::readOnly(const QString &path)
{
    if (!run({QStringLiteral("--bind"), path, path}))
        return false;
    m_mounted << path;
    return run({QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), path});
}

bool TestMounts::tmpfs(const QString &folder, const QString &size)
{
    if (!run({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
              QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder}))
        return false;
    m_mounted << folder;
    return true;
}

QString TestMounts::missingPrivilege()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Windows has no mounts to put faults under a test's files");
#else
    if (geteuid() != 0)
        return QStringLiteral("the fault-injection tests mount file systems and need root");
    return QString();
#endif
}
