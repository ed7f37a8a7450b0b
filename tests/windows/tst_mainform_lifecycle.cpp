#include "support/FakeDesktop.h"
#include "support/OddFiles.h"
#include "support/SessionOptions.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"
#include "windows/MainForm.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>

using namespace Nimbrel;

using namespace SettingsFixture;
using namespace std::chrono_literals;

namespace
{

// The settings store's values, as the file on disk (or, on Windows, the
// registry) holds them.
QMap<QString, QString> storedSettings()
{
#ifdef Q_OS_WIN
    const auto store = TestEnvironment::nativeStore();
    QSettings &file = *store;
#else
    QSettings file(TestEnvironment::settingsFile(), QSettings::IniFormat);
#endif
    QMap<QString, QString> values;
    for (const QString &key : file.allKeys())
        values.insert(key, file.value(key).toString());
    return values;
}

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
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(form.windowTitle(), QStringLiteral("Nimbrel Launcher, v1.25 - Dec 2024 / KQ"));
        QCOMPARE(session.appVersion(), QStringLiteral("1.25"));
        QVERIFY(QFileInfo(TestEnvironment::dataFolder()).isDir());
        QCOMPARE(session.historyFilePath(), listFile(1));
        QVERIFY(ui(form).Option_HistoryList[0]->isChecked());
        QCOMPARE(ui(form).List_History->count(), 0);
        QVERIFY(form.formLoaded());
        QCOMPARE(session.historyListMaxItems(), qint16(10));

        const QMap<QString, QString> expected{
            {QStringLiteral("Settings/WikiPath"),
             QStringLiteral("https://nimbrel.example/nimbrel/wiki/")},
            {QStringLiteral("Settings/HistoryListMaxItems"), QStringLiteral("10")},
            {QStringLiteral("Settings/Homepage"),
             QStringLiteral("http://www.nimbrel.example/dl/nblauncher.htm")},
            {QStringLiteral("Settings/CloseWhenBrowserOpen"), QStringLiteral("0")}};
        QCOMPARE(storedSettings(), expected);
        QVERIFY(fake->messages.isEmpty());

        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), ui(form).Text_SearchData);
    }

    // With an empty list the focus goes to the search box when the window is
    // first shown and when the Info window closes; coming back from another
    // program or window leaves it where the user put it.
    void emptyListFocusesTheSearchBoxOnlyAtShowAndAfterInfo()
    {
        LauncherSession session;
        MainForm form(session);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), ui(form).Text_SearchData);

        ui(form).Command_Help->setFocus(Qt::TabFocusReason);
        {
            QWidget elsewhere;
            elsewhere.show();
            elsewhere.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QCOMPARE(QApplication::focusWidget(), ui(form).Command_Help);
        }

        whenModalOpens<InfoForm>([](InfoForm *info) { info->close(); });
        QTest::keyClick(ui(form).Command_Help, Qt::Key_Space);
        QCOMPARE(form.focusWidget(), ui(form).Text_SearchData);
    }

    void seedingKeepsReadValuesButStoresCloseOff()
    {
        writeRawSettings("WikiPath=\nHomepage=http://mine.example/\nHistoryListMaxItems=30\n"
                         "CloseWhenBrowserOpen=1\nMoveSearchedtItemToTop=1\n");
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(session.wikiPath(), QStringLiteral("https://nimbrel.example/nimbrel/wiki/"));
        QCOMPARE(session.closeWhenBrowserOpen(), OnAsStored); // in force for this run
        const QMap<QString, QString> stored = storedSettings();
        QCOMPARE(stored.value(QStringLiteral("Settings/CloseWhenBrowserOpen")),
                 QStringLiteral("0"));
        QCOMPARE(stored.value(QStringLiteral("Settings/HistoryListMaxItems")),
                 QStringLiteral("30"));
        QCOMPARE(stored.value(QStringLiteral("Settings/Homepage")),
                 QStringLiteral("http://mine.example/"));
        QCOMPARE(stored.value(QStringLiteral("Settings/MoveSearchedtItemToTop")),
                 QStringLiteral("1"));
    }

    // A key added by hand is written back escaped ("My%20Key"); seeding must
    // still go through without a word.
    void seedingBesideAHandAddedKey()
    {
        writeRawSettings("My Key=1\n");
        LauncherSession session;
        MainForm form(session);
        QVERIFY(fake->messages.isEmpty());
        const QMap<QString, QString> stored = storedSettings();
        QCOMPARE(stored.value(QStringLiteral("Settings/My Key")), QStringLiteral("1"));
        QCOMPARE(stored.value(QStringLiteral("Settings/CloseWhenBrowserOpen")),
                 QStringLiteral("0"));
        QCOMPARE(stored.size(), 5);
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
        const QString oldFile =
            TestEnvironment::dataFolder() + QStringLiteral("/SearchHistory.dat");
        if (oldExists)
            writeBytes(oldFile, "OLD\r\n");
        if (newExists)
            writeBytes(listFile(1), "NEW\r\n");
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(readBytes(listFile(1)), expectedNew);
        QCOMPARE(QFile::exists(oldFile), oldRemains);
        if (!expectedNew.isEmpty())
            QCOMPARE(ui(form).List_History->item(0)->text(),
                     QString::fromLatin1(expectedNew.chopped(2)));
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
        writeSettings();
        QDir().mkpath(TestEnvironment::dataFolder());
        const QString path = TestEnvironment::dataFolder() + u'/' + name;
        const QString fifo = asLink ? TestEnvironment::root() + QStringLiteral("/pipe") : path;
        QFile::remove(fifo);
        MAKE_FIFO(fifo);
        if (asLink)
            MAKE_SYMLINK(fifo, path);
        {
            Watchdog watchdog(10s, "the start with a pipe in the data folder");
            LauncherSession session;
            MainForm form(session);
            QVERIFY(form.formLoaded());
            QCOMPARE(ui(form).List_History->count(), 0);
        }
        QCOMPARE(fake->messages.size(), 1);
        QVERIFY(fake->messages[0].text.contains(path));
        QVERIFY(fake->messages[0].text.contains(QStringLiteral("not a regular file")));
        // Nothing was made of it: the pipe stays, and list 1 gets no file.
        QVERIFY(QFileInfo::exists(path));
        if (name == u"SearchHistory.dat")
            QVERIFY(!QFileInfo::exists(listFile(1)));
    }

    // The stored choice selects its option button and its file without a
    // prompt; a value that is not a list's number means list 1.
    void storedListIsSelected_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("three") << QByteArray("3") << 3;
        QTest::newRow("zero") << QByteArray("0") << 1;
        QTest::newRow("four") << QByteArray("4") << 1;
        QTest::newRow("negative") << QByteArray("-1") << 1;
        QTest::newRow("text") << QByteArray("two") << 1;
        QTest::newRow("huge") << QByteArray("99999999") << 1;
    }
    void storedListIsSelected()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        writeSettings("SelectedSavedList=" + stored + "\n");
        for (qint16 list = 1; list <= 3; ++list)
            writeBytes(listFile(list), "LIST " + QByteArray::number(list) + "\r\n");
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(session.selectedList(), qint16(expected));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ui(form).Option_HistoryList[i]->isChecked(), i + 1 == expected);
        QCOMPARE(session.historyFilePath(), listFile(qint16(expected)));
        QCOMPARE(ui(form).List_History->item(0)->text(), u"LIST "_qs + QString::number(expected));
        QVERIFY(fake->messages.isEmpty());
    }

    // A crafted settings file (a value nested 200,000 lists deep, under a key
    // the launcher never reads) crashed every start inside Qt's parser. The
    // launcher starts with its defaults, says once why it cannot save its
    // settings, and leaves the file exactly as it was.
    void craftedSettingsFileStartsWithDefaults()
    {
#ifdef Q_OS_WIN
        QSKIP("the registry holds no settings file to craft");
#endif
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
            LauncherSession session;
            MainForm form(session);
            QVERIFY(form.formLoaded());
            QCOMPARE(session.wikiPath(), QStringLiteral("https://nimbrel.example/nimbrel/wiki/"));
            QCOMPARE(session.historyListMaxItems(), qint16(10));
            QCOMPARE(ui(form).List_History->count(), 10);
            QCOMPARE(fake->messages.size(), 1);
            QVERIFY(fake->messages[0].text.contains(TestEnvironment::settingsFile()));
            session.setMoveItemToTop(SwitchedOn);
            ui(form).Command_Exit->click();
        }
        QCOMPARE(fake->messages.size(), 2); // the option could not be saved either
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), crafted);
    }

    void openingAndClosingWritesNothing()
    {
        writeSettings("MoveSearchedtItemToTop=1\n");
        writeBytes(listFile(1), "A\nB\r");
        const QByteArray settingsBefore = readBytes(TestEnvironment::settingsFile());
        const QDateTime listTime = QFileInfo(listFile(1)).lastModified();
        {
            LauncherSession session;
            MainForm form(session);
            form.show();
            QCOMPARE(ui(form).List_History->count(), 2);
            ui(form).Command_Exit->click();
        }
        QCOMPARE(readBytes(TestEnvironment::settingsFile()), settingsBefore);
        QCOMPARE(readBytes(listFile(1)), QByteArray("A\nB\r"));
        QCOMPARE(QFileInfo(listFile(1)).lastModified(), listTime);
    }

    void exitWritesBackWhatChanged_data()
    {
        QTest::addColumn<OptionSetting>("close");
        QTest::addColumn<OptionSetting>("move");
        QTest::addColumn<bool>("listChanged");
        QTest::addColumn<bool>("historyChanged");
        QTest::addColumn<QStringList>("expected"); // key=value lines that must be stored
        QTest::addColumn<QStringList>("absent");   // keys that must not be written
        QTest::newRow("switched on") << SwitchedOn << SwitchedOn << false << false
                                     << QStringList{QStringLiteral("CloseWhenBrowserOpen=1"),
                                                    QStringLiteral("MoveSearchedtItemToTop=1")}
                                     << QStringList{QStringLiteral("SelectedSavedList")};
        QTest::newRow("switched off") << SwitchedOff << SwitchedOff << false << false
                                      << QStringList{QStringLiteral("CloseWhenBrowserOpen=0"),
                                                     QStringLiteral("MoveSearchedtItemToTop=0")}
                                      << QStringList{};
        QTest::newRow("read values are not written")
            << OnAsStored << OnAsStored << false << false << QStringList{}
            << QStringList{QStringLiteral("MoveSearchedtItemToTop"),
                           QStringLiteral("SelectedSavedList")};
        QTest::newRow("list picked") << OffAsStored << OffAsStored << true << false
                                     << QStringList{QStringLiteral("SelectedSavedList=2")}
                                     << QStringList{QStringLiteral("MoveSearchedtItemToTop")};
        QTest::newRow("history changed")
            << OffAsStored << OffAsStored << false << true << QStringList{} << QStringList{};
    }
    void exitWritesBackWhatChanged()
    {
        QFETCH(OptionSetting, close);
        QFETCH(OptionSetting, move);
        QFETCH(bool, listChanged);
        QFETCH(bool, historyChanged);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        writeSettings();
        writeBytes(listFile(2), "OLD\r\n");
        {
            LauncherSession session;
            MainForm form(session);
            session.setCloseWhenBrowserOpen(close);
            session.setMoveItemToTop(move);
            if (listChanged) {
                session.chooseList(2);
            }
            session.setHistoryFilePath(listFile(2));
            ui(form).List_History->addItem(QStringLiteral("NEW"));
            session.setHistoryModified(historyChanged ? true : false);
            form.close();
        }
        const QByteArray settings = TestEnvironment::storedLines();
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
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(ui(form).Label_SearchData->text(), QStringLiteral("Search Nimbrel for:"));
        QCOMPARE(ui(form).Command_OpenBrowser->text(), QStringLiteral("Open Nimbrel Search"));
        QCOMPARE(ui(form).Command_Exit->text(), QStringLiteral("Exit"));
        QCOMPARE(ui(form).Command_Help->text(), QStringLiteral("Info && Settings"));
        QCOMPARE(ui(form).Command_OpenWikiMain->text(), QStringLiteral("Open Nimbrel Main Page"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ui(form).Option_HistoryList[i]->text(),
                     QStringLiteral("History List %1").arg(i + 1));
        QVERIFY(!ui(form).Command_OpenBrowser->isEnabled());
        QCOMPARE(ui(form).Text_SearchData->maxLength(), 16384);
        QCOMPARE(form.minimumSize(), form.maximumSize()); // fixed border
        QVERIFY(!form.windowIcon().isNull());

        // Every control lies inside the client area, shows its whole caption
        // and overlaps no other control.
        QCOMPARE(form.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 10);
        QCOMPARE(layoutFaults(form), QString());
    }

    void tabOrder()
    {
        writeSettings("SelectedSavedList=2\n");
        writeBytes(listFile(2), "A\r\n");
        LauncherSession session;
        MainForm form(session);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ui(form).Text_SearchData->setFocus();
        const QList<QWidget *> expected{
            ui(form).List_History,          ui(form).Command_Exit,
            ui(form).Command_Help,          ui(form).Command_OpenWikiMain,
            ui(form).Option_HistoryList[1], ui(form).Text_SearchData};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void dataFolderPathIsAFile()
    {
        QDir().rmdir(TestEnvironment::dataFolder());
        writeBytes(TestEnvironment::dataFolder(), "not a folder");
        LauncherSession session;
        MainForm form(session);
        QCOMPARE(fake->messages.size(), 1);
        QVERIFY(fake->messages[0].text.contains(TestEnvironment::dataFolder()));
        QVERIFY(form.formLoaded());
        QCOMPARE(readBytes(TestEnvironment::dataFolder()), QByteArray("not a folder"));
        QFile::remove(TestEnvironment::dataFolder());
    }

    void withoutAppDataTheXdgDataHomeIsUsed()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows always sets AppData");
#endif
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
        LauncherSession session;
        MainForm form(session);
        const QString expected = freshHome + QStringLiteral("/Nimbrel Launcher");
        QVERIFY(QFileInfo(expected).isDir());
        QCOMPARE(session.historyFilePath(), expected + QStringLiteral("/SearchHistory-1.dat"));
        QVERIFY(fake->messages.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestMainFormLifecycle)
#include "tst_mainform_lifecycle.moc"
