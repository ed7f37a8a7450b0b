#include "rules/AppVersion.h"
#include "rules/Module1.h"

#include <QTest>

using namespace Nimbrel;

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
        QCOMPARE(Nimbrel::versionText(qint16(major), qint16(minor), qint16(revision)), expected);
    }

    void buildVersionComesFromProject()
    {
        QCOMPARE(executableVersionText(), QStringLiteral("1.25"));
    }

    void optionFlags()
    {
        using namespace Module1;
        QVERIFY(isOn(OptionFlag::On));
        QVERIFY(isOn(OptionFlag::SwitchedOn));
        QVERIFY(!isOn(OptionFlag::Off));
        QVERIFY(!isOn(OptionFlag::SwitchedOff));
        QVERIFY(!isOn(OptionFlag(-1)));
        QCOMPARE(storedOptionValue(OptionFlag::SwitchedOn), qint16(1));
        QCOMPARE(storedOptionValue(OptionFlag::SwitchedOff), qint16(0));
        QCOMPARE(switchedFlag(true), OptionFlag::SwitchedOn);
        QCOMPARE(switchedFlag(false), OptionFlag::SwitchedOff);
        QVERIFY(isSwitched(OptionFlag::SwitchedOn) && isSwitched(OptionFlag::SwitchedOff));
        QVERIFY(!isSwitched(OptionFlag::On) && !isSwitched(OptionFlag::Off));
    }

    // A hand-edited store may hold any number; only 1 is on, and nothing but
    // a switched flag is ever written back, so the odd number stays as it is.
    void storedFlags_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<Module1::OptionFlag>("flag");
        QTest::newRow("0 is off") << 0 << Module1::OptionFlag::Off;
        QTest::newRow("1 is on") << 1 << Module1::OptionFlag::On;
        QTest::newRow("11 is not a switched flag") << 11 << Module1::OptionFlag::Off;
        QTest::newRow("-1 is off") << -1 << Module1::OptionFlag::Off;
        QTest::newRow("5 is off") << 5 << Module1::OptionFlag::Off;
    }
    void storedFlags()
    {
        QFETCH(int, stored);
        QFETCH(Module1::OptionFlag, flag);
        QCOMPARE(Module1::optionFlagFromStored(qint16(stored)), flag);
        QVERIFY(!Module1::isSwitched(Module1::optionFlagFromStored(qint16(stored))));
    }
};

QTEST_APPLESS_MAIN(TestAppState)
#include "tst_appstate.moc"
