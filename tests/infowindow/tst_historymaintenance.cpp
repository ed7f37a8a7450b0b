#include "InfoWindowFixture.h"

#include "core/AppInfo.h"
#include "core/Module1.h"
#include "support/SpecialFiles.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace InfoWindowFixture;
using Module1::State;

namespace
{

const QString LocationText = QStringLiteral(
    "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Nimbrel\\Settings\\WikiPath");

// Stands in for the editor too: keeps what the list's file held when the
// editor was started, and may change the file as a user in the editor would.
class EditorDesktop : public FakeDesktop
{
public:
    int openInDefaultHandler(const QString &file, const QString &parameters,
                             int showCommand) override
    {
        fileExistedAtOpen = QFile::exists(parameters);
        fileAtOpen = readBytes(parameters);
        if (!editorWrites.isNull())
            writeBytes(parameters, editorWrites);
        return FakeDesktop::openInDefaultHandler(file, parameters, showCommand);
    }

    QByteArray editorWrites; // null: the user changes nothing
    bool fileExistedAtOpen = false;
    QByteArray fileAtOpen;
};

// Answers the next real message box from the keyboard once it is up, after
// handing it to `check`.
void whenMessageBoxOpens(const std::function<void(QMessageBox *)> &check, Qt::Key key)
{
    QTimer::singleShot(0, [check, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        check(box);
        QTest::keyClick(box, key);
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
        QTest::newRow("editor fails to start: still asked")
            << 1 << QByteArray("A\r\nB\r\n") << QString() << QByteArray() << false
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

        writeSettings(
            "HistoryListMaxItems=10\nSelectedSavedList=" + QByteArray::number(selectedList) + "\n");
        if (!file.isNull())
            writeBytes(listFile(selectedList), file);
        Windows w;
        w.info->show();
        if (!unsavedSearch.isNull()) {
            w.main->List_History->insertItem(0, unsavedSearch);
            State.HistoryChanged = Module1::True;
        }
        fake->editorWrites = editorWrites;
        fake->openResult = editorStarts ? 33 : 0;
        fake->answers = {answer};

        w.info->Command_EditHistory->click();

        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, QStringLiteral("Notepad"));
        QCOMPARE(fake->opened[0].parameters, listFile(selectedList));
        QCOMPARE(fake->opened[0].showCommand, 1);
        QVERIFY(fake->fileExistedAtOpen);
        QCOMPARE(fake->fileAtOpen, fileAtOpen);

        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &prompt = fake->messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Refresh"));
        QCOMPARE(prompt.text,
                 QStringLiteral("If changes were made to the History List a Refresh is needed\n"
                                "or the changes may be lost.\n\nRefresh now ?"));
        QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
        QCOMPARE(prompt.icon, QMessageBox::NoIcon);

        QCOMPARE(listTexts(*w.main->List_History), listAfter);
        QCOMPARE(State.HistoryChanged, Module1::False);
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
        QVERIFY(makeSymlink(outside, listFile(1)));
        Windows w;
        w.info->show();
        fake->answers = {QMessageBox::No};

        w.info->Command_EditHistory->click();

        QCOMPARE(fake->opened.size(), 1);
        QVERIFY(!QFileInfo::exists(outside));
        QVERIFY(QFileInfo(listFile(1)).isSymbolicLink());
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
        writeSettings("HistoryListMaxItems=10\nSelectedSavedList=2\n");
        for (int n = 1; n <= 3; ++n)
            writeBytes(listFile(n), "LIST " + QByteArray::number(n) + "\r\n");
        Windows w;
        w.info->show();
        fake->answers = {answer};

        w.info->Command_ClearHistoryList->click();

        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &prompt = fake->messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Clear History List"));
        QCOMPARE(prompt.text, QStringLiteral("Are you sure ?"));
        QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
        QCOMPARE(prompt.icon, QMessageBox::Question);

        const bool cleared = answer == QMessageBox::Yes;
        QCOMPARE(w.main->List_History->count(), cleared ? 0 : 1);
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
        w.info->Check_CloseProgram->setFocus();

        w.info->Command_CopyKey->click();

        QCOMPARE(fake->messages.size(), 1);
        const MessageRequest &message = fake->messages[0];
        QCOMPARE(message.buttons, QMessageBox::Ok);
        if (clipboardAccepts) {
            QCOMPARE(fake->clipboard, QStringList{LocationText});
            QCOMPARE(message.title, QStringLiteral("Confirmation"));
            QCOMPARE(message.text, QStringLiteral("Registry key copied to Clipboard."));
            QCOMPARE(message.icon, QMessageBox::Information);
        } else {
            QVERIFY(fake->clipboard.isEmpty());
            QVERIFY(message.title != QStringLiteral("Confirmation"));
            QVERIFY(message.text.contains(QStringLiteral("could not be copied")));
            QCOMPARE(message.icon, QMessageBox::Warning);
        }
        QTRY_COMPARE(QApplication::focusWidget(), w.info->Command_Exit);
        QVERIFY(w.info->isVisible());
    }

    // Without the fake: real message boxes, answered from the keyboard, and
    // the real clipboard.
    void realMessageBoxes()
    {
        fake.reset();
        writeSettings("HistoryListMaxItems=10\n");
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
                QCOMPARE(box->text(), QStringLiteral("Registry key copied to Clipboard."));
                QCOMPARE(box->icon(), QMessageBox::Information);
                QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            },
            Qt::Key_Return);
        w.info->Command_CopyKey->click();
        QVERIFY(asked);
        QCOMPARE(QGuiApplication::clipboard()->text(), LocationText);

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
        w.info->Command_ClearHistoryList->click();
        QVERIFY(asked);
        QCOMPARE(w.main->List_History->count(), 0);
        QCOMPARE(readBytes(listFile(1)), QByteArray());
        QVERIFY(!w.info->isVisible());
    }
};

NIMBREL_TEST_MAIN(TestHistoryMaintenance)
#include "tst_historymaintenance.moc"
