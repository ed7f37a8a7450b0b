#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Gives the test process its own HOME, XDG folders and AppData, so that no test
// reads or writes the real user's settings or history.
class TestEnvironment
{
public:
    TestEnvironment();

    static QString root();
    static QString appData();       // the AppData variable's value
    static QString runtimeFolder(); // XDG_RUNTIME_DIR
    static QString dataFolder();    // AppData + "/Nimbrel Launcher"
    static QString settingsFile();  // the INI file of the settings store

    // The settings store as the launcher opens it: that INI file, or the
    // registry key on Windows.
    static std::unique_ptr<QSettings> nativeStore();
    // The stored settings as key=value lines: the INI file's own bytes, or on
    // Windows the registry's values written out so.
    static QByteArray storedLines();

    // Forgets every setting and every file under AppData and the cache home.
    static void reset();

private:
    QTemporaryDir m_root;
};

// The file of history list n in the test's data folder.
QString listFile(int n);

// Bytes of a file, or of a file to be written.
QByteArray readBytes(const QString &path);
void writeBytes(const QString &path, const QByteArray &bytes);

// Writes a shell script that only its owner may run, such as a stand-in for
// a program the launcher starts.
void writeScript(const QString &path, const QByteArray &script);

// A QtTest main for rules, whose process runs in its own temporary environment.
#define NIMBREL_CORE_TEST_MAIN(TestClass)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        QCoreApplication app(argc, argv);                                                          \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
