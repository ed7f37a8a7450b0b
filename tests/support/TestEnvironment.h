#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

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

    // Forgets every setting, every file under AppData and the cache home, and
    // the shared state.
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
