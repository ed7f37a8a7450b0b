#pragma once

#include <QString>
#include <QStringList>

// Mounts that put a fault under a test's files: a read-only view of a file or
// folder, or a tiny file system that fills up. Each is undone when the object
// goes out of scope, newest first.
//
// Mounting needs root. As root, read-only permission bits prove nothing, so
// these mounts are the only honest way to make writes fail.
class TestMounts
{
public:
    TestMounts() = default;
    TestMounts(const TestMounts &) = delete;
    TestMounts &operator=(const TestMounts &) = delete;
    ~TestMounts();

    // False, with the reason in error(), when the mount failed.
    bool readOnly(const QString &path);
    bool tmpfs(const QString &folder, const QString &size);

    QString error() const { return m_error; }

    // Why the fault tests cannot run here, or an empty text when they can.
    static QString missingPrivilege();

private:
    bool run(const QStringList &arguments);

    QStringList m_mounted;
    QString m_error;
};

// Skips a fault test where mounting is not allowed, except under CI, which
// runs as root: there the test fails instead of silently proving nothing.
// Windows has no mounts at all.
#ifdef Q_OS_WIN
#define REQUIRE_MOUNT_PRIVILEGE() QSKIP(qPrintable(TestMounts::missingPrivilege()))
#else
#define REQUIRE_MOUNT_PRIVILEGE()                                                                  \
    do {                                                                                           \
        const QString missing = TestMounts::missingPrivilege();                                    \
        if (!missing.isEmpty()) {                                                                  \
            if (qEnvironmentVariable("CI") == u"true")                                             \
                QFAIL(qPrintable(missing));                                                        \
            QSKIP(qPrintable(missing));                                                            \
        }                                                                                          \
    } while (false)
#endif
