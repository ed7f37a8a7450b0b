#include "SaveLoopLists.h"
#include "support/SettingsFixture.h"
#include "support/TestMounts.h"

#include "support/FakeDesktop.h"
#include "support/OddFiles.h"
#include "support/SessionOptions.h"
#include "support/WindowTest.h"
#include "windows/HistoryList.h"
#include "windows/MainForm.h"

#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>

using namespace Nimbrel;

namespace
{

QString configFolder()
{
    return QFileInfo(TestEnvironment::settingsFile()).path();
}

const QByteArray StoredSettings = "[Settings]\n" + SettingsFixture::seeded();

// Every file the launcher keeps, with its bytes.
QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> files;
    for (const QString &root : {TestEnvironment::appData(), configFolder()}) {
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(path, readBytes(path));
        }
    }
    return files;
}

// The files that a run created, removed or changed.
QStringList changedFiles(const QMap<QString, QByteArray> &before)
{
    const QMap<QString, QByteArray> after = snapshot();
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (after.value(it.key(), "<gone>") != it.value())
            changed << it.key();
    }
    for (const QString &path : after.keys()) {
        if (!before.contains(path))
            changed << path;
    }
    changed.sort();
    return changed;
}

bool writable(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/probe"));
    const bool opened = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return opened;
}

} // namespace

class TestFaultInjection : public QObject
{
    Q_OBJECT
    FakeDesktop *fake = nullptr;

    // A user's run: a new term goes to the top of the list and the move-to-top
    // option is ticked in the Info window; Exit writes both back. The session
    // stays for the test to look at.
    void runSession()
    {
        LauncherSession session;
        runSession(session);
    }
    void runSession(LauncherSession &session)
    {
        MainForm form(session);
        QVERIFY(form.formLoaded());
        ui(form).Text_SearchData->setText(QStringLiteral("NEW"));
        ui(form).Command_OpenBrowser->click();
        QCOMPARE(fake->opened.size(), 1);
        session.setMoveItemToTop(SwitchedOn);
        ui(form).Command_Exit->click();
    }

    void verifyMessagesName(const QStringList &paths)
    {
        QCOMPARE(fake->messages.size(), paths.size());
        for (qsizetype i = 0; i < paths.size(); ++i) {
            QVERIFY2(fake->messages[i].text.contains(paths[i]), qPrintable(fake->messages[i].text));
            QCOMPARE(fake->messages[i].icon, QMessageBox::Warning);
        }
    }

private slots:
    void init()
    {
        TestEnvironment::reset();
        writeBytes(TestEnvironment::settingsFile(), StoredSettings);
        writeBytes(listFile(1), "ONE\r\n");
        writeBytes(listFile(2), "TWO\r\n2\r\n");
        writeBytes(listFile(3), "THREE\r\n");
        fake = new FakeDesktop;
    }
    void cleanup() { delete fake; }

    void readOnlyDataFolderKeepsEveryList()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        TestMounts mounts;
        QVERIFY2(mounts.readOnly(TestEnvironment::dataFolder()), qPrintable(mounts.error()));
        QVERIFY(!writable(TestEnvironment::dataFolder()));
        const auto before = snapshot();

        LauncherSession session;
        runSession(session);

        verifyMessagesName({listFile(1)});
        QCOMPARE(changedFiles(before), QStringList{TestEnvironment::settingsFile()});
        QVERIFY(
            readBytes(TestEnvironment::settingsFile()).contains("\nMoveSearchedtItemToTop=1\n"));
        QCOMPARE(session.historyModified(), true); // still unsaved, not reported as saved
    }

    void dataFolderThatCannotBeCreatedIsReported()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        QDir(TestEnvironment::dataFolder()).removeRecursively();
        TestMounts mounts;
        QVERIFY2(mounts.readOnly(TestEnvironment::appData()), qPrintable(mounts.error()));
        const auto before = snapshot();

        runSession();

        verifyMessagesName({TestEnvironment::dataFolder(), listFile(1)});
        QCOMPARE(changedFiles(before), QStringList{TestEnvironment::settingsFile()});
        QVERIFY(!QFileInfo::exists(TestEnvironment::dataFolder()));
    }

    void readOnlySettingsKeepTheirValues_data()
    {
        QTest::addColumn<bool>("wholeFolder");
        QTest::newRow("settings file") << false;
        QTest::newRow("settings folder") << true;
    }
    void readOnlySettingsKeepTheirValues()
    {
        QFETCH(bool, wholeFolder);
        REQUIRE_MOUNT_PRIVILEGE();
        TestMounts mounts;
        QVERIFY2(mounts.readOnly(wholeFolder ? configFolder() : TestEnvironment::settingsFile()),
                 qPrintable(mounts.error()));
        const auto before = snapshot();

        runSession();

        verifyMessagesName({TestEnvironment::settingsFile()});
        QCOMPARE(changedFiles(before), QStringList{listFile(1)});
        QCOMPARE(readBytes(listFile(1)), QByteArray("NEW\r\nONE\r\n"));
    }

    void readOnlySettingsOnFirstRunWarnOnce()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        QFile::remove(TestEnvironment::settingsFile());
        QDir().mkpath(configFolder());
        TestMounts mounts;
        QVERIFY2(mounts.readOnly(configFolder()), qPrintable(mounts.error()));

        LauncherSession session;
        MainForm form(session);
        QVERIFY(form.formLoaded());
        QCOMPARE(session.wikiPath(), QStringLiteral("https://nimbrel.example/nimbrel/wiki/"));
        verifyMessagesName({TestEnvironment::settingsFile()});
        QVERIFY(!QFile::exists(TestEnvironment::settingsFile()));
    }

    void dataFolderPathThatIsAFileStaysAsItIs()
    {
        QDir(TestEnvironment::dataFolder()).removeRecursively();
        writeBytes(TestEnvironment::dataFolder(), "not a folder");
        const auto before = snapshot();

        runSession();

        verifyMessagesName({TestEnvironment::dataFolder(), listFile(1)});
        QCOMPARE(changedFiles(before), QStringList{TestEnvironment::settingsFile()});
        QCOMPARE(readBytes(TestEnvironment::dataFolder()), QByteArray("not a folder"));
    }

    void fullDiskKeepsTheOldList()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        TestMounts mounts;
        QVERIFY2(mounts.tmpfs(TestEnvironment::dataFolder(), QStringLiteral("64k")),
                 qPrintable(mounts.error()));
        writeBytes(listFile(1), "ONE\r\n");
        writeBytes(listFile(2), "TWO\r\n2\r\n");
        writeBytes(listFile(3), "THREE\r\n");
        const auto before = snapshot();

        {
            LauncherSession session;
            MainForm form(session);
            for (int i = 0; i < 200; ++i) // about 200 KB, more than the disk holds
                ui(form).List_History->insertItem(0, makeHistoryItem(QString(1000, u'Z')));
            session.setHistoryModified(true);
            ui(form).Command_Exit->click();
        }

        verifyMessagesName({listFile(1)});
        QCOMPARE(changedFiles(before), QStringList{}); // no half-written file left behind either
    }

    // A list whose file could not be read is never saved over it: both the
    // read and the refused save are told, and only the settings change.
    void unreadableHistoryFileIsLeftAsItIs()
    {
        const auto before = snapshot();
        {
            UnreadableFile unreadable(listFile(1));
            if (!unreadable.ok())
                QSKIP("This system cannot make a file unreadable to its owner.");
            runSession();
        }
        verifyMessagesName({listFile(1), listFile(1)});
        QCOMPARE(changedFiles(before), QStringList{TestEnvironment::settingsFile()});
    }

    void historyFileThatIsAFolderIsReportedNotReplaced()
    {
        QFile::remove(listFile(1));
        QDir().mkpath(listFile(1));
        const auto before = snapshot();

        runSession();

        verifyMessagesName({listFile(1), listFile(1)}); // once on loading, once on saving
        QVERIFY(QFileInfo(listFile(1)).isDir());
        QCOMPARE(changedFiles(before), QStringList{TestEnvironment::settingsFile()});
    }

    // A save that is killed at any moment leaves the old file or the new one,
    // never a mix or a truncated file.
    void killedSaveLeavesOldOrNewFileWhole()
    {
        const QByteArray variants[2] = {saveLoopFileBytes(0), saveLoopFileBytes(1)};
        int interrupted = 0;
        for (int round = 0; round < 10; ++round) {
            QProcess saver;
            saver.start(QStringLiteral(NIMBREL_SAVE_LOOP), {listFile(1)});
            QVERIFY2(saver.waitForStarted(), qPrintable(saver.errorString()));
            // Wait until a few saves have gone through, then strike at a
            // random moment of the loop.
            QByteArray announced;
            while (announced.count('\n') < 2 + round % 3) {
                QVERIFY2(saver.waitForReadyRead(30000), saver.readAllStandardError().constData());
                announced += saver.readAllStandardOutput();
            }
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            QCOMPARE(::kill(pid_t(saver.processId()), SIGKILL), 0);
            QVERIFY(saver.waitForFinished());
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            const QByteArray bytes = readBytes(listFile(1));
            QVERIFY2(bytes == variants[0] || bytes == variants[1],
                     qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(bytes.size())));
            // The loop announces each save and its end: a last announcement
            // without its end means the kill came during a save.
            announced += saver.readAllStandardOutput();
            if (announced.trimmed().split('\n').last().startsWith("saving"))
                ++interrupted;
        }
        // Without a kill in the middle of a save the test would prove nothing.
        qInfo("%d of 10 kills came during a save", interrupted);
        QVERIFY2(interrupted > 0, "no kill landed during a save");
        QCOMPARE(readBytes(listFile(2)), QByteArray("TWO\r\n2\r\n"));
    }
};

NIMBREL_TEST_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
