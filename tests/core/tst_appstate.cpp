#include "core/AppVersion.h"
#include "core/Module1.h"
#include "core/TwipsLayout.h"
#include "support/TestEnvironment.h"

class TestAppState : public QObject
{
    Q_OBJECT
private slots:
    void versionText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("expected");
        QTest::newRow("this release") << 1 << 2 << 5 << QStringLiteral("1.25");
        QTest::newRow("one zero dropped") << 1 << 2 << 0 << QStringLiteral("1.2");
        QTest::newRow("only one zero dropped") << 1 << 0 << 0 << QStringLiteral("1.0");
        QTest::newRow("revision 10") << 1 << 2 << 10 << QStringLiteral("1.21");
        QTest::newRow("revision 1 alike") << 1 << 2 << 1 << QStringLiteral("1.21");
        QTest::newRow("two-digit minor") << 2 << 10 << 0 << QStringLiteral("2.10");
    }
    void versionText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, expected);
        QCOMPARE(::versionText(qint16(major), qint16(minor), qint16(revision)), expected);
    }

    void buildVersionComesFromProject() { QCOMPARE(executableVersionText(), QStringLiteral("1.25")); }

    void optionFlags()
    {
        using namespace Module1;
        QVERIFY(isOn(OptionFlag::On));
        QVERIFY(isOn(OptionFlag::SwitchedOn));
        QVERIFY(!isOn(OptionFlag::Off));
        QVERIFY(!isOn(OptionFlag::SwitchedOff));
        QVERIFY(!isOn(-1));
        QCOMPARE(storedOptionValue(OptionFlag::SwitchedOn), qint16(1));
        QCOMPARE(storedOptionValue(OptionFlag::SwitchedOff), qint16(0));
    }

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

NIMBREL_TEST_MAIN(TestAppState)
#include "tst_appstate.moc"
