#include "MainWindowFixture.h"
#include "rules/HistoryFile.h"
#include "rules/SearchRules.h"
#include "support/OddFiles.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

using namespace Nimbrel;
using namespace SettingsFixture;

namespace
{

QByteArray crlfLines(const QStringList &items)
{
    QByteArray bytes;
    for (const QString &item : items)
        bytes += item.toUtf8() + "\r\n";
    return bytes;
}

} // namespace

// The main window and the file of its list, when something other than the
// launcher has had its hands on that file.
class TestMainFormHistoryFile : public QObject, MainWindowFixture
{
    Q_OBJECT

    void search(const QString &term)
    {
        QLineEdit *box = ui(*form).Text_SearchData;
        box->clear();
        QTest::keyClicks(box, term);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // Opens the window on settings with `historySize` (and `extraSettings`)
    // and list 1 holding `file`.
    void openOn(const QByteArray &file, int historySize = 10,
                const QByteArray &extraSettings = QByteArray())
    {
        SettingsFixture::writeSettings(extraSettings, historySize);
        writeBytes(listFile(1), file);
        openForm();
    }
    bool toldThatSavingFailed() const
    {
        for (const MessageRequest &message : std::as_const(fake->messages)) {
            if (message.text.contains(QStringLiteral("could not be saved")) &&
                message.text.contains(listFile(1)))
                return true;
        }
        return false;
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    // A file that could not be read may hold a whole list: the save that
    // would replace it is refused and said, and the search stays in the window.
    void unreadableFileIsNeverWrittenOver()
    {
        const QByteArray old = crlfLines(texts({"KEEP1", "KEEP2"}));
        writeBytes(listFile(1), old);
        {
            UnreadableFile unreadable(listFile(1));
            if (!unreadable.ok())
                QSKIP("This system cannot make a file unreadable to its owner.");
            openForm();
            QCOMPARE(fake->messages.size(), 1);
            QVERIFY2(fake->messages.front().text.contains(QStringLiteral("could not be read")),
                     qPrintable(fake->messages.front().text));
            search(QStringLiteral("NEW"));
            form->close();
            QVERIFY(toldThatSavingFailed());
            QCOMPARE(listTexts(*ui(*form).List_History), texts({"NEW"}));
        }
        QCOMPARE(readBytes(listFile(1)), old);
        QCOMPARE(QDir(TestEnvironment::dataFolder()).entryList(QDir::Files),
                 QStringList{QStringLiteral("SearchHistory-1.dat")});
    }

    // Another program (an editor) wrote the file while the window was open:
    // its change and this run's are both kept, this run's on top.
    void changeMadeElsewhereIsKept_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("edited");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<int>("removedRow"); // -1: none
        QTest::addColumn<bool>("moveToTop");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("line added, then a search")
            << texts({"KEEP1", "KEEP2"}) << texts({"EDITOR-ADDED", "KEEP1", "KEEP2"})
            << QStringLiteral("LAUNCHERTERM") << -1 << false
            << texts({"LAUNCHERTERM", "EDITOR-ADDED", "KEEP1", "KEEP2"});
        QTest::newRow("same size, one letter changed")
            << texts({"KEEP1", "KEEP2"}) << texts({"KEEP1", "KEEQ2"}) << QStringLiteral("NEW") << -1
            << false << texts({"NEW", "KEEP1", "KEEQ2"});
        QTest::newRow("line added, an item removed here")
            << texts({"KEEP1", "KEEP2", "GONE"}) << texts({"KEEP1", "KEEP2", "GONE", "ADDED"})
            << QString() << 2 << false << texts({"KEEP1", "KEEP2", "ADDED"});
        QTest::newRow("emptied there, a search here")
            << texts({"KEEP1", "KEEP2"}) << QStringList() << QStringLiteral("NEW") << -1 << false
            << texts({"NEW"});
        QTest::newRow("a search of an item the editor kept")
            << texts({"KEEP1"}) << texts({"ADDED", "KEEP1"}) << QStringLiteral("KEEP1") << -1
            << false << texts({"ADDED", "KEEP1"});
        QTest::newRow("a known term moved to the top")
            << texts({"KEEP1", "KEEP2"}) << texts({"KEEP1", "ADDED", "KEEP2"})
            << QStringLiteral("KEEP2") << -1 << true << texts({"KEEP2", "KEEP1", "ADDED"});
    }

    void changeMadeElsewhereIsKept()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, edited);
        QFETCH(QString, searched);
        QFETCH(int, removedRow);
        QFETCH(bool, moveToTop);
        QFETCH(QStringList, saved);
        openOn(crlfLines(before), 10, moveToTop ? "MoveSearchedtItemToTop=1\n" : "");
        QCOMPARE(listTexts(*ui(*form).List_History), before);

        // As editors save: a new file renamed into place.
        const QString edit = listFile(1) + QStringLiteral("~");
        writeBytes(edit, crlfLines(edited));
        QFile::remove(listFile(1));
        QVERIFY(QFile::rename(edit, listFile(1)));

        if (!searched.isEmpty())
            search(searched);
        if (removedRow >= 0) {
            clickRow(removedRow);
            QTest::keyClick(ui(*form).List_History, Qt::Key_Delete);
        }
        form->close();
        QCOMPARE(fake->messages.size(), 0);
        QCOMPARE(QString::fromUtf8(readBytes(listFile(1))), QString::fromUtf8(crlfLines(saved)));
    }

    // Changed in place, the same size, within the same second: still noticed.
    void changeInPlaceIsNoticed()
    {
        openOn(crlfLines(texts({"KEEP1", "KEEP2"})));
        QFile file(listFile(1));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(4));
        file.write("Q");
        file.close();
        search(QStringLiteral("NEW"));
        form->close();
        QCOMPARE(readBytes(listFile(1)), crlfLines(texts({"NEW", "KEEPQ", "KEEP2"})));
    }

    // A list without a size limit loads a bounded part of a large file, and
    // the save keeps the rest of the file behind the list.
    void unlimitedListKeepsWhatItDidNotLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("loaded");
        QByteArray manyShort;
        for (int i = 1; i <= UnlimitedListMaxItems + 5; ++i)
            manyShort += "L" + QByteArray::number(i) + "\r\n";
        QTest::newRow("more lines than the ceiling") << manyShort << int(UnlimitedListMaxItems);
        QTest::newRow("10 MB of empty lines")
            << QByteArray("\r\n").repeated(5 * 1024 * 1024) << int(UnlimitedListMaxItems);
        QByteArray manyLong;
        const QByteArray line = QByteArray(1022, 'X') + "\r\n";
        for (int i = 0; i < 3000; ++i)
            manyLong += line;
        QTest::newRow("more bytes than the ceiling")
            << manyLong << int(UnlimitedListMaxBytes / line.size());
        // The ceiling falls between the CR and the LF of one line end, which
        // a read in chunks sees apart.
        QTest::newRow("a CR LF split at the ceiling")
            << line.repeated(int(UnlimitedListMaxBytes / line.size()) - 1) +
                   QByteArray(line.size() - 1, 'Y') + "\r\nREST\r\n"
            << int(UnlimitedListMaxBytes / line.size());
    }
    void unlimitedListKeepsWhatItDidNotLoad()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, loaded);
        openOn(file, 0);
        QCOMPARE(ui(*form).List_History->count(), loaded);
        search(QStringLiteral("NEW"));
        form->close();
        QCOMPARE(fake->messages.size(), 0);
        const QByteArray saved = readBytes(listFile(1));
        QCOMPARE(saved.size(), file.size() + 5);
        QVERIFY(saved == "NEW\r\n" + file);
    }

    // A save that keeps the rest of the file keeps it the next time too.
    void unlimitedListKeepsTheRestOverTwoSaves()
    {
        QByteArray file;
        for (int i = 1; i <= UnlimitedListMaxItems + 2; ++i)
            file += "L" + QByteArray::number(i) + "\r\n";
        openOn(file, 0);
        search(QStringLiteral("ONE"));
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton); // asks, saves
        QTest::mouseClick(ui(*form).Option_HistoryList[0], Qt::LeftButton);
        search(QStringLiteral("TWO"));
        form->close();
        QCOMPARE(readBytes(listFile(1)), "TWO\r\nONE\r\n" + file);
    }

    void readOnlyFileIsRespected()
    {
        const QByteArray old = crlfLines(texts({"KEEP1"}));
        openOn(old);
        QVERIFY(QFile::setPermissions(listFile(1), QFileDevice::ReadOwner));
        search(QStringLiteral("NEW"));
        form->close();
        QVERIFY(toldThatSavingFailed());
        QVERIFY(fake->messages.back().text.contains(QStringLiteral("read-only")));
        QCOMPARE(readBytes(listFile(1)), old);
        QFile::setPermissions(listFile(1), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // A list the user keeps elsewhere (a synced folder) through a link stays
    // there: the link's target is replaced, the link kept.
    void linkedFileKeepsItsLink()
    {
        const QString elsewhere = TestEnvironment::root() + QStringLiteral("/synced");
        QVERIFY(QDir().mkpath(elsewhere));
        const QString target = elsewhere + QStringLiteral("/list.dat");
        writeBytes(target, crlfLines(texts({"KEEP1"})));
        QVERIFY(QDir().mkpath(TestEnvironment::dataFolder()));
        MAKE_SYMLINK(target, listFile(1));
        SettingsFixture::writeSettings();
        openForm();
        search(QStringLiteral("NEW"));
        form->close();
        QCOMPARE(fake->messages.size(), 0);
        QVERIFY(QFileInfo(listFile(1)).isSymbolicLink());
        QCOMPARE(readBytes(target), crlfLines(texts({"NEW", "KEEP1"})));
        QCOMPARE(QDir(elsewhere).entryList(QDir::Files), QStringList{QStringLiteral("list.dat")});
    }

    void linkToAPipeIsRefused()
    {
        const QString pipe = TestEnvironment::root() + QStringLiteral("/pipe");
        QVERIFY(QDir().mkpath(TestEnvironment::dataFolder()));
        MAKE_FIFO(pipe);
        MAKE_SYMLINK(pipe, listFile(1));
        SettingsFixture::writeSettings();
        openForm();
        search(QStringLiteral("NEW"));
        form->close();
        QVERIFY(toldThatSavingFailed());
        QVERIFY(QFileInfo(listFile(1)).isSymbolicLink());
        QVERIFY(!QFileInfo(pipe).isFile());
    }

    // Saves killed half-way leave their new files behind; the next start
    // removes those, and only those.
    void leftoverSaveFilesAreRemovedAtStart()
    {
        QVERIFY(QDir().mkpath(TestEnvironment::dataFolder()));
        const QString folder = TestEnvironment::dataFolder() + u'/';
        const QStringList stale = {QStringLiteral("SearchHistory-1.dat.3k9x0a1b2c.new"),
                                   QStringLiteral("SearchHistory-3.dat.z.new")};
        const QStringList kept = {
            QStringLiteral("SearchHistory-2.dat.fresh1.new"),  // a save under way elsewhere
            QStringLiteral("SearchHistory-1.dat.new"),         // not a name of ours
            QStringLiteral("SearchHistory-1.dat.NOTOURS.new"), // capitals: not ours
            QStringLiteral("notes.txt.3k9x0a1b2c.new"),        // another file's
        };
        const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-3600);
        for (const QString &name : stale + kept) {
            writeBytes(folder + name, "X");
            if (name != kept.front()) {
                QFile file(folder + name);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
            }
        }
        openForm();
        for (const QString &name : stale)
            QVERIFY2(!QFile::exists(folder + name), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(QFile::exists(folder + name), qPrintable(name));
    }

    // However a term comes in, it is never longer than the history file can
    // read back, so the items after it survive the next start.
    void longPasteStaysReadable()
    {
        const QStringList keep = texts({"KEEP1", "KEEP2", "KEEP3", "KEEP4"});
        openOn(crlfLines(keep));
        QGuiApplication::clipboard()->setText(QString(70000, u'a'));
        QLineEdit *box = ui(*form).Text_SearchData;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString(SearchRules::MaxTermLength, u'A'));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened.front().file.size(),
                 SettingsFixture::Wiki.size() + SearchRules::MaxTermLength);
        form->close();
        openForm();
        QCOMPARE(listTexts(*ui(*form).List_History),
                 QStringList{QString(SearchRules::MaxTermLength, u'A')} + keep);
        search(QStringLiteral("X")); // one more save, as in the report
        form->close();
        openForm();
        QCOMPARE(listTexts(*ui(*form).List_History).mid(2), keep);
    }
};

NIMBREL_TEST_MAIN(TestMainFormHistoryFile)
#include "tst_mainform_historyfile.moc"
