#include "rules/EarlierSearchMatch.h"
#include "rules/HistoryFile.h"
#include "rules/ListFileSnapshot.h"

#include "support/OddFiles.h"
#include "support/SettingsFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Nimbrel;
using EarlierSearchMatch::Offer;
using SettingsFixture::texts;

namespace
{

// An offer written "item|term|list", as the table shows it.
QStringList shown(const QList<Offer> &offers)
{
    QStringList rows;
    for (const Offer &offer : offers)
        rows << offer.item + u'|' + offer.term + u'|' + QString::number(offer.list);
    return rows;
}

} // namespace

class TestEarlierSearchMatch : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestEnvironment::reset(); }

    // List 2 is the selected one, so it comes first; lists 1 and 3 follow.
    void offers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("list2");
        QTest::addColumn<QStringList>("list1");
        QTest::addColumn<QStringList>("list3");
        QTest::addColumn<QStringList>("expected");
        QStringList ten;
        for (int i = 0; i < 10; ++i)
            ten << QStringLiteral("AB%1").arg(i);

        QTest::newRow("empty text offers nothing")
            << QString() << texts({"AB", ""}) << QStringList() << QStringList() << QStringList();
        QTest::newRow("no item holds the text") << QStringLiteral("Q") << texts({"AB"})
                                                << texts({"CD"}) << QStringList() << QStringList();
        QTest::newRow("starting items of every list before items holding it further on")
            << QStringLiteral("AB") << texts({"XAB", "AB2"}) << texts({"YAB", "AB1"})
            << texts({"AB3"})
            << texts({"AB2|AB2|2", "AB1|AB1|1", "AB3|AB3|3", "XAB|XAB|2", "YAB|YAB|1"});
        QTest::newRow("each list newest first, selected list first")
            << QStringLiteral("A") << texts({"A2", "A1"}) << texts({"A9", "A8"}) << QStringList()
            << texts({"A2|A2|2", "A1|A1|2", "A9|A9|1", "A8|A8|1"});
        QTest::newRow("dash items left out")
            << QStringLiteral("AB") << texts({"-AB", "AB-C"}) << texts({"-XAB"}) << QStringList()
            << texts({"AB-C|AB-C|2"});
        QTest::newRow("small letters match; the term is what typing gives")
            << QStringLiteral("AB") << texts({"x.ab c"}) << QStringList() << QStringList()
            << texts({"x.ab c|XAB C|2"});
        QTest::newRow("a term in several lists comes once, from the first")
            << QStringLiteral("AB") << texts({"ABC"}) << texts({"ABC", "abc"}) << texts({"ABC"})
            << texts({"ABC|ABC|2"});
        QTest::newRow("a blank-led item is the same term as its trimmed twin")
            << QStringLiteral("AB") << texts({"  AB"}) << texts({"AB"}) << QStringList()
            << texts({"AB|AB|1"});
        QTest::newRow("small letters outside ASCII and the basic plane match")
            << QStringLiteral("\u00c4\U00010400") << texts({"x\u00e4\U00010428"}) << QStringList()
            << QStringList() << QStringList({QStringLiteral("x\u00e4\U00010428|X|2")});
        QTest::newRow("the text across the end of one item and the start of the next is no match")
            << QStringLiteral("AB") << texts({"XA", "BY"}) << QStringList() << QStringList()
            << QStringList();
        QTest::newRow("an item starting with it right after a match across items")
            << QStringLiteral("AA") << texts({"XA", "AAB"}) << QStringList() << QStringList()
            << texts({"AAB|AAB|2"});
        QStringList holdingTen;
        QStringList startingFirst = texts({"AB|AB|1"});
        for (int i = 0; i < 10; ++i)
            holdingTen << QStringLiteral("XAB%1").arg(i);
        for (int i = 0; i < 7; ++i)
            startingFirst << QStringLiteral("XAB%1|XAB%1|2").arg(i);
        QTest::newRow("a starting item after more than eight holding it further on")
            << QStringLiteral("AB") << holdingTen << texts({"AB"}) << QStringList()
            << startingFirst;
        QStringList firstEight;
        for (int i = 0; i < 8; ++i)
            firstEight << QStringLiteral("AB%1|AB%1|2").arg(i);
        QTest::newRow("at most eight") << QStringLiteral("AB") << ten << ten << ten << firstEight;
    }
    void offers()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, list2);
        QFETCH(QStringList, list1);
        QFETCH(QStringList, list3);
        QFETCH(QStringList, expected);
        const QList<EarlierSearchMatch::SourceList> lists = {{2, list2}, {1, list1}, {3, list3}};
        QCOMPARE(shown(EarlierSearchMatch::offers(text, lists)), expected);
    }

    // The other lists come from their files with the bounds of loading a
    // list, and are read again once a file changes.
    void snapshotFollowsTheFile()
    {
        const QString path = listFile(2);
        ListFileSnapshot snapshot;
        QCOMPARE(snapshot.read(path, 10).items(), QStringList());
        writeBytes(path, "A\r\nB\nC\rD\r\n");
        QCOMPARE(snapshot.read(path, 10).items(), texts({"A", "B", "C", "D"}));
        QCOMPARE(snapshot.read(path, 3).items(), texts({"A", "B", "C"}));
        writeBytes(path, "E\r\n");
        QCOMPARE(snapshot.read(path, 3).items(), texts({"E"}));
        writeBytes(path, QByteArray(HistoryLineLimit + 10, 'X') + "\r\nF\r\n");
        QCOMPARE(snapshot.read(path, 3).items(), QStringList(QString(HistoryLineLimit, u'X')));
        QVERIFY(QFile::remove(path));
        QCOMPARE(snapshot.read(path, 3).items(), QStringList());
    }

    void unreadableFilesGiveNothing()
    {
        const QString path = listFile(3);
        QVERIFY(QDir().mkpath(TestEnvironment::dataFolder()));
        MAKE_FIFO(path);
        ListFileSnapshot snapshot;
        {
            const Watchdog watchdog(std::chrono::seconds(10), "reading a pipe");
            QCOMPARE(snapshot.read(path, 10).items(), QStringList());
        }
        QVERIFY(QFile::remove(path));
        writeBytes(path, "SECRET\r\n");
        UnreadableFile unreadable(path);
        if (!unreadable.ok())
            QSKIP("the file cannot be made unreadable here");
        QCOMPARE(snapshot.read(path, 10).items(), QStringList());
    }
};

NIMBREL_CORE_TEST_MAIN(TestEarlierSearchMatch)
#include "tst_earliersearchmatch.moc"
