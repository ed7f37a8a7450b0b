#include "windows/TwipsLayout.h"

#include <QTest>

using namespace Nimbrel;

class TestTwipsLayout : public QObject
{
    Q_OBJECT
private slots:
    void fitScale_data()
    {
        QTest::addColumn<QSize>("needed");
        QTest::addColumn<QSize>("designed");
        QTest::addColumn<double>("scale");
        QTest::newRow("fits") << QSize(90, 10) << QSize(95, 13) << 1.0;
        QTest::newRow("too wide") << QSize(106, 10) << QSize(95, 13) << 106.0 / 95.0;
        QTest::newRow("too high") << QSize(10, 26) << QSize(95, 13) << 2.0;
        QTest::newRow("no caption") << QSize() << QSize(95, 13) << 1.0;
    }
    void fitScale()
    {
        QFETCH(QSize, needed);
        QFETCH(QSize, designed);
        QFETCH(double, scale);
        QCOMPARE(TwipsLayout::fitScale({{needed, designed}, {QSize(1, 1), QSize(50, 50)}}), scale);
    }

    void twipsAtScaleOneAreTheDesign()
    {
        QCOMPARE(TwipsLayout::toPixels({1920, 210, 1935, 285}, 1.0), QRect(128, 14, 129, 19));
        QCOMPARE(TwipsLayout::toPixels({240, 600, 1455, 375}, 2.0), QRect(32, 80, 194, 50));
    }
};

QTEST_APPLESS_MAIN(TestTwipsLayout)
#include "tst_twipslayout.moc"
