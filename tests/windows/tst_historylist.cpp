#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/OddFiles.h"
#include "support/TestMounts.h"
#include "support/WindowTest.h"
#include "windows/HistoryList.h"

#include <QDir>
#include <QListWidget>

#include <memory>

using namespace Nimbrel;

using namespace std::chrono_literals;

namespace
{

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "L" + QByteArray::number(i) + "\r\n";
    return bytes;
}

} // namespace

class TestHistoryList : public QObject
{
    Q_OBJECT
    QString path;
    std::unique_ptr<LauncherSession> session;

private slots:
    void init()
    {
        TestEnvironment::reset();
        session = std::make_unique<LauncherSession>();
        QDir().mkpath(TestEnvironment::dataFolder());
        path = TestEnvironment::dataFolder() + QStringLiteral("/SearchHistory-1.dat");
        session->setHistoryFilePath(path);
        session->setHistoryListMaxItems(10);
    }

    void loadHonoursMaximum_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("maxItems");
        QTest::addColumn<int>("loaded");
        QTest::newRow("25 lines, max 10") << 25 << 10 << 10;
        QTest::newRow("3 lines, max 10") << 3 << 10 << 3;
        QTest::newRow("max 0 loads all") << 25 << 0 << 25;
        QTest::newRow("max 1") << 25 << 1 << 1;
    }
    void loadHonoursMaximum()
    {
        QFETCH(int, lines);
        QFETCH(int, maxItems);
        QFETCH(int, loaded);
        writeBytes(path, numberedLines(lines));
        session->setHistoryListMaxItems(qint16(maxItems));
        session->setHistoryModified(true);
        QListWidget list;
        loadHistoryList(*session, list);
        QCOMPARE(list.count(), loaded);
        QCOMPARE(list.item(0)->text(), QStringLiteral("L1"));
        QCOMPARE(session->historyModified(), false);
        QCOMPARE(readBytes(path), numberedLines(lines)); // the file is not shortened
    }

    void missingFileKeepsListAndClearsFlag()
    {
        QListWidget list;
        fillList(list, {QStringLiteral("KEEP")});
        session->setHistoryModified(true);
        loadHistoryList(*session, list);
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("KEEP")});
        QCOMPARE(session->historyModified(), false);
    }

    void saveWritesCrLfAfterEveryItem()
    {
        QListWidget list;
        fillList(list, {QStringLiteral("alpha"), QStringLiteral("beta")});
        session->setHistoryModified(true);
        QVERIFY(saveHistoryList(*session, list));
        QCOMPARE(readBytes(path), QByteArray("alpha\r\nbeta\r\n"));
        QCOMPARE(readBytes(path).size(), 13);
        QCOMPARE(session->historyModified(), false);
    }

    void emptyListIsEmptyFile()
    {
        writeBytes(path, "OLD\r\n");
        QListWidget list;
        QVERIFY(saveHistoryList(*session, list));
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
        fillList(list, {QStringLiteral("X")});
        loadHistoryList(*session, list);
        QCOMPARE(list.count(), 0);
    }

    void saveWritesEveryItemWithoutLimit()
    {
        session->setHistoryListMaxItems(2);
        QListWidget list;
        fillList(list, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        QVERIFY(saveHistoryList(*session, list));
        QCOMPARE(readBytes(path), QByteArray("1\r\n2\r\n3\r\n"));
    }

    void unchangedItemsKeepTheirBytes()
    {
        const QByteArray bytes("CAF\xc9\r\n\xff\xfe\x00X\r\nPLAIN\n", 18);
        writeBytes(path, bytes);
        QListWidget list;
        loadHistoryList(*session, list);
        QCOMPARE(list.count(), 3);
        list.insertItem(0, makeHistoryItem(QStringLiteral("NEW")));
        QVERIFY(saveHistoryList(*session, list));
        QCOMPARE(readBytes(path), QByteArray("NEW\r\nCAF\xc9\r\n\xff\xfe\x00X\r\nPLAIN\r\n", 24));
    }

    void folderInPlaceOfFile()
    {
        QDir().mkpath(path);
        FakeDesktop fake;
        QListWidget list;
        fillList(list, {QStringLiteral("A")});
        session->setHistoryModified(true);
        loadHistoryList(*session, list);
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("A")});
        QCOMPARE(session->historyModified(), false);
        session->setHistoryModified(true);
        QVERIFY(!saveHistoryList(*session, list));
        QCOMPARE(session->historyModified(), true); // still to be saved
        QCOMPARE(fake.messages.size(), 2);
        for (const MessageRequest &message : fake.messages)
            QVERIFY(message.text.contains(path));
        QVERIFY(QFileInfo(path).isDir());
    }

    // What stands in the file's place is reported like an unreadable file,
    // at once: a pipe without a writer would block the open for ever, and
    // /dev/zero never ends.
    void specialFileIsReportedWithoutBlocking_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << QStringLiteral("fifo");
        QTest::newRow("link to /dev/zero") << QStringLiteral("zero");
        QTest::newRow("link to a pipe") << QStringLiteral("link to fifo");
    }
    void specialFileIsReportedWithoutBlocking()
    {
        QFETCH(QString, kind);
        if (kind == u"fifo")
            MAKE_FIFO(path);
        if (kind == u"zero")
            MAKE_SYMLINK(QStringLiteral("/dev/zero"), path);
        if (kind == u"link to fifo") {
            const QString fifo = TestEnvironment::root() + QStringLiteral("/pipe");
            QFile::remove(fifo);
            MAKE_FIFO(fifo);
            MAKE_SYMLINK(fifo, path);
        }
        FakeDesktop fake;
        QListWidget list;
        fillList(list, {QStringLiteral("KEEP")});
        session->setHistoryModified(true);
        {
            Watchdog watchdog(10s, "loadHistoryList");
            loadHistoryList(*session, list);
        }
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("KEEP")});
        QCOMPARE(session->historyModified(), false);
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(path));
        QVERIFY2(fake.messages[0].text.contains(QStringLiteral("not a regular file")),
                 qPrintable(fake.messages[0].text));
    }

    // A file of 256 MB without a line end costs one line of 64 KiB, not the
    // file's size in memory.
    void hugeLineIsCutWithoutGrowingMemory()
    {
        QVERIFY(makeSparseFile(path, 256LL * 1024 * 1024));
        session->setHistoryListMaxItems(0); // no limit: every line would be loaded
        const double before = peakMemoryMiB();
        QListWidget list;
        loadHistoryList(*session, list);
        const double grown = peakMemoryMiB() - before;
        QCOMPARE(list.count(), 1);
#ifdef Q_OS_WIN
        // Windows' decoder drops a trailing NUL from the text; the line's
        // bytes are kept whole for the save all the same.
        QCOMPARE(list.item(0)->text().size(), HistoryLineLimit - 1);
#else
        QCOMPARE(list.item(0)->text().size(), HistoryLineLimit);
#endif
        QVERIFY2(grown < 32, qPrintable(QStringLiteral("peak memory grew by %1 MiB").arg(grown)));
    }

    // A list the user linked elsewhere stays linked: the save replaces the
    // link's target, in the target's folder.
    void saveFollowsALinkToItsTarget()
    {
        const QString outside = TestEnvironment::root() + QStringLiteral("/synced/list.dat");
        writeBytes(outside, "OLD\r\n");
        MAKE_SYMLINK(outside, path);
        QListWidget list;
        fillList(list, {QStringLiteral("NEW")});
        QVERIFY(saveHistoryList(*session, list));
        QCOMPARE(readBytes(outside), QByteArray("NEW\r\n"));
        QVERIFY(QFileInfo(path).isSymbolicLink());
        QFile::remove(outside);
    }

    void fullDiskLeavesOldFileWhole()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        const QString folder = TestEnvironment::root() + QStringLiteral("/tiny");
        QDir().mkpath(folder);
        TestMounts mounts;
        QVERIFY2(mounts.tmpfs(folder, QStringLiteral("64k")), qPrintable(mounts.error()));
        session->setHistoryFilePath(folder + QStringLiteral("/SearchHistory-1.dat"));
        writeBytes(session->historyFilePath(), "OLD\r\n");

        QListWidget list;
        fillList(list, QStringList(200, QString(1000, u'Z'))); // ~200 KB, more than fits
        session->setHistoryModified(true);
        FakeDesktop fake;
        QVERIFY(!saveHistoryList(*session, list));
        QCOMPARE(readBytes(session->historyFilePath()), QByteArray("OLD\r\n"));
        QCOMPARE(session->historyModified(), true);
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(session->historyFilePath()));
        QVERIFY2(fake.messages[0].text.contains(QStringLiteral("No space left on device")),
                 qPrintable(fake.messages[0].text));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList{QStringLiteral("SearchHistory-1.dat")});
    }
};

NIMBREL_TEST_MAIN(TestHistoryList)
#include "tst_historylist.moc"
