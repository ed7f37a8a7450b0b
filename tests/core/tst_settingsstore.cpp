#include "core/SettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/SpecialFiles.h"
#include "support/TestMounts.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QScopeGuard>

using namespace SettingsStore;
using namespace std::chrono_literals;

namespace
{

// A settings file with a value nested `depth` lists deep under a key the
// launcher never reads, written as QSettings writes such a value. Qt's parser
// reads it by recursion, a level at a time.
QByteArray nestedSettings(int depth)
{
    return "[Settings]\nWikiPath=https://w.example/wiki/\nUnused=@Variant(" +
           QByteArray("\\0\\0\\0\\t\\0\\0\\0\\x1").repeated(depth) + "\\0\\0\\0\\t\\0\\0\\0\\0)\n";
}

// The same nesting in as few bytes as the parser takes: eight a level.
QByteArray tightlyNestedSettings(qsizetype size)
{
    const QByteArray head = "[Settings]\nWikiPath=https://w.example/wiki/\nUnused=@Variant(";
    const QByteArray tail = QByteArray("\0\0\0\t\0\0\0\0)\n", 10);
    const QByteArray level("\0\0\0\t\0\0\0\x01", 8);
    return head + level.repeated((size - head.size() - tail.size()) / level.size()) + tail;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnvironment::reset(); }

    void absentKeysReadAsDefaultAndCreateNothing()
    {
        QCOMPARE(ReadSetting(Key::WikiPath), QString());
        QCOMPARE(ReadSetting(Key::Homepage, QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(ReadNumberSetting(Key::HistoryListMaxItems, 10), qint16(10));
        QVERIFY(!QFile::exists(TestEnvironment::settingsFile()));
    }

    // The store is the INI file under the XDG config home, section [Settings].
    void writtenTextReadsBackInSectionSettings()
    {
        QVERIFY(WriteSetting(Key::WikiPath, QStringLiteral("https://w.example/a b/;x=1,2")));
        QCOMPARE(ReadSetting(Key::WikiPath), QStringLiteral("https://w.example/a b/;x=1,2"));
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
        QCOMPARE(ReadSetting(Key::WikiPath), text);
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
        QCOMPARE(int(ReadNumberSetting(Key::HistoryListMaxItems, 10)), expected);
    }

    void garbageLinesDoNotHideGoodKeys()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   "\x01\x02 garbage\n[Settings]\n=\nnonsense line\nHistoryListMaxItems=20\n"
                   "[[[\n");
        QCOMPARE(ReadNumberSetting(Key::HistoryListMaxItems, 10), qint16(20));
    }

    // A crafted file crashed every start inside Qt's parser. It is not read:
    // every key reads as its default, and a write is refused and reported,
    // leaving the file as it was.
    void settingsFileThatCannotBeReadSafely_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: a pipe
        QTest::newRow("value nested 200,000 lists deep (3.4 MB)") << nestedSettings(200000);
        const QByteArray ordinary = "[Settings]\nWikiPath=https://w.example/wiki/\n;";
        QTest::newRow("ordinary, but one byte over 16 KiB")
            << ordinary + QByteArray(16 * 1024 + 1 - ordinary.size(), 'x');
        QTest::newRow("a pipe") << QByteArray();
    }
    void settingsFileThatCannotBeReadSafely()
    {
        QFETCH(QByteArray, content);
        const QString path = TestEnvironment::settingsFile();
        const auto removeIt = qScopeGuard([&] { QFile::remove(path); });
        QDir().mkpath(QFileInfo(path).path());
        if (content.isNull())
            QVERIFY(makeFifo(path));
        else
            writeBytes(path, content);
        FakeDesktop fake;
        {
            Watchdog watchdog(10s, "the settings store");
            QCOMPARE(ReadSetting(Key::WikiPath), QString());
            QCOMPARE(ReadNumberSetting(Key::HistoryListMaxItems, 10), qint16(10));
            QVERIFY(!WriteSetting(Key::WikiPath, QStringLiteral("https://other.example/")));
        }
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(path));
        QVERIFY(fake.messages[0].text.contains(QStringLiteral("not read")));
        if (content.isNull())
            QVERIFY(!QFileInfo(path).isFile() && QFileInfo::exists(path));
        else
            QCOMPARE(readBytes(path), content);
    }

    // The bound is low enough that the deepest nesting a file within it can
    // hold is parsed without harm.
    void settingsFileAtTheBoundIsRead()
    {
        const QString path = TestEnvironment::settingsFile();
        const auto removeIt = qScopeGuard([&] { QFile::remove(path); });
        const QByteArray content = tightlyNestedSettings(16 * 1024);
        QVERIFY(content.size() <= 16 * 1024 && content.size() > 16 * 1024 - 8);
        writeBytes(path, content);
        QCOMPARE(ReadSetting(Key::WikiPath), QStringLiteral("https://w.example/wiki/"));
    }

    void failedWriteIsReportedWithPath()
    {
        // A folder where the settings file should be cannot be replaced by a file.
        QDir().mkpath(TestEnvironment::settingsFile());
        FakeDesktop fake;
        QVERIFY(!WriteSetting(Key::WikiPath, QStringLiteral("x")));
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(TestEnvironment::settingsFile()));
        QCOMPARE(fake.messages[0].icon, QMessageBox::Warning);
        QDir(TestEnvironment::settingsFile()).removeRecursively();
    }

    void fullDiskIsReportedNotSwallowed()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        const QString folder = QFileInfo(TestEnvironment::settingsFile()).path();
        QDir().mkpath(folder);
        TestMounts mounts;
        QVERIFY2(mounts.tmpfs(folder, QStringLiteral("12k")), qPrintable(mounts.error()));
        FakeDesktop fake;
        QVERIFY(WriteSetting(Key::Homepage, QStringLiteral("h")));
        QVERIFY(!WriteSetting(Key::WikiPath, QString(8000, u'w')));
        QCOMPARE(fake.messages.size(), 1);
        QVERIFY(fake.messages[0].text.contains(TestEnvironment::settingsFile()));
    }
};

NIMBREL_TEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
