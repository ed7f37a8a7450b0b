#include "rules/NumericValue.h"
#include <QTest>

#include <limits>

using namespace Nimbrel;

class TestNumericValue : public QObject
{
    Q_OBJECT
private slots:
    void value_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        const double inf = std::numeric_limits<double>::infinity();
        const QString many9 = QString(100000, u'9');

        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("letters only") << QStringLiteral("abc") << 0.0;
        QTest::newRow("whole number") << QStringLiteral("20") << 20.0;
        QTest::newRow("leading zeros") << QStringLiteral("007") << 7.0;
        QTest::newRow("minus") << QStringLiteral("-20") << -20.0;
        QTest::newRow("plus") << QStringLiteral("+7") << 7.0;
        QTest::newRow("sign alone") << QStringLiteral("-") << 0.0;
        QTest::newRow("two signs") << QStringLiteral("--5") << 0.0;
        QTest::newRow("letters after number") << QStringLiteral("20abc") << 20.0;
        QTest::newRow("blank between digits") << QStringLiteral("2 5") << 25.0;
        QTest::newRow("tab, line feed, blanks anywhere") << QStringLiteral(" \t1\n2 . 5 ") << 12.5;
        QTest::newRow("blank after sign") << QStringLiteral("- 5") << -5.0;
        QTest::newRow("carriage return stops") << QStringLiteral("1\r2") << 1.0;
        QTest::newRow("decimal") << QStringLiteral("10.4") << 10.4;
        QTest::newRow("point first") << QStringLiteral(".5") << 0.5;
        QTest::newRow("minus point first") << QStringLiteral("-.5") << -0.5;
        QTest::newRow("point last") << QStringLiteral("5.") << 5.0;
        QTest::newRow("point alone") << QStringLiteral(".") << 0.0;
        QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2;
        QTest::newRow("comma stops") << QStringLiteral("1,5") << 1.0;
        QTest::newRow("currency sign first") << QStringLiteral("$5") << 0.0;
        QTest::newRow("non-ASCII digit") << QStringLiteral("\u0663") << 0.0;
        QTest::newRow("exponent") << QStringLiteral("1E1") << 10.0;
        QTest::newRow("small e, signs") << QStringLiteral("-2.5e-1") << -0.25;
        QTest::newRow("exponent with plus") << QStringLiteral("1e+2") << 100.0;
        QTest::newRow("exponent leading zeros") << QStringLiteral("1E007") << 1e7;
        QTest::newRow("blanks around exponent") << QStringLiteral("1 E 2") << 100.0;
        QTest::newRow("E without digits") << QStringLiteral("7E") << 7.0;
        QTest::newRow("E and sign without digits") << QStringLiteral("7E+") << 7.0;
        QTest::newRow("E then letter") << QStringLiteral("7Ex") << 7.0;
        QTest::newRow("D is no exponent") << QStringLiteral("1D2") << 1.0;
        QTest::newRow("exponent without mantissa") << QStringLiteral("E5") << 0.0;
        QTest::newRow("hex") << QStringLiteral("&H1F") << 31.0;
        QTest::newRow("hex lower case") << QStringLiteral("&hff") << 255.0;
        QTest::newRow("hex with blanks") << QStringLiteral("& H 1 0") << 16.0;
        QTest::newRow("hex stops at non-digit") << QStringLiteral("&H1G") << 1.0;
        QTest::newRow("hex without digits") << QStringLiteral("&H") << 0.0;
        QTest::newRow("hex 64 bits set")
            << QStringLiteral("&HFFFFFFFFFFFFFFFF") << 18446744073709551615.0;
        QTest::newRow("hex beyond 64 bits")
            << QStringLiteral("&H10000000000000000") << 18446744073709551616.0;
        QTest::newRow("hex beyond double") << QStringLiteral("&H") + QString(300, u'F') << inf;
        QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
        QTest::newRow("octal lower case") << QStringLiteral("&o17") << 15.0;
        QTest::newRow("octal stops at 8") << QStringLiteral("&O178") << 15.0;
        QTest::newRow("unknown prefix") << QStringLiteral("&X1") << 0.0;
        QTest::newRow("ampersand alone") << QStringLiteral("&") << 0.0;
        QTest::newRow("beyond double") << QStringLiteral("1E400") << inf;
        QTest::newRow("beyond double, negative") << QStringLiteral("-1E400") << -inf;
        QTest::newRow("below double") << QStringLiteral("1E-400") << 0.0;
        QTest::newRow("exponent beyond int") << QStringLiteral("1E99999999999999999999") << inf;
        QTest::newRow("zero with huge exponent") << QStringLiteral("0E99999999999") << 0.0;
        QTest::newRow("100,000 digits") << many9 << inf;
        QTest::newRow("100,000 digits scaled back")
            << QStringLiteral("1") + QString(100000, u'0') + QStringLiteral("E-100000") << 1.0;
        QTest::newRow("100,000 letters") << QString(100000, u'x') << 0.0;
    }
    void value()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(numericValue(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestNumericValue)
#include "tst_numericvalue.moc"
