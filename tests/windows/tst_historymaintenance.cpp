#include "InfoWindowFixture.h"

#include "desktop/SystemDesktop.h"
#include "rules/AppInfo.h"
#include "rules/LauncherSession.h"
#include "support/OddFiles.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

#include <functional>

using namespace Nimbrel;

using namespace InfoWindowFixture;

namespace
{

// Where the wiki URL is kept, as the Info window names it, and the
// confirmation that it was copied.
#ifdef Q_OS_WIN
QString locationText()
{
    return QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Nimbrel\\Settings\\WikiPath");
}
QString copiedText()
{
    return QStringLiteral("Registry key copied to Clipboard.");
}
#else
QString locationText()
{
    return TestEnvironment::settingsFile() + QStringLiteral(", key WikiPath in [Settings]");
}
QString copiedText()
{
    return QStringLiteral("Settings location copied to Clipboard:\n\n") + locationText();
}
#endif

// Stands in for the editor too: keeps what the list's file held when the
// editor was started, and may change the file as a user in the editor would.
class EditorDesktop : public FakeDesktop
{
public:
    Nimbrel::MaybeFailure openInEditor(const QString &path, int showCommand) override
    {
        fileExistedAtOpen = QFile::exists(path);
        fileAtOpen = readBytes(path);
        if (!editorWrites.isNull())
            writeBytes(path, editorWrites);
        return FakeDesktop::openInEditor(path, showCommand);
    }

    QByteArray editorWrites; // null: the user changes nothing
    bool fileExistedAtOpen = false;
    QByteArray fileAtOpen;
};

// The editor as above, with the real message boxes, as the window system
// shows and closes them.
class EditorWithRealBoxes : public EditorDesktop
{
public:
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override
    {
        return Nimbrel::SystemDesktop().showMessage(request);
    }
};

// Answers the next real message box from the keyboard once it is up, after
// handing it to `check`.
void whenMessageBoxOpens(const std::function<void(QMessageBox *)> &check, Qt::Key key)
{
    whenModalOpens<QMessageBox>([check, key](QMessageBox *box) {
        const auto answer = qScopeGuard([box, key] { QTest::keyClick(box, key); });
        check(box);
    });
}

} // namespace

class TestHistoryMaintenance : public QObject
{
    Q_OBJECT
    std::unique_ptr<EditorDesktop> fake;

private slots:
    void init()
    {
        TestEnvironment::reset();
        fake = std::make_unique<EditorDesktop>();
    }
    void cleanup() { fake.reset(); }

    void editHistoryList_data()
    {
        QTest::addColumn<int>("selectedList");
        QTest::addColumn<QByteArray>("file");       // null: no file
        QTest::addColumn<QString>("unsavedSearch"); // null: none
        QTest::addColumn<QByteArray>("editorWrites");
        QTest::addColumn<bool>("editorStarts");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QByteArray>("fileAtOpen");
        QTest::addColumn<QStringList>("listAfter");
        const QStringList ab{QStringLiteral("A"), QStringLiteral("B")};
        const QStringList newAb{QStringLiteral("NEW"), QStringLiteral("A"), QStringLiteral("B")};
        QStringList firstTen;
        for (int i = 1; i <= 10; ++i)
            firstTen << QStringLiteral("ITEM %1").arg(i);

        QTest::newRow("unsaved search is written first; No keeps the list")
            << 1 << QByteArray("A\r\nB\r\n") << QStringLiteral("NEW") << QByteArray() << true
            << QMessageBox::No << QByteArray("NEW\r\nA\r\nB\r\n") << newAb;
        QTest::newRow("nothing unsaved: the file is not rewritten")
            << 1 << QByteArray("A\r\nB") << QString() << QByteArray() << true << QMessageBox::No
            << QByteArray("A\r\nB") << ab;
        QTest::newRow("No after edits leaves the list as it was")
            << 1 << QByteArray("A\r\nB\r\n") << QString() << QByteArray("EDITED\r\n") << true
            << QMessageBox::No << QByteArray("A\r\nB\r\n") << ab;
        QTest::newRow("Yes reloads up to the maximum")
            << 3 << QByteArray("A\r\nB\r\n") << QString() << numberedLines(1, 15) << true
            << QMessageBox::Yes << QByteArray("A\r\nB\r\n") << firstTen;
        QTest::newRow("list never saved: an empty file is made for the editor")
            << 2 << QByteArray() << QString() << QByteArray() << true << QMessageBox::Yes
            << QByteArray("") << QStringList();
        QTest::newRow("editor fails to start: nothing asked, window stays")
            << 1 << QByteArray("A\r\nB\r\n") << QString() << QByteArray("EDITED\r\n") << false
            << QMessageBox::Yes << QByteArray("A\r\nB\r\n") << ab;
    }
    void editHistoryList()
    {
        QFETCH(int, selectedList);
        QFETCH(QByteArray, file);
        QFETCH(QString, unsavedSearch);
        QFETCH(QByteArray, editorWrites);
        QFETCH(bool, editorStarts);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QByteArray, fileAtOpen);
        QFETCH(QStringList, listAfter);

        writeSettings("SelectedSavedList=" + QByteArray::number(selectedList) + "\n");
        if (!file.isNull())
            writeBytes(listFile(selectedList), file);
        Windows w;
        w.info->show();
        if (!unsavedSearch.isNull()) {
            ui(*w.main).List_History->insertItem(0, unsavedSearch);
            w.session->setHistoryModified(true);
        }
        fake->editorWrites = editorWrites;
        fake->opens = editorStarts;
        fake->answers = {answer};

        ui(*w.info).Command_EditHistory->click();

        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, FakeDesktop::Editor);
        QCOMPARE(fake->opened[0].parameters, listFile(selectedList));
        QCOMPARE(fake->opened[0].showCommand, 1);
        QVERIFY(fake->fileExistedAtOpen);
        QCOMPARE(fake->fileAtOpen, fileAtOpen);

        // An editor that could not be started shows nothing to refresh from.
        if (!editorStarts) {
            QVERIFY(fake->messages.isEmpty());
            QCOMPARE(listTexts(*ui(*w.main).List_History), listAfter);
            QVERIFY(w.info->isVisible());
            return;
        }
        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &prompt = fake->messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Refresh"));
        QCOMPARE(prompt.text,
                 QStringLiteral("If changes were made to the History List a Refresh is needed\n"
                                "or the changes may be lost.\n\nRefresh now ?"));
        QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
        QCOMPARE(prompt.icon, QMessageBox::NoIcon);

        QCOMPARE(listTexts(*ui(*w.main).List_History), listAfter);
        QCOMPARE(w.session->historyModified(), false);
        QVERIFY(!w.info->isVisible());
    }

    // The empty file made for the editor is created only where nothing stands:
    // a dangling link is not followed to create a file elsewhere.
    void editNeverCreatesAFileThroughALink()
    {
        writeSettings("HistoryListMaxItems=10\n");
        QDir().mkpath(TestEnvironment::dataFolder());
        const QString outside = TestEnvironment::root() + QStringLiteral("/home/.profile");
        QFile::remove(outside);
        MAKE_SYMLINK(outside, listFile(1));
        Windows w;
        w.info->show();
        fake->answers = {QMessageBox::No};

        ui(*w.info).Command_EditHistory->click();

        QCOMPARE(fake->opened.size(), 1);
        QVERIFY(!QFileInfo::exists(outside));
        QVERIFY(QFileInfo(listFile(1)).isSymbolicLink());
    }

    // The save before the editor starts fails (a folder stands where the
    // file belongs): nothing goes on, so the unsaved search is neither handed
    // to an editor that would not show it nor thrown away by a reload.
    void editHistoryListStopsWhenTheSaveFails()
    {
        writeSettings();
        QVERIFY(QDir().mkpath(listFile(1)));
        Windows w;
        w.info->show();
        fake->messages.clear(); // the start told of the unreadable list
        ui(*w.main).List_History->insertItem(0, QStringLiteral("UNSAVED"));
        w.session->setHistoryModified(true);
        fake->answers = {QMessageBox::Ok, QMessageBox::Yes};

        ui(*w.info).Command_EditHistory->click();

        QCOMPARE(fake->messages.size(), 1);
        QCOMPARE(fake->messages[0].icon, QMessageBox::Warning);
        QVERIFY(fake->messages[0].text.contains(listFile(1)));
        QVERIFY(fake->opened.isEmpty());
        QCOMPARE(listTexts(*ui(*w.main).List_History), QStringList{QStringLiteral("UNSAVED")});
        QCOMPARE(w.session->historyModified(), true);
        QVERIFY(w.info->isVisible());
        QVERIFY(QFileInfo(listFile(1)).isDir());
    }

    void clearHistoryList_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("Yes") << QMessageBox::Yes;
        QTest::newRow("No") << QMessageBox::No;
    }
    void clearHistoryList()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        writeSettings("SelectedSavedList=2\n");
        for (int n = 1; n <= 3; ++n)
            writeBytes(listFile(n), "LIST " + QByteArray::number(n) + "\r\n");
        Windows w;
        w.info->show();
        fake->answers = {answer};

        ui(*w.info).Command_ClearHistoryList->click();

        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &prompt = fake->messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Clear History List"));
        QCOMPARE(prompt.text, QStringLiteral("Are you sure ?"));
        QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
        QCOMPARE(prompt.icon, QMessageBox::Question);

        const bool cleared = answer == QMessageBox::Yes;
        QCOMPARE(ui(*w.main).List_History->count(), cleared ? 0 : 1);
        QVERIFY(QFile::exists(listFile(2)));
        QCOMPARE(readBytes(listFile(2)), cleared ? QByteArray() : QByteArray("LIST 2\r\n"));
        QCOMPARE(readBytes(listFile(1)), QByteArray("LIST 1\r\n"));
        QCOMPARE(readBytes(listFile(3)), QByteArray("LIST 3\r\n"));
        QCOMPARE(w.info->isVisible(), !cleared);
        QVERIFY(fake->opened.isEmpty());
    }

    void copyKey_data()
    {
        QTest::addColumn<bool>("clipboardAccepts");
        QTest::newRow("clipboard takes the text") << true;
        QTest::newRow("clipboard refuses the text") << false;
    }
    void copyKey()
    {
        QFETCH(bool, clipboardAccepts);
        fake->clipboardAccepts = clipboardAccepts;
        Windows w;
        w.info->show();
        QVERIFY(QTest::qWaitForWindowActive(w.info.get()));
        ui(*w.info).Check_CloseProgram->setFocus();

        ui(*w.info).Command_CopyKey->click();

        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &message = fake->messages[0];
        QCOMPARE(message.buttons, QMessageBox::Ok);
        if (clipboardAccepts) {
            QCOMPARE(fake->clipboard, QStringList{locationText()});
            QCOMPARE(message.title, QStringLiteral("Confirmation"));
            QCOMPARE(message.text, copiedText());
            QCOMPARE(message.icon, QMessageBox::Information);
        } else {
            QVERIFY(fake->clipboard.isEmpty());
            QVERIFY(message.title != QStringLiteral("Confirmation"));
            QVERIFY(message.text.contains(QStringLiteral("could not be copied")));
            QCOMPARE(message.icon, QMessageBox::Warning);
        }
        QTRY_COMPARE(QApplication::focusWidget(), ui(*w.info).Command_CopyKey);
        QVERIFY(w.info->isVisible());
    }

    // Without the fake: real message boxes, answered from the keyboard, and
    // the real clipboard.
    void realMessageBoxes()
    {
        fake.reset();
        writeSettings();
        writeBytes(listFile(1), "A\r\nB\r\n");
        Windows w;
        w.info->show();
        QVERIFY(QTest::qWaitForWindowActive(w.info.get()));

        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        bool asked = false;
        whenMessageBoxOpens(
            [&](QMessageBox *box) {
                asked = true;
                QCOMPARE(box->windowTitle(), QStringLiteral("Confirmation"));
                QCOMPARE(box->text(), copiedText());
                QCOMPARE(box->icon(), QMessageBox::Information);
                QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            },
            Qt::Key_Return);
        ui(*w.info).Command_CopyKey->click();
        QVERIFY(asked);
        QCOMPARE(QGuiApplication::clipboard()->text(), locationText());

        asked = false;
        whenMessageBoxOpens(
            [&](QMessageBox *box) {
                asked = true;
                QCOMPARE(box->windowTitle(), QStringLiteral("Clear History List"));
                QCOMPARE(box->text(), QStringLiteral("Are you sure ?"));
                QCOMPARE(box->icon(), QMessageBox::Question);
                QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            },
            Qt::Key_Return); // the default button: Yes
        ui(*w.info).Command_ClearHistoryList->click();
        QVERIFY(asked);
        QCOMPARE(ui(*w.main).List_History->count(), 0);
        QCOMPARE(readBytes(listFile(1)), QByteArray());
        QVERIFY(!w.info->isVisible());
    }

    // Every way out of a modal window leaves the focus in an active window of
    // the launcher: on the control that opened the window, or where the
    // action puts it.
    void focusComesBackAfterModalWindows_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Qt::Key>("answer"); // Key_unknown: no message box
        QTest::addColumn<bool>("infoStays");
        QTest::addColumn<QString>("focusAfter");
        const QString openedInfo = QStringLiteral("Command_Help");
        QTest::newRow("Refresh answered Yes")
            << QStringLiteral("Command_EditHistory") << Qt::Key_Y << false << openedInfo;
        QTest::newRow("Refresh answered No")
            << QStringLiteral("Command_EditHistory") << Qt::Key_N << false << openedInfo;
        QTest::newRow("Clear answered Yes")
            << QStringLiteral("Command_ClearHistoryList") << Qt::Key_Y << false
            << QStringLiteral("Text_SearchData"); // the list is empty now
        QTest::newRow("Clear answered No")
            << QStringLiteral("Command_ClearHistoryList") << Qt::Key_N << true
            << QStringLiteral("Command_ClearHistoryList");
        QTest::newRow("Copy confirmed") << QStringLiteral("Command_CopyKey") << Qt::Key_Return
                                        << true << QStringLiteral("Command_CopyKey");
        QTest::newRow("Close") << QStringLiteral("Command_Exit") << Qt::Key_unknown << false
                               << openedInfo;
    }
    void focusComesBackAfterModalWindows()
    {
        QFETCH(QString, button);
        QFETCH(Qt::Key, answer);
        QFETCH(bool, infoStays);
        QFETCH(QString, focusAfter);
        fake.reset(); // one fake at a time: a fake's end installs the real desktop
        fake = std::make_unique<EditorWithRealBoxes>();
        writeSettings();
        writeBytes(listFile(1), "A\r\nB\r\n");
        LauncherSession session;
        auto main = std::make_unique<MainForm>(session);
        main->show();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QPushButton *help = ui(*main).Command_Help;
        help->setFocus();

        bool answered = answer == Qt::Key_unknown;
        QString focusInInfo;
        bool infoWasActive = false;
        bool infoActive = false;
        whenModalOpens<InfoForm>([&](InfoForm *info) {
            infoWasActive = QTest::qWaitForWindowActive(info);
            auto *pressed = info->findChild<QPushButton *>(button);
            pressed->setFocus();
            if (!answered)
                whenModalOpens<QMessageBox>([&](QMessageBox *box) {
                    answered = true;
                    QTest::keyClick(box, answer);
                });
            QTest::keyClick(pressed, Qt::Key_Space);
            if (info->isVisible()) {
                // Whatever happened to the window system's focus in the
                // meantime has arrived by now.
                QTest::qWait(50);
                if (QApplication::focusWidget())
                    focusInInfo = QApplication::focusWidget()->objectName();
                infoActive = QApplication::activeWindow() == info;
                info->close();
            }
        });
        QTest::keyClick(help, Qt::Key_Space);
        QVERIFY(infoWasActive);
        QVERIFY(answered);

        if (infoStays) {
            QCOMPARE(focusInInfo, focusAfter);
            QVERIFY(infoActive);
            return;
        }
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), main.get());
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focusAfter);
    }
};

NIMBREL_TEST_MAIN(TestHistoryMaintenance)
#include "tst_historymaintenance.moc"
