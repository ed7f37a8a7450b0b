#include "rules/SettingsStore.h"
#include "support/OddFiles.h"
#include "support/TestEnvironment.h"
#include "support/TestMounts.h"

#include <QDir>
#include <QScopeGuard>

using namespace Nimbrel;
using namespace Nimbrel::SettingsStore;
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
        QCOMPARE(readSetting(Settings::WikiPath.name), QString());
        QCOMPARE(readSetting(Settings::Homepage.name, QStringLiteral("x")), QStringLiteral("x"));
        QCOMPARE(readNumberSetting(Settings::HistoryListMaxItems.name, 10), qint16(10));
        QVERIFY(!QFile::exists(TestEnvironment::settingsFile()));
    }

    // The store is the INI file under the XDG config home, section [Settings].
    void writtenTextReadsBackInSectionSettings()
    {
        QVERIFY(
            !writeSetting(Settings::WikiPath.name, QStringLiteral("https://w.example/a b/;x=1,2")));
        QCOMPARE(readSetting(Settings::WikiPath.name),
                 QStringLiteral("https://w.example/a b/;x=1,2"));
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
        // The form the documentation shows for a value with a semicolon.
        QTest::newRow("quoted semicolon")
            << QByteArray("WikiPath=\"https://w.example/index.php?a=1;title=\"")
            << QStringLiteral("https://w.example/index.php?a=1;title=");
    }
    void handEditedValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        writeBytes(TestEnvironment::settingsFile(), "[Settings]\n" + line + "\n");
        QCOMPARE(readSetting(Settings::WikiPath.name), text);
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
        QCOMPARE(int(readNumberSetting(Settings::HistoryListMaxItems.name, 10)), expected);
    }

    void garbageLinesDoNotHideGoodKeys()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   "\x01\x02 garbage\n[Settings]\n=\nnonsense line\nHistoryListMaxItems=20\n"
                   "[[[\n");
        QCOMPARE(readNumberSetting(Settings::HistoryListMaxItems.name, 10), qint16(20));
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
        MaybeFailure failure;
        {
            Watchdog watchdog(10s, "the settings store");
            QCOMPARE(readSetting(Settings::WikiPath), QString());
            QCOMPARE(readNumberSetting(Settings::HistoryListMaxItems), qint16(10));
            failure =
                writeSetting(Settings::WikiPath.name, QStringLiteral("https://other.example/"));
        }
        QVERIFY(failure);
        QCOMPARE(failure->path, path);
        QVERIFY(failure->reason.contains(QStringLiteral("not read")));
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
        QCOMPARE(readSetting(Settings::WikiPath.name), QStringLiteral("https://w.example/wiki/"));
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
            writeSetting(Settings::WikiPath.name, QStringLiteral("https://w.example/"));
        QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
        QCOMPARE(readSetting(Settings::WikiPath.name), QStringLiteral("https://w.example/"));
    }

    // A write changes the line of its key and nothing else: what the launcher
    // did not change keeps its bytes, whatever Qt would make of them.
    void writeKeepsEveryOtherByte_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("Latin-1 value")
            << QByteArray(
                   "[Settings]\nWikiPath=https://w.example/caf\xe9/\nCloseWhenBrowserOpen=0\n")
            << QByteArray(
                   "[Settings]\nWikiPath=https://w.example/caf\xe9/\nCloseWhenBrowserOpen=1\n");
        QTest::newRow("byte order mark")
            << QByteArray("\xef\xbb\xbf[Settings]\nCloseWhenBrowserOpen=0\n")
            << QByteArray("\xef\xbb\xbf[Settings]\nCloseWhenBrowserOpen=1\n");
        QTest::newRow("semicolon in a key")
            << QByteArray("[Settings]\nCloseWhenBrowserOpen=0\nmy;key=1\n")
            << QByteArray("[Settings]\nCloseWhenBrowserOpen=1\nmy;key=1\n");
        QTest::newRow("quotes in a key")
            << QByteArray("[Settings]\nsay\"hi\"=1\nCloseWhenBrowserOpen=0\n")
            << QByteArray("[Settings]\nsay\"hi\"=1\nCloseWhenBrowserOpen=1\n");
        QTest::newRow("CR LF, comments, key missing")
            << QByteArray("; mine\r\n[Settings]\r\nWikiPath=x\r\n\r\n[Other]\r\nA=1\r\n")
            << QByteArray("; mine\r\n[Settings]\r\nWikiPath=x\r\nCloseWhenBrowserOpen=1\r\n\r\n"
                          "[Other]\r\nA=1\r\n");
        QTest::newRow("no line end at the end") << QByteArray("[Settings]\nWikiPath=x")
                                                << QByteArray("[Settings]\nWikiPath=x\n"
                                                              "CloseWhenBrowserOpen=1\n");
        const QString utf16Text = QStringLiteral("[Settings]\nHistoryListMaxItems=20\n");
        const QByteArray utf16 =
            QByteArray("\xff\xfe") +
            QByteArray(reinterpret_cast<const char *>(utf16Text.utf16()), utf16Text.size() * 2);
        QTest::newRow("UTF-16") << utf16 << utf16 + "\n[Settings]\nCloseWhenBrowserOpen=1\n";
    }
    void writeKeepsEveryOtherByte()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeBytes(TestEnvironment::settingsFile(), before);
        const MaybeFailure failure =
            writeSetting(Settings::CloseWhenBrowserOpen.name, QStringLiteral("1"));
        QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), after);
        QCOMPARE(readSetting(Settings::CloseWhenBrowserOpen.name), QStringLiteral("1"));
    }

    // Whatever a value holds, it reads back as written.
    void writtenValuesReadBack_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("semicolon") << QStringLiteral("https://w.example/index.php?a=1;title=");
        QTest::newRow("comma") << QStringLiteral("a,b");
        QTest::newRow("quotes") << QStringLiteral("say \"hi\"");
        QTest::newRow("backslashes") << QStringLiteral("C:\\wiki\\");
        QTest::newRow("blanks at both ends") << QStringLiteral("  x  ");
        QTest::newRow("at sign first") << QStringLiteral("@Variant(x)");
        QTest::newRow("control characters") << QStringLiteral("a\tb\x01"
                                                              "c\nd");
        QTest::newRow("non-ASCII") << QStringLiteral("https://w.example/caf\u00e9/\u4e2d/");
        QTest::newRow("empty") << QString();
    }
    void writtenValuesReadBack()
    {
        QFETCH(QString, value);
        QVERIFY(!writeSetting(Settings::WikiPath.name, value));
        QCOMPARE(readSetting(Settings::WikiPath.name, QStringLiteral("<absent>")), value);
    }

    // The next start refuses a file over 16 KiB, and with it every setting in
    // it: a write that would make it so is refused instead, and said.
    void fileIsNeverWrittenPastTheBound()
    {
        const QByteArray head = "[Settings]\nWikiPath=https://mine.example/\nNote=";
        const QByteArray content = head + QByteArray(16 * 1024 - head.size() - 1, 'n') + "\n";
        QCOMPARE(content.size(), 16 * 1024);
        writeBytes(TestEnvironment::settingsFile(), content);
        const MaybeFailure failure =
            writeSetting(Settings::CloseWhenBrowserOpen.name, QStringLiteral("1"));
        QVERIFY(failure);
        QVERIFY2(failure->reason.contains(QStringLiteral("16 KiB")), qPrintable(failure->reason));
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), content);
        QCOMPARE(readSetting(Settings::WikiPath.name), QStringLiteral("https://mine.example/"));
    }

    void readOnlyFileIsRespected()
    {
        writeBytes(TestEnvironment::settingsFile(), "[Settings]\nCloseWhenBrowserOpen=0\n");
        QVERIFY(QFile::setPermissions(TestEnvironment::settingsFile(), QFileDevice::ReadOwner));
        const MaybeFailure failure =
            writeSetting(Settings::CloseWhenBrowserOpen.name, QStringLiteral("1"));
        QFile::setPermissions(TestEnvironment::settingsFile(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(failure);
        QVERIFY2(failure->reason.contains(QStringLiteral("read-only")),
                 qPrintable(failure->reason));
        QCOMPARE(readBytes(TestEnvironment::settingsFile()),
                 QByteArray("[Settings]\nCloseWhenBrowserOpen=0\n"));
    }

    void failedWriteIsReportedWithPath()
    {
        // A folder where the settings file should be cannot be replaced by a file.
        QDir().mkpath(TestEnvironment::settingsFile());
        const MaybeFailure failure = writeSetting(Settings::WikiPath.name, QStringLiteral("x"));
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
        QVERIFY(!writeSetting(Settings::Homepage.name, QStringLiteral("h")));
        const MaybeFailure failure = writeSetting(Settings::WikiPath.name, QString(12000, u'w'));
        QVERIFY(failure);
        QCOMPARE(failure->path, TestEnvironment::settingsFile());
        QVERIFY2(failure->reason.contains(QStringLiteral("No space left")),
                 qPrintable(failure->reason));
    }
};

NIMBREL_CORE_TEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
