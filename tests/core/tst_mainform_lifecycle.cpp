#include "core/MainForm.h"
#include "core/Module1.h"
#include "support/FakeDesktop.h"
#include "support/SpecialFiles.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>

using Module1::State;
using namespace std::chrono_literals;

namespace {

// The settings store's values, as the file on disk holds them.
QMap<QString, QString> storedSettings()
{
    QSettings file(TestEnvironment::settingsFile(), QSettings::IniFormat);
    QMap<QString, QString> values;
    for (const QString &key : file.allKeys())
        values.insert(key, file.value(key).toString());
    return values;
}

void writeSettings(const QByteArray &lines)
{
    writeBytes(TestEnvironment::settingsFile(), "[Settings]\n" + lines);
}

const QByteArray Seeded = "WikiPath=https://w.example/wiki/\n"
                          "Homepage=http://h.example/\n"
                          "HistoryListMaxItems=10\n"
                          "CloseWhenBrowserOpen=0\n";

} // namespace

class TestMainFormLifecycle : public QObject
{
    Q_OBJECT
    FakeDesktop *fake = nullptr;

private slots:
    void init()
    {
        TestEnvironment::reset();
        fake = new FakeDesktop;
    }
    void cleanup() { delete fake; }

    void firstRun()
    {
        MainForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbrel Launcher, v1.25 - Dec 2024 / KQ"));
        QCOMPARE(State.AppVersion, QStringLiteral("1.25"));
        QVERIFY(QFileInfo(TestEnvironment::dataFolder()).isDir());
        QCOMPARE(State.HistoryFilePath, listFile(1));
        QVERIFY(form.Option_HistoryList[0]->isChecked());
        QCOMPARE(form.List_History->count(), 0);
        QCOMPARE(form.FormLoaded, Module1::True);
        QCOMPARE(State.HistoryListMaxItems, qint16(10));

        const QMap<QString, QString> expected{
            {QStringLiteral("Settings/WikiPath"), QStringLiteral("https://nimbrel.example/nimbrel/wiki/")},
            {QStringLiteral("Settings/HistoryListMaxItems"), QStringLiteral("10")},
            {QStringLiteral("Settings/Homepage"), QStringLiteral("http://www.nimbrel.example/dl/nblauncher.htm")},
            {QStringLiteral("Settings/CloseWhenBrowserOpen"), QStringLiteral("0")}};
        QCOMPARE(storedSettings(), expected);
        QVERIFY(fake->messages.isEmpty());

        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.Text_SearchData);
    }

    void seedingKeepsReadValuesButStoresCloseOff()
    {
        writeSettings("WikiPath=\nHomepage=http://mine.example/\nHistoryListMaxItems=30\n"
                      "CloseWhenBrowserOpen=1\nMoveSearchedtItemToTop=1\n");
        MainForm form;
        QCOMPARE(State.WikiPath, QStringLiteral("https://nimbrel.example/nimbrel/wiki/"));
        QCOMPARE(State.CloseWhenBrowserOpen, qint16(1)); // in force for this run
        const QMap<QString, QString> stored = storedSettings();
        QCOMPARE(stored.value(QStringLiteral("Settings/CloseWhenBrowserOpen")), QStringLiteral("0"));
        QCOMPARE(stored.value(QStringLiteral("Settings/HistoryListMaxItems")), QStringLiteral("30"));
        QCOMPARE(stored.value(QStringLiteral("Settings/Homepage")), QStringLiteral("http://mine.example/"));
        QCOMPARE(stored.value(QStringLiteral("Settings/MoveSearchedtItemToTop")), QStringLiteral("1"));
    }

    void migration_data()
    {
        QTest::addColumn<bool>("oldExists");
        QTest::addColumn<bool>("newExists");
        QTest::addColumn<QByteArray>("expectedNew");
        QTest::addColumn<bool>("oldRemains");
        QTest::newRow("old only: moved") << true << false << QByteArray("OLD\r\n") << false;
        QTest::newRow("both: untouched") << true << true << QByteArray("NEW\r\n") << true;
        QTest::newRow("neither: nothing") << false << false << QByteArray() << false;
    }
    void migration()
    {
        QFETCH(bool, oldExists);
        QFETCH(bool, newExists);
        QFETCH(QByteArray, expectedNew);
        QFETCH(bool, oldRemains);
        const QString oldFile = TestEnvironment::dataFolder() + QStringLiteral("/SearchHistory.dat");
        if (oldExists)
            writeBytes(oldFile, "OLD\r\n");
        if (newExists)
            writeBytes(listFile(1), "NEW\r\n");
        MainForm form;
        QCOMPARE(readBytes(listFile(1)), expectedNew);
        QCOMPARE(QFile::exists(oldFile), oldRemains);
        if (!expectedNew.isEmpty())
            QCOMPARE(form.List_History->item(0)->text(), QString::fromLatin1(expectedNew.chopped(2)));
    }

    // A pipe where the list file or the old single file belongs must not hold
    // up the start: it is reported like a file that cannot be read.
    void specialFilesDoNotBlockTheStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asLink");
        QTest::newRow("pipe as list 1") << QStringLiteral("SearchHistory-1.dat") << false;
        QTest::newRow("pipe as the old single list")
            << QStringLiteral("SearchHistory.dat") << false;
        QTest::newRow("link to a pipe as the old single list")
            << QStringLiteral("SearchHistory.dat") << true;
    }
    void specialFilesDoNotBlockTheStart()
    {
        QFETCH(QString, name);
        QFETCH(bool, asLink);
        writeSettings(Seeded);
        QDir().mkpath(TestEnvironment::dataFolder());
        const QString path = TestEnvironment::dataFolder() + u'/' + name;
        const QString fifo = asLink ? TestEnvironment::root() + QStringLiteral("/pipe") : path;
        QFile::remove(fifo);
        QVERIFY(makeFifo(fifo));
        if (asLink)
            QVERIFY(makeSymlink(fifo, path));
        {
            Watchdog watchdog(10s, "the start with a pipe in the data folder");
            MainForm form;
            QCOMPARE(form.FormLoaded, Module1::True);
            QCOMPARE(form.List_History->count(), 0);
        }
        QCOMPARE(fake->messages.size(), 1);
        QVERIFY(fake->messages[0].text.contains(path));
        QVERIFY(fake->messages[0].text.contains(QStringLiteral("not a regular file")));
        // Nothing was made of it: the pipe stays, and list 1 gets no file.
        QVERIFY(QFileInfo::exists(path));
        if (name == u"SearchHistory.dat")
            QVERIFY(!QFileInfo::exists(listFile(1)));
    }

    void storedListThreeIsSelectedWithoutPrompt()
    {
        writeSettings(Seeded + "SelectedSavedList=3\n");
        writeBytes(listFile(3), "THREE\r\n");
        MainForm form;
        QVERIFY(form.Option_HistoryList[2]->isChecked());
        QVERIFY(!form.Option_HistoryList[0]->isChecked());
        QCOMPARE(State.HistoryFilePath, listFile(3));
        QCOMPARE(form.List_History->item(0)->text(), QStringLiteral("THREE"));
        QVERIFY(fake->messages.isEmpty());
    }

    void selectedListOutOfRangeMeansListOne_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("zero") << QByteArray("0");
        QTest::newRow("four") << QByteArray("4");
        QTest::newRow("negative") << QByteArray("-1");
        QTest::newRow("text") << QByteArray("two");
        QTest::newRow("huge") << QByteArray("99999999");
    }
    void selectedListOutOfRangeMeansListOne()
    {
        QFETCH(QByteArray, stored);
        writeSettings(Seeded + "SelectedSavedList=" + stored + "\n");
        MainForm form;
        QCOMPARE(State.SelectedSavedList, qint16(1));
        QVERIFY(form.Option_HistoryList[0]->isChecked());
        QCOMPARE(State.HistoryFilePath, listFile(1));
    }

    // A crafted settings file (a value nested 200,000 lists deep, under a key
    // the launcher never reads) crashed every start inside Qt's parser. The
    // launcher starts with its defaults, says once why it cannot save its
    // settings, and leaves the file exactly as it was.
    void craftedSettingsFileStartsWithDefaults()
    {
        const QByteArray crafted = "[Settings]\nWikiPath=https://w.example/wiki/"
                                   "\nHistoryListMaxItems=20\nUnused=@Variant(" +
                                   QByteArray("\\0\\0\\0\\t\\0\\0\\0\\x1").repeated(200000) +
                                   "\\0\\0\\0\\t\\0\\0\\0\\0)\n";
        writeBytes(TestEnvironment::settingsFile(), crafted);
        const auto removeIt = qScopeGuard([] { QFile::remove(TestEnvironment::settingsFile()); });
        QByteArray lines;
        for (int i = 1; i <= 15; ++i)
            lines += "L" + QByteArray::number(i) + "\r\n";
        writeBytes(listFile(1), lines);
        {
            MainForm form;
            QCOMPARE(form.FormLoaded, Module1::True);
            QCOMPARE(State.WikiPath, QStringLiteral("https://nimbrel.example/nimbrel/wiki/"));
            QCOMPARE(State.HistoryListMaxItems, qint16(10));
            QCOMPARE(form.List_History->count(), 10);
            QCOMPARE(fake->messages.size(), 1);
            QVERIFY(fake->messages[0].text.contains(TestEnvironment::settingsFile()));
            State.MoveItemToTop = Module1::OptionFlag::SwitchedOn;
            form.Command_Exit->click();
        }
        QCOMPARE(fake->messages.size(), 2); // the option could not be saved either
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), crafted);
    }

    void openingAndClosingWritesNothing()
    {
        writeSettings(Seeded + "MoveSearchedtItemToTop=1\n");
        writeBytes(listFile(1), "A\nB\r");
        const QByteArray settingsBefore = readBytes(TestEnvironment::settingsFile());
        const QDateTime listTime = QFileInfo(listFile(1)).lastModified();
        {
            MainForm form;
            form.show();
            QCOMPARE(form.List_History->count(), 2);
            form.Command_Exit->click();
        }
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), settingsBefore);
        QCOMPARE(readBytes(listFile(1)), QByteArray("A\nB\r"));
        QCOMPARE(QFileInfo(listFile(1)).lastModified(), listTime);
    }

    void exitWritesBackWhatChanged_data()
    {
        QTest::addColumn<int>("close");
        QTest::addColumn<int>("move");
        QTest::addColumn<bool>("listChanged");
        QTest::addColumn<bool>("historyChanged");
        QTest::addColumn<QStringList>("expected"); // key=value lines that must be stored
        QTest::addColumn<QStringList>("absent");   // keys that must not be written
        QTest::newRow("switched on")
            << 11 << 11 << false << false
            << QStringList{QStringLiteral("CloseWhenBrowserOpen=1"), QStringLiteral("MoveSearchedtItemToTop=1")}
            << QStringList{QStringLiteral("SelectedSavedList")};
        QTest::newRow("switched off")
            << 10 << 10 << false << false
            << QStringList{QStringLiteral("CloseWhenBrowserOpen=0"), QStringLiteral("MoveSearchedtItemToTop=0")}
            << QStringList{};
        QTest::newRow("read values are not written")
            << 1 << 1 << false << false << QStringList{}
            << QStringList{QStringLiteral("MoveSearchedtItemToTop"), QStringLiteral("SelectedSavedList")};
        QTest::newRow("list picked")
            << 0 << 0 << true << false << QStringList{QStringLiteral("SelectedSavedList=2")}
            << QStringList{QStringLiteral("MoveSearchedtItemToTop")};
        QTest::newRow("history changed") << 0 << 0 << false << true << QStringList{} << QStringList{};
    }
    void exitWritesBackWhatChanged()
    {
        QFETCH(int, close);
        QFETCH(int, move);
        QFETCH(bool, listChanged);
        QFETCH(bool, historyChanged);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        writeSettings(Seeded);
        writeBytes(listFile(2), "OLD\r\n");
        {
            MainForm form;
            State.CloseWhenBrowserOpen = qint16(close);
            State.MoveItemToTop = qint16(move);
            if (listChanged) {
                State.SelectedSavedList = 2;
                State.SavedListChanged = Module1::True;
            }
            State.HistoryFilePath = listFile(2);
            form.List_History->addItem(QStringLiteral("NEW"));
            State.HistoryChanged = historyChanged ? Module1::True : Module1::False;
            form.close();
        }
        const QByteArray settings = readBytes(TestEnvironment::settingsFile());
        for (const QString &line : expected)
            QVERIFY2(settings.contains(QByteArray(line.toUtf8() + '\n')), settings.constData());
        for (const QString &key : absent)
            QVERIFY2(!settings.contains(QByteArray(key.toUtf8() + '=')), settings.constData());
        QCOMPARE(settings.contains("WikiPath=https://w.example/wiki/\n"), true);
        QCOMPARE(readBytes(listFile(2)),
                 historyChanged ? QByteArray("NEW\r\n") : QByteArray("OLD\r\n"));
    }

    void designCaptionsAndStates()
    {
        MainForm form;
        QCOMPARE(form.Label_SearchData->text(), QStringLiteral("Search Nimbrel for:"));
        QCOMPARE(form.Command_OpenBrowser->text(), QStringLiteral("Open Nimbrel Search"));
        QCOMPARE(form.Command_Exit->text(), QStringLiteral("Exit"));
        QCOMPARE(form.Command_Help->text(), QStringLiteral("Info && Settings"));
        QCOMPARE(form.Command_OpenWikiMain->text(), QStringLiteral("Open Nimbrel Main Page"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(form.Option_HistoryList[i]->text(), QStringLiteral("History List %1").arg(i + 1));
        QVERIFY(!form.Command_OpenBrowser->isEnabled());
        QVERIFY(form.Text_SearchData->maxLength() > 1000000);
        QCOMPARE(form.minimumSize(), form.maximumSize()); // fixed border
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.font().pointSize(), 8);

        // Every control lies inside the client area, and none overlaps another.
        const QList<QWidget *> controls = form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 10);
        for (const QWidget *a : controls) {
            QVERIFY2(form.rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (const QWidget *b : controls)
                QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + u'/' + b->objectName()));
        }
    }

    void tabOrder()
    {
        writeSettings(Seeded + "SelectedSavedList=2\n");
        writeBytes(listFile(2), "A\r\n");
        MainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.Text_SearchData->setFocus();
        const QList<QWidget *> expected{form.List_History, form.Command_Exit, form.Command_Help,
                                        form.Command_OpenWikiMain, form.Option_HistoryList[1],
                                        form.Text_SearchData};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void dataFolderPathIsAFile()
    {
        QDir().rmdir(TestEnvironment::dataFolder());
        writeBytes(TestEnvironment::dataFolder(), "not a folder");
        MainForm form;
        QCOMPARE(fake->messages.size(), 1);
        QVERIFY(fake->messages[0].text.contains(TestEnvironment::dataFolder()));
        QCOMPARE(form.FormLoaded, Module1::True);
        QCOMPARE(readBytes(TestEnvironment::dataFolder()), QByteArray("not a folder"));
        QFile::remove(TestEnvironment::dataFolder());
    }

    void withoutAppDataTheXdgDataHomeIsUsed()
    {
        // A fresh account may not have its data home yet: it is created too.
        const QByteArray appData = qgetenv("AppData");
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        const QString freshHome = TestEnvironment::root() + QStringLiteral("/fresh/share");
        qunsetenv("AppData");
        qputenv("XDG_DATA_HOME", QFile::encodeName(freshHome));
        const auto restore = qScopeGuard([&] {
            qputenv("AppData", appData);
            qputenv("XDG_DATA_HOME", dataHome);
            QDir(TestEnvironment::root() + QStringLiteral("/fresh")).removeRecursively();
        });
        MainForm form;
        const QString expected = freshHome + QStringLiteral("/Nimbrel Launcher");
        QVERIFY(QFileInfo(expected).isDir());
        QCOMPARE(State.HistoryFilePath, expected + QStringLiteral("/SearchHistory-1.dat"));
        QVERIFY(fake->messages.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestMainFormLifecycle)
#include "tst_mainform_lifecycle.moc"
