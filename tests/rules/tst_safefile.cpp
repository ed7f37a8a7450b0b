#include "rules/SafeFile.h"
#include "support/OddFiles.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Nimbrel;

using namespace std::chrono_literals;

namespace
{

QString inFolder(const QString &name)
{
    return TestEnvironment::dataFolder() + u'/' + name;
}

// A file outside the launcher's folders that a link may point at, standing in
// for something like ~/.profile.
QString outsideFile()
{
    return TestEnvironment::root() + QStringLiteral("/home/.profile");
}

// The entries of the data folder, hidden ones included: a failed write must
// leave no half-written file behind.
// The reason a failure gives; empty when there was none.
QString reasonOf(const MaybeFailure &failure)
{
    return failure ? failure->reason : QString();
}

QStringList folderEntries()
{
    return QDir(TestEnvironment::dataFolder())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                   QDir::Name);
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::reset();
        QDir().mkpath(TestEnvironment::dataFolder());
        QFile::remove(outsideFile());
    }

    void readingTakesRegularFilesOnly_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("opens");
        QTest::newRow("regular file") << u"file"_qs << true;
        QTest::newRow("link to a regular file") << u"link to file"_qs << true;
        QTest::newRow("pipe without a writer") << u"fifo"_qs << false;
        QTest::newRow("link to a pipe") << u"link to fifo"_qs << false;
        QTest::newRow("link to /dev/zero") << u"zero"_qs << false;
        QTest::newRow("/dev/null itself") << u"null"_qs << false;
        QTest::newRow("folder") << u"folder"_qs << false;
        QTest::newRow("missing") << u"missing"_qs << false;
    }
    void readingTakesRegularFilesOnly()
    {
        QFETCH(QString, kind);
        QFETCH(bool, opens);
        QString path = inFolder(u"list.dat"_qs);
        const QString fifo = inFolder(u"pipe"_qs);
        if (kind == u"file")
            writeBytes(path, "ONE\r\n");
        if (kind == u"link to file") {
            writeBytes(outsideFile(), "ONE\r\n");
            QVERIFY(makeSymlink(outsideFile(), path));
        }
        if (kind == u"fifo")
            QVERIFY(makeFifo(path));
        if (kind == u"link to fifo") {
            QVERIFY(makeFifo(fifo));
            QVERIFY(makeSymlink(fifo, path));
        }
        if (kind == u"zero")
            QVERIFY(makeSymlink(u"/dev/zero"_qs, path));
        if (kind == u"null")
            path = u"/dev/null"_qs;
        if (kind == u"folder")
            QVERIFY(QDir().mkpath(path));

        QFile file;
        MaybeFailure refused;
        {
            Watchdog watchdog(10s, "SafeFile::openForReading");
            refused = SafeFile::openForReading(file, path);
        }
        const QString reason = reasonOf(refused);
        QCOMPARE(!refused, opens);
        if (refused)
            QCOMPARE(refused->path, path);
        QCOMPARE(file.isOpen(), opens);
        if (opens)
            QCOMPARE(file.readAll(), QByteArray("ONE\r\n"));
        else
            QVERIFY(!reason.isEmpty());
        if (kind == u"folder")
            QCOMPARE(reason, u"It is a folder, not a file."_qs);
        if (kind.contains(u"fifo") || kind == u"zero" || kind == u"null")
            QVERIFY2(reason.contains(u"not a regular file"_qs), qPrintable(reason));
    }

    void replaceWritesANewFile()
    {
        const QString path = inFolder(u"list.dat"_qs);
        const MaybeFailure failure = SafeFile::replace(path, QByteArray("NEW\r\n"));
        QVERIFY2(!failure, qPrintable(reasonOf(failure)));
        QCOMPARE(readBytes(path), QByteArray("NEW\r\n"));
        QCOMPARE(folderEntries(), QStringList{u"list.dat"_qs});
    }

    void replaceKeepsPermissionsOfARegularFile()
    {
        const QString path = inFolder(u"list.dat"_qs);
        writeBytes(path, "OLD\r\n");
        const QFile::Permissions permissions =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, permissions));
        const MaybeFailure failure = SafeFile::replace(path, QByteArray("NEW\r\n"));
        QVERIFY2(!failure, qPrintable(reasonOf(failure)));
        QCOMPARE(readBytes(path), QByteArray("NEW\r\n"));
        QCOMPARE(QFile::permissions(path) & QFile::Permissions(0x7077), permissions);
    }

    // A link in the launcher's folder never lets a save write anywhere else:
    // the link is replaced by the file, and what it pointed at stays as it was.
    void replaceNeverWritesThroughALink_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("link to an existing file") << true;
        QTest::newRow("dangling link") << false;
    }
    void replaceNeverWritesThroughALink()
    {
        QFETCH(bool, targetExists);
        const QString path = inFolder(u"versions.txt"_qs);
        if (targetExists)
            writeBytes(outsideFile(), "export PATH=/usr/bin\n");
        QVERIFY(makeSymlink(outsideFile(), path));

        const MaybeFailure failure =
            SafeFile::replace(path, QByteArray("Nimbrel Launcher:1.3\r\n"));
        QVERIFY2(!failure, qPrintable(reasonOf(failure)));

        QVERIFY(!QFileInfo(path).isSymbolicLink());
        QCOMPARE(readBytes(path), QByteArray("Nimbrel Launcher:1.3\r\n"));
        QCOMPARE(QFile::exists(outsideFile()), targetExists);
        if (targetExists)
            QCOMPARE(readBytes(outsideFile()), QByteArray("export PATH=/usr/bin\n"));
    }

    void replaceTakesThePlaceOfAPipeWithoutOpeningIt()
    {
        const QString path = inFolder(u"versions.txt"_qs);
        QVERIFY(makeFifo(path));
        {
            Watchdog watchdog(10s, "SafeFile::replace on a pipe");
            const MaybeFailure failure = SafeFile::replace(path, QByteArray("X\r\n"));
            QVERIFY2(!failure, qPrintable(reasonOf(failure)));
        }
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(readBytes(path), QByteArray("X\r\n"));
    }

    void replaceRefusesAFolderAndLeavesNothingBehind()
    {
        const QString path = inFolder(u"list.dat"_qs);
        QVERIFY(QDir().mkpath(path + u"/inside"_qs));
        const MaybeFailure failure = SafeFile::replace(path, QByteArray("X\r\n"));
        QCOMPARE(reasonOf(failure), u"It is a folder, not a file."_qs);
        QVERIFY(QFileInfo(path + u"/inside"_qs).isDir());
        QCOMPARE(folderEntries(), QStringList{u"list.dat"_qs});
    }

    void replaceInAMissingFolderFails()
    {
        const MaybeFailure failure =
            SafeFile::replace(inFolder(u"no/such/folder/list.dat"_qs), QByteArray("X"));
        QVERIFY(failure);
        QVERIFY(!failure->reason.isEmpty());
        QCOMPARE(folderEntries(), QStringList{});
    }

    void replaceCopiesAWholeDevice()
    {
        const QByteArray bytes(300 * 1024 + 7, 'x'); // several copy chunks
        const QString source = inFolder(u"old.dat"_qs);
        writeBytes(source, bytes);
        QFile file;
        QVERIFY(!SafeFile::openForReading(file, source));
        const MaybeFailure failure = SafeFile::replace(inFolder(u"new.dat"_qs), file);
        QVERIFY2(!failure, qPrintable(reasonOf(failure)));
        QCOMPARE(readBytes(inFolder(u"new.dat"_qs)), bytes);
    }
};

NIMBREL_CORE_TEST_MAIN(TestSafeFile)
#include "tst_safefile.moc"
