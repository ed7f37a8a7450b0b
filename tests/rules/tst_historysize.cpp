#include "rules/HistorySize.h"
#include "rules/NumericValue.h"

#include <QTest>

using namespace Nimbrel;

// The history size as typed into the Info window: whether Apply may take it,
// and the size it applies as.
class TestHistorySize : public QObject
{
    Q_OBJECT
private slots:
    void historySize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("applied"); // 0: not acceptable
        QTest::newRow("lowest") << QStringLiteral("10") << 10;
        QTest::newRow("highest, same as before") << QStringLiteral("50") << 50;
        QTest::newRow("just below") << QStringLiteral("9") << 0;
        QTest::newRow("just above") << QStringLiteral("51") << 0;
        QTest::newRow("fraction below") << QStringLiteral("9.9") << 0;
        QTest::newRow("fraction above") << QStringLiteral("50.2") << 0;
        QTest::newRow("rounds down") << QStringLiteral("10.4") << 10;
        QTest::newRow("half to even, down") << QStringLiteral("10.5") << 10;
        QTest::newRow("half to even, up") << QStringLiteral("11.5") << 12;
        QTest::newRow("half to even at the top") << QStringLiteral("49.5") << 50;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("letters") << QStringLiteral("abc") << 0;
        QTest::newRow("negative") << QStringLiteral("-20") << 0;
        QTest::newRow("trailing letters") << QStringLiteral("20abc") << 20;
        QTest::newRow("blank between digits") << QStringLiteral("2 5") << 25;
        QTest::newRow("exponent") << QStringLiteral("1E1") << 10;
        QTest::newRow("hex") << QStringLiteral("&H14") << 20;
        QTest::newRow("beyond double") << QStringLiteral("1E400") << 0;
        QTest::newRow("hex beyond 16 bits") << QStringLiteral("&HFFFFFFFFFFFFFFFF") << 0;
        QTest::newRow("100,000 characters, digits at both ends")
            << QStringLiteral("3") + QString(99998, u' ') + QStringLiteral("0") << 30;
    }
    void historySize()
    {
        QFETCH(QString, text);
        QFETCH(int, applied);
        const double value = numericValue(text);
        QCOMPARE(HistorySize::acceptable(value), applied != 0);
        const std::optional<qint16> size = HistorySize::applied(value);
        QCOMPARE(size.has_value(), applied != 0);
        if (size)
            QCOMPARE(int(*size), applied);
    }
};

QTEST_APPLESS_MAIN(TestHistorySize)
#include "tst_historysize.moc"
