#include "rules/AppVersion.h"

#include <QTest>

using namespace Nimbrel;

class TestAppVersion : public QObject
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
};

QTEST_APPLESS_MAIN(TestAppVersion)
#include "tst_appversion.moc"
