#include "rules/Module1.h"
#include "windows/HistoryList.h"
#include "support/FakeDesktop.h"
#include "support/TestMounts.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QListWidget>

using namespace Nimbrel;

using Module1::State;

namespace {

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

private slots:
    void init()
    {
        TestEnvironment::reset();
        QDir().mkpath(TestEnvironment::dataFolder());
        path = TestEnvironment::dataFolder() + QStringLiteral("/SearchHistory-1.dat");
        State.HistoryFilePath = path;
        State.HistoryListMaxItems = 10;
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
        State.HistoryListMaxItems = qint16(maxItems);
        State.HistoryChanged = true;
        QListWidget list;
        LoadHistoryList(list);
        QCOMPARE(list.count(), loaded);
        QCOMPARE(list.item(0)->text(), QStringLiteral("L1"));
        QCOMPARE(State.HistoryChanged, false);
        QCOMPARE(readBytes(path), numberedLines(lines)); // the file is not shortened
    }

    void missingFileKeepsListAndClearsFlag()
    {
        QListWidget list;
        fillList(list, {QStringLiteral("KEEP")});
        State.HistoryChanged = true;
        LoadHistoryList(list);
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("KEEP")});
        QCOMPARE(State.HistoryChanged, false);
    }

    void saveWritesCrLfAfterEveryItem()
    {
        QListWidget list;
        fillList(list, {QStringLiteral("alpha"), QStringLiteral("beta")});
        State.HistoryChanged = true;
        QVERIFY(SaveHistoryList(list));
        QCOMPARE(readBytes(path), QByteArray("alpha\r\nbeta\r\n"));
        QCOMPARE(readBytes(path).size(), 13);
        QCOMPARE(State.HistoryChanged, false);
    }

    void emptyListIsEmptyFile()
    {
        writeBytes(path, "OLD\r\n");
        QListWidget list;
        QVERIFY(SaveHistoryList(list));
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
        fillList(list, {QStringLiteral("X")});
        LoadHistoryList(list);
        QCOMPARE(list.count(), 0);
    }

    void saveWritesEveryItemWithoutLimit()
    {
        State.HistoryListMaxItems = 2;
        QListWidget list;
        fillList(list, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        QVERIFY(SaveHistoryList(list));
        QCOMPARE(readBytes(path), QByteArray("1\r\n2\r\n3\r\n"));
    }

    void unchangedItemsKeepTheirBytes()
    {
        const QByteArray bytes("CAF\xc9\r\n\xff\xfe\x00X\r\nPLAIN\n", 18);
        writeBytes(path, bytes);
        QListWidget list;
        LoadHistoryList(list);
        QCOMPARE(list.count(), 3);
        list.insertItem(0, makeHistoryItem(QStringLiteral("NEW")));
        QVERIFY(SaveHistoryList(list));
        QCOMPARE(readBytes(path), QByteArray("NEW\r\nCAF\xc9\r\n\xff\xfe\x00X\r\nPLAIN\r\n", 24));
    }

    void folderInPlaceOfFile()
    {
        QDir().mkpath(path);
        FakeDesktop fake;
        QListWidget list;
        fillList(list, {QStringLiteral("A")});
        State.HistoryChanged = true;
        LoadHistoryList(list);
        QCOMPARE(listTexts(list), QStringList{QStringLiteral("A")});
        QCOMPARE(State.HistoryChanged, false);
        State.HistoryChanged = true;
        QVERIFY(!SaveHistoryList(list));
        QCOMPARE(State.HistoryChanged, true); // still to be saved
        QCOMPARE(fake.messages.size(), 2);
        for (const MessageRequest &message : fake.messages)
            QVERIFY(message.text.contains(path));
        QVERIFY(QFileInfo(path).isDir());
    }

    void fullDiskLeavesOldFileWhole()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        const QString folder = TestEnvironment::root() + QStringLiteral("/tiny");
        QDir().mkpath(folder);
        TestMounts mounts;
        QVERIFY2(mounts.tmpfs(folder, QStringLiteral("64k")), qPrintable(mounts.error()));
        State.HistoryFilePath = folder + QStringLiteral("/SearchHistory-1.dat");
        writeBytes(State.HistoryFilePath, "OLD\r\n");

        QListWidget list;
        fillList(list, QStringList(200, QString(1000, u'Z'))); // ~200 KB, more than fits
        State.HistoryChanged = true;
        FakeDesktop fake;
        QVERIFY(!SaveHistoryList(list));
        QCOMPARE(readBytes(State.HistoryFilePath), QByteArray("OLD\r\n"));
        QCOMPARE(State.HistoryChanged, true);
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(State.HistoryFilePath));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("SearchHistory-1.dat")});
    }
};

NIMBREL_TEST_MAIN(TestHistoryList)
#include "tst_historylist.moc"
