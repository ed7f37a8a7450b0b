#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace
{
QString rootPath;
}

TestEnvironment::TestEnvironment()
{
    m_root.setAutoRemove(true);
    rootPath = m_root.path();
    const QByteArray root = QFile::encodeName(rootPath);
    qputenv("HOME", root + "/home");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    qputenv("AppData", QFile::encodeName(appData()));
    // Downloads go to the tests' own servers, never through the user's proxy;
    // a test that wants a proxy names its own.
    for (const char *proxy : {"http_proxy", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(proxy);
    for (const char *dir : {"/home", "/config", "/data", "/cache", "/AppData"})
        QDir().mkpath(rootPath + QLatin1String(dir));
    // The runtime folder is the user's alone, as the session's own is.
    QDir().mkpath(runtimeFolder());
    QFile::setPermissions(runtimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString TestEnvironment::root()
{
    return rootPath;
}

// In the platform's own form, as Windows gives it (C:\\Users\\...), so that
// paths the launcher builds on it compare equal to the tests' own.
QString TestEnvironment::appData()
{
    return QDir::toNativeSeparators(rootPath + QStringLiteral("/AppData"));
}

QString TestEnvironment::runtimeFolder()
{
    return rootPath + QStringLiteral("/runtime");
}

QString TestEnvironment::dataFolder()
{
    return appData() + QDir::separator() + QStringLiteral("Nimbrel Launcher");
}

QString TestEnvironment::settingsFile()
{
    return rootPath + QStringLiteral("/config/VB and VBA Program Settings/Nimbrel.conf");
}

std::unique_ptr<QSettings> TestEnvironment::nativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("VB and VBA Program Settings"),
                                       QStringLiteral("Nimbrel"));
}

QByteArray TestEnvironment::storedLines()
{
#ifdef Q_OS_WIN
    const auto store = nativeStore();
    QByteArray lines;
    for (const QString &key : store->allKeys())
        lines += key.section(u'/', 1).toUtf8() + '=' + store->value(key).toString().toUtf8() + '\n';
    return lines;
#else
    return readBytes(settingsFile());
#endif
}

void TestEnvironment::reset()
{
    {
        const auto settings = nativeStore();
        settings->clear();
        settings->sync();
    }
    QFile::remove(settingsFile());
    for (const QString &folder : QStringList{appData(), rootPath + QStringLiteral("/cache")}) {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
    }
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void writeScript(const QString &path, const QByteArray &script)
{
    writeBytes(path, "#!/bin/sh\n" + script);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QString listFile(int n)
{
    return TestEnvironment::dataFolder() + QDir::separator() +
           QStringLiteral("SearchHistory-%1.dat").arg(n);
}
