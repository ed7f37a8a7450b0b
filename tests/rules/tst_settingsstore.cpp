#include "rules/SettingsStore.h"
#include "support/TestMounts.h"
#include "support/TestEnvironment.h"

#include <QDir>

using namespace Nimbrel;
using namespace Nimbrel::SettingsStore;

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnvironment::reset(); }

    void absentKeysReadAsDefaultAndCreateNothing()
    {
        QCOMPARE(ReadSetting(Settings::WikiPath.name), QString());
        QCOMPARE(ReadSetting(Settings::Homepage.name, QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(ReadNumberSetting(Settings::HistoryListMaxItems.name, 10), qint16(10));
        QVERIFY(!QFile::exists(TestEnvironment::settingsFile()));
    }

    // The store is the INI file under the XDG config home, section [Settings].
    void writtenTextReadsBackInSectionSettings()
    {
        QVERIFY(!WriteSetting(Settings::WikiPath.name, QStringLiteral("https://w.example/a b/;x=1,2")));
        QCOMPARE(ReadSetting(Settings::WikiPath.name), QStringLiteral("https://w.example/a b/;x=1,2"));
        QVERIFY(readBytes(TestEnvironment::settingsFile()).startsWith("[Settings]\n"));
    }

    void handEditedValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("unquoted comma") << QByteArray("WikiPath=https://a.example/x, y/")
                                        << QStringLiteral("https://a.example/x, y/");
        QTest::newRow("comma without blank") << QByteArray("WikiPath=a,b") << QStringLiteral("a,b");
        QTest::newRow("plain") << QByteArray("WikiPath=https://a.example/")
                               << QStringLiteral("https://a.example/");
    }
    void handEditedValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        writeBytes(TestEnvironment::settingsFile(), "[Settings]\n" + line + "\n");
        QCOMPARE(ReadSetting(Settings::WikiPath.name), text);
    }

    void badNumbersReadAsDefault_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << QByteArray("25") << 25;
        QTest::newRow("negative") << QByteArray("-5") << -5;
        QTest::newRow("letters") << QByteArray("ten") << 10;
        QTest::newRow("too big") << QByteArray("40000") << 10;
        QTest::newRow("fraction") << QByteArray("12.5") << 10;
        QTest::newRow("empty") << QByteArray("") << 10;
        QTest::newRow("list") << QByteArray("1,2") << 10;
    }
    void badNumbersReadAsDefault()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        writeBytes(TestEnvironment::settingsFile(),
                   "[Settings]\nHistoryListMaxItems=" + stored + "\n");
        QCOMPARE(int(ReadNumberSetting(Settings::HistoryListMaxItems.name, 10)), expected);
    }

    void garbageLinesDoNotHideGoodKeys()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   "\x01\x02 garbage\n[Settings]\n=\nnonsense line\nHistoryListMaxItems=20\n"
                   "[[[\n");
        QCOMPARE(ReadNumberSetting(Settings::HistoryListMaxItems.name, 10), qint16(20));
    }

    // Keys and values that someone added by hand, which the store escapes or
    // quotes when it writes the file back, must not make a good write look
    // like a failed one.
    void writeSucceedsBesideHandAddedEntries_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("blank in the key") << QByteArray("[Settings]\nMy Key=1\n");
        QTest::newRow("punctuation in the key") << QByteArray("[Settings]\nmy+key(x)=1\n");
        QTest::newRow("non-ASCII key") << QByteArray("[Settings]\nGr\xc3\xb6\xc3\x9f"
                                                     "e=1\n");
        QTest::newRow("list value") << QByteArray("[Settings]\nList=a, b\n");
        QTest::newRow("value with a line feed") << QByteArray("[Settings]\nNote=\"a\\nb\"\n");
        QTest::newRow("another section") << QByteArray("[Other]\nx y=1\n[Settings]\nz=2\n");
    }
    void writeSucceedsBesideHandAddedEntries()
    {
        QFETCH(QByteArray, lines);
        writeBytes(TestEnvironment::settingsFile(), lines);
        const MaybeFailure failure =
            WriteSetting(Settings::WikiPath.name, QStringLiteral("https://w.example/"));
        QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
        QCOMPARE(ReadSetting(Settings::WikiPath.name), QStringLiteral("https://w.example/"));
    }

    void failedWriteIsReportedWithPath()
    {
        // A folder where the settings file should be cannot be replaced by a file.
        QDir().mkpath(TestEnvironment::settingsFile());
        const MaybeFailure failure = WriteSetting(Settings::WikiPath.name, QStringLiteral("x"));
        QVERIFY(failure);
        QCOMPARE(failure->path, TestEnvironment::settingsFile());
        QVERIFY(!failure->reason.isEmpty());
        QDir(TestEnvironment::settingsFile()).removeRecursively();
    }

    void fullDiskIsReportedNotSwallowed()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        const QString folder = QFileInfo(TestEnvironment::settingsFile()).path();
        QDir().mkpath(folder);
        TestMounts mounts;
        QVERIFY2(mounts.tmpfs(folder, QStringLiteral("12k")), qPrintable(mounts.error()));
        QVERIFY(!WriteSetting(Settings::Homepage.name, QStringLiteral("h")));
        const MaybeFailure failure = WriteSetting(Settings::WikiPath.name, QString(8000, u'w'));
        QVERIFY(failure);
        QCOMPARE(failure->path, TestEnvironment::settingsFile());
    }
};

NIMBREL_CORE_TEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
