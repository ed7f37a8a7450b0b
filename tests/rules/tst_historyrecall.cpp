#include "rules/HistoryRecall.h"

#include "support/SettingsFixture.h"

#include <QTest>

using namespace Nimbrel;
using HistoryRecall::Direction;
using HistoryRecall::OwnText;
using SettingsFixture::texts;

class TestHistoryRecall : public QObject
{
    Q_OBJECT

private slots:
    // A walk of Up (u) and Down (d) presses, and the position after each.
    void walk_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<int>>("positions");
        const QStringList abc = texts({"A", "B", "C"});
        QTest::newRow("empty list: Up stays on the own text")
            << QStringList() << QStringLiteral("uud") << QList<int>{OwnText, OwnText, OwnText};
        QTest::newRow("one item: Up recalls it, Up again stays, Down returns")
            << texts({"A"}) << QStringLiteral("uudd") << QList<int>{0, 0, OwnText, OwnText};
        QTest::newRow("Down before any Up does nothing")
            << abc << QStringLiteral("du") << QList<int>{OwnText, 0};
        QTest::newRow("Up walks to the oldest and stops there")
            << abc << QStringLiteral("uuuu") << QList<int>{0, 1, 2, 2};
        QTest::newRow("Down walks back past the newest to the own text")
            << abc << QStringLiteral("uuuddd") << QList<int>{0, 1, 2, 1, 0, OwnText};
        QTest::newRow("dash items are passed over both ways")
            << texts({"-X", "A", "-Y", "-Z", "B", "-W"}) << QStringLiteral("uuudd")
            << QList<int>{1, 4, 4, 1, OwnText};
        QTest::newRow("only dash items: nothing to recall")
            << texts({"-X", "-Y"}) << QStringLiteral("ud") << QList<int>{OwnText, OwnText};
        QTest::newRow("empty and blank items can be searched")
            << texts({"", "  "}) << QStringLiteral("uud") << QList<int>{0, 1, 0};
    }
    void walk()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, keys);
        QFETCH(QList<int>, positions);
        int position = OwnText;
        QList<int> seen;
        for (const QChar key : keys) {
            position = HistoryRecall::step(items, position,
                                           key == u'u' ? Direction::Older : Direction::Newer);
            seen << position;
        }
        QCOMPARE(seen, positions);
    }

    // A position the list no longer has is the own text, never an index past
    // the end.
    void positionOutsideTheList_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("older");
        QTest::addColumn<int>("newer");
        QTest::newRow("past the end") << 7 << 0 << OwnText;
        QTest::newRow("just past the end") << 2 << 0 << OwnText;
        QTest::newRow("below the own text") << -5 << 0 << OwnText;
    }
    void positionOutsideTheList()
    {
        QFETCH(int, position);
        QFETCH(int, older);
        QFETCH(int, newer);
        const QStringList items = texts({"A", "B"});
        QCOMPARE(HistoryRecall::step(items, position, Direction::Older), older);
        QCOMPARE(HistoryRecall::step(items, position, Direction::Newer), newer);
    }
};

QTEST_APPLESS_MAIN(TestHistoryRecall)
#include "tst_historyrecall.moc"
