#include "support/FakeDesktop.h"
#include "support/SessionOptions.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"
#include "windows/MainForm.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

#include <memory>

using namespace Nimbrel;

using namespace SettingsFixture;

namespace
{

// QTest::keyClicks handles ASCII only; other characters arrive as a key with
// text, the way a keyboard layout that has them sends them.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(widget, char(ch.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), {});
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), {});
        }
    }
}

} // namespace

class TestMainFormSearch : public QObject
{
    Q_OBJECT
    FakeDesktop *fake = nullptr;
    std::unique_ptr<LauncherSession> session;
    MainForm *form = nullptr;

    QLineEdit *box() const { return ui(*form).Text_SearchData; }

    // The idle state every launch ends in.
    void verifyIdleAfterLaunch()
    {
        QVERIFY(box()->text().isEmpty());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
        QVERIFY(ui(*form).List_History->selectedItems().isEmpty());
        QCOMPARE(ui(*form).List_History->currentRow(), -1);
        QCOMPARE(QApplication::focusWidget(), box());
    }

private slots:
    void init()
    {
        TestEnvironment::reset();
        writeSettings();
        fake = new FakeDesktop;
        session = std::make_unique<LauncherSession>();
        form = new MainForm(*session);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form));
        box()->setFocus();
    }
    void cleanup()
    {
        delete form;
        session.reset();
        delete fake;
    }

    void launchUpdatesHistory_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("maxItems");
        QTest::addColumn<OptionSetting>("moveItemToTop");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("changed");
        const QStringList abc = texts({"A", "B", "C"});
        QStringList movedI10 = numbered(9);
        movedI10.prepend(QStringLiteral("I10"));
        QStringList newX = numbered(9);
        newX.prepend(QStringLiteral("X"));

        // Which edit a launch makes is the rule's (tst_searchrules); these rows show
        // that the window applies it, with the option as read and as switched.
        QTest::newRow("empty list, AB")
            << QStringList() << 10 << OffAsStored << QStringLiteral("AB") << texts({"AB"}) << true;
        QTest::newRow("B moves up, option on as read")
            << abc << 10 << OnAsStored << QStringLiteral("B") << texts({"B", "A", "C"}) << true;
        QTest::newRow("B moves up, option switched on")
            << abc << 10 << SwitchedOn << QStringLiteral("B") << texts({"B", "A", "C"}) << true;
        QTest::newRow("B stays, option off as read")
            << abc << 10 << OffAsStored << QStringLiteral("B") << abc << false;
        QTest::newRow("B stays, option switched off")
            << abc << 10 << SwitchedOff << QStringLiteral("B") << abc << false;
        QTest::newRow("full list drops its bottom for X")
            << numbered(10) << 10 << OffAsStored << QStringLiteral("X") << newX << true;
        QTest::newRow("full list, I10 moves, nothing dropped")
            << numbered(10) << 10 << OnAsStored << QStringLiteral("I10") << movedI10 << true;
        QTest::newRow("empty term inserted, full list drops bottom")
            << abc << 3 << OffAsStored << QString() << texts({"", "A", "B"}) << true;
        QTest::newRow("shell characters are just text")
            << QStringList() << 10 << OffAsStored << QStringLiteral("\"; rm -rf ~")
            << texts({"\"; rm -rf ~"}) << true;
    }
    void launchUpdatesHistory()
    {
        QFETCH(QStringList, before);
        QFETCH(int, maxItems);
        QFETCH(OptionSetting, moveItemToTop);
        QFETCH(QString, term);
        QFETCH(QStringList, after);
        QFETCH(bool, changed);
        fillList(*ui(*form).List_History, before);
        ui(*form).List_History->setCurrentRow(0); // the launch must deselect it
        session->setHistoryListMaxItems(qint16(maxItems));
        session->setMoveItemToTop(moveItemToTop);
        box()->setText(term);

        QTest::keyClick(box(), Qt::Key_Return);

        QCOMPARE(listTexts(*ui(*form).List_History), after);
        QCOMPARE(session->historyModified(), changed ? true : false);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki + term);
        QVERIFY(fake->opened[0].parameters.isNull());
        QCOMPARE(fake->opened[0].showCommand, 1);
        verifyIdleAfterLaunch();
        QVERIFY(form->isVisible());
    }

    void unchangedListKeepsEarlierChangeMark()
    {
        fillList(*ui(*form).List_History, texts({"A", "B"}));
        session->setHistoryModified(true);
        box()->setText(QStringLiteral("A"));
        ui(*form).Command_OpenBrowser->click();
        QCOMPARE(session->historyModified(), true);
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"A", "B"}));
    }

    void everyWayToLaunch_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("button click") << QStringLiteral("click");
        QTest::newRow("Return") << QStringLiteral("return");
        QTest::newRow("keypad Enter") << QStringLiteral("enter");
    }
    void everyWayToLaunch()
    {
        QFETCH(QString, how);
        QTest::keyClicks(box(), QStringLiteral("ab-12"));
        QVERIFY(ui(*form).Command_OpenBrowser->isEnabled());
        if (how == u"click")
            QTest::mouseClick(ui(*form).Command_OpenBrowser, Qt::LeftButton);
        else if (how == u"return")
            QTest::keyClick(box(), Qt::Key_Return);
        else
            QTest::keyClick(box(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki + QStringLiteral("AB-12"));
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"AB-12"}));
        verifyIdleAfterLaunch();
    }

    // Enter and the keypad's Enter press the push button that has the focus,
    // as Space does.
    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        for (const char *button :
             {"Command_OpenBrowser", "Command_OpenWikiMain", "Command_Help", "Command_Exit"}) {
            QTest::addRow("%s, Return", button)
                << QString::fromLatin1(button) << int(Qt::Key_Return) << int(Qt::NoModifier);
            QTest::addRow("%s, keypad Enter", button)
                << QString::fromLatin1(button) << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        }
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QTest::keyClicks(box(), QStringLiteral("ab"));
        auto *pushButton = form->findChild<QPushButton *>(button);
        QVERIFY(pushButton);
        pushButton->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), pushButton);
        const bool opensInfo = button == u"Command_Help";
        const auto infoOpened =
            opensInfo ? whenModalOpens<InfoForm>([](InfoForm *info) { info->close(); })
                      : std::make_shared<bool>(false);

        QTest::keyClick(pushButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        QStringList opened;
        for (const FakeDesktop::Opened &entry : std::as_const(fake->opened))
            opened << entry.file;
        const QStringList expectedOpened = button == u"Command_OpenBrowser"
                                               ? QStringList{Wiki + u"AB"_qs}
                                           : button == u"Command_OpenWikiMain" ? QStringList{Wiki}
                                                                               : QStringList();
        QCOMPARE(opened, expectedOpened);
        QCOMPARE(*infoOpened, opensInfo);
        QCOMPARE(form->isVisible(), button != u"Command_Exit");
    }

    void enterInEmptyBoxLaunchesWikiAlone()
    {
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
        QTest::keyClick(box(), Qt::Key_Return);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki);
        QCOMPARE(listTexts(*ui(*form).List_History), QStringList{QString()});
    }

    void urlIsWikiPathFollowedByTerm_data()
    {
        QTest::addColumn<QString>("wikiPath");
        QTest::addColumn<QString>("term");
        QTest::newRow("no trailing slash")
            << QStringLiteral("https://w.example/wiki") << QStringLiteral("AB");
        QTest::newRow("empty wiki path") << QString() << QStringLiteral("AB");
        QTest::newRow("blank inside term") << Wiki << QStringLiteral("AB 12");
        QTest::newRow("command substitution") << Wiki << QStringLiteral("$(reboot)");
        QTest::newRow("quotes, percent and hash")
            << Wiki << QStringLiteral("a'b\"c %41 %zz #frag & | > `x`");
        QTest::newRow("undecodable byte shown as replacement")
            << Wiki << QStringLiteral("CAF\uFFFD");
        QTest::newRow("control characters") << Wiki << QStringLiteral("A\tB\x01\x7f");
        QTest::newRow("beyond 16 bits") << Wiki << QStringLiteral("\U0001F600");
        QTest::newRow("the longest term") << Wiki << QString(16384, u'Q');
    }
    void urlIsWikiPathFollowedByTerm()
    {
        QFETCH(QString, wikiPath);
        QFETCH(QString, term);
        session->setWikiPath(wikiPath);
        box()->setText(term);
        QCOMPARE(box()->text(), term); // the box cuts nothing
        QTest::keyClick(box(), Qt::Key_Return);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, wikiPath + term);
        QCOMPARE(listTexts(*ui(*form).List_History), QStringList{term});
    }

    void closeWhenBrowserOpen_data()
    {
        QTest::addColumn<OptionSetting>("option");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("closes");
        QTest::newRow("off as read") << OffAsStored << true << false;
        QTest::newRow("on as read") << OnAsStored << true << true;
        QTest::newRow("switched off") << SwitchedOff << true << false;
        QTest::newRow("switched on") << SwitchedOn << true << true;
        // The user has been told; closing would hide that nothing opened.
        QTest::newRow("on, but nothing could be opened") << OnAsStored << false << false;
    }
    void closeWhenBrowserOpen()
    {
        QFETCH(OptionSetting, option);
        QFETCH(bool, opens);
        QFETCH(bool, closes);
        fake->opens = opens;
        session->setCloseWhenBrowserOpen(option);
        box()->setText(QStringLiteral("AB"));
        QTest::keyClick(box(), Qt::Key_Return);
        QCOMPARE(!form->isVisible(), closes);
        // Closing saves the changed list on the way out.
        QCOMPARE(readBytes(listFile(1)), closes ? QByteArray("AB\r\n") : QByteArray());

        delete form;
        form = new MainForm(*session);
        form->show();
        session->setCloseWhenBrowserOpen(option);
        ui(*form).Command_OpenWikiMain->click();
        QCOMPARE(!form->isVisible(), closes);
    }

    // A term from another start takes the box; what the user had typed there
    // and not sent comes back with Down, also after a walk through the list,
    // and a term that leaves nothing to search leaves the box alone.
    void termFromOutsideKeepsUnsentText()
    {
        QTest::keyClicks(box(), QStringLiteral("half"));
        QVERIFY(form->searchFromOutside(QStringLiteral("other")));
        QCOMPARE(fake->opened.last().file, Wiki + QStringLiteral("OTHER"));
        QCOMPARE(box()->text(), QString());
        QTest::keyClick(box(), Qt::Key_Up);
        QCOMPARE(box()->text(), QStringLiteral("OTHER"));
        QTest::keyClick(box(), Qt::Key_Down);
        QCOMPARE(box()->text(), QString());
        QTest::keyClick(box(), Qt::Key_Down);
        QCOMPARE(box()->text(), QStringLiteral("HALF"));

        QVERIFY(!form->searchFromOutside(QStringLiteral("!?")));
        QCOMPARE(box()->text(), QStringLiteral("HALF"));
        QCOMPARE(fake->opened.size(), 1);
    }

    void mainPageOpensWikiPathAlone()
    {
        fillList(*ui(*form).List_History, texts({"A", "B"}));
        ui(*form).List_History->setCurrentRow(1);
        box()->setText(QStringLiteral("XY"));
        ui(*form).Command_Help->setFocus();
        QTest::mouseClick(ui(*form).Command_OpenWikiMain, Qt::LeftButton);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki);
        QVERIFY(fake->opened[0].parameters.isNull());
        QCOMPARE(fake->opened[0].showCommand, 1);
        QCOMPARE(box()->text(), QStringLiteral("XY"));
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"A", "B"}));
        QCOMPARE(session->historyModified(), false);
        QCOMPARE(QApplication::focusWidget(), box());
    }

    void typing_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("selected"); // characters selected from the caret on
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("small letters become capitals")
            << QString() << 0 << 0 << QStringLiteral("ab 1x") << QStringLiteral("AB 1X");
        QTest::newRow("space into empty box")
            << QString() << 0 << 0 << QStringLiteral(" ") << QString();
        QTest::newRow("punctuation discarded")
            << QStringLiteral("AB") << 2 << 0 << QStringLiteral(".?/#%\"';")
            << QStringLiteral("AB");
        QTest::newRow("accented letters discarded")
            << QStringLiteral("AB") << 2 << 0 << QStringLiteral("\u00e9\u00dc")
            << QStringLiteral("AB");
        QTest::newRow("dash into empty box")
            << QString() << 0 << 0 << QStringLiteral("-") << QString();
        QTest::newRow("dash at start of AB")
            << QStringLiteral("AB") << 0 << 0 << QStringLiteral("-") << QStringLiteral("AB");
        QTest::newRow("dash at end of AB")
            << QStringLiteral("AB") << 2 << 0 << QStringLiteral("-") << QStringLiteral("AB-");
        QTest::newRow("dash before dash of A-B")
            << QStringLiteral("A-B") << 1 << 0 << QStringLiteral("-") << QStringLiteral("A-B");
        QTest::newRow("dash after dash of A-B")
            << QStringLiteral("A-B") << 2 << 0 << QStringLiteral("-") << QStringLiteral("A-B");
        QTest::newRow("third dash, caret at end")
            << QStringLiteral("A-B-C") << 5 << 0 << QStringLiteral("-") << QStringLiteral("A-B-C");
        QTest::newRow("third dash, caret after A")
            << QStringLiteral("AX-B-C") << 1 << 0 << QStringLiteral("-")
            << QStringLiteral("AX-B-C");
        QTest::newRow("whole text selected, dash")
            << QStringLiteral("AB") << 0 << 2 << QStringLiteral("-") << QStringLiteral("AB");
        QTest::newRow("selection replaced by capital")
            << QStringLiteral("ABC") << 1 << 1 << QStringLiteral("x") << QStringLiteral("AXC");
        QTest::newRow("typed key by key, at most two dashes")
            << QString() << 0 << 0 << QStringLiteral("a--b-c-d") << QStringLiteral("A-B-CD");
        QTest::newRow("four dashes from a history item accept a fifth")
            << QStringLiteral("A-B-C-D") << 7 << 0 << QStringLiteral("-")
            << QStringLiteral("A-B-C-D-");
        QTest::newRow("space at the start of text vanishes")
            << QStringLiteral("AB") << 0 << 0 << QStringLiteral(" x") << QStringLiteral("XAB");
    }
    void typing()
    {
        QFETCH(QString, start);
        QFETCH(int, caret);
        QFETCH(int, selected);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        box()->setText(start);
        box()->setSelection(caret, selected);
        if (selected == 0)
            box()->setCursorPosition(caret);
        typeText(box(), typed);
        QCOMPARE(box()->text(), expected);
        QCOMPARE(ui(*form).Command_OpenBrowser->isEnabled(), !expected.isEmpty());
        QVERIFY(fake->opened.isEmpty());
    }

    void editingKeysKeepTheirMeaning()
    {
        QTest::keyClicks(box(), QStringLiteral("ABCD"));
        QTest::keyClick(box(), Qt::Key_Home);
        QTest::keyClick(box(), Qt::Key_Delete);
        QCOMPARE(box()->text(), QStringLiteral("BCD"));
        QTest::keyClick(box(), Qt::Key_End);
        QTest::keyClick(box(), Qt::Key_Backspace);
        QTest::keyClick(box(), Qt::Key_Left);
        QTest::keyClick(box(), Qt::Key_X);
        QCOMPARE(box()->text(), QStringLiteral("BXC"));

        QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier); // select all
        QTest::keyClick(box(), Qt::Key_C, Qt::ControlModifier); // copy
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("BXC"));
        QTest::keyClick(box(), Qt::Key_X, Qt::ControlModifier); // cut
        QCOMPARE(box()->text(), QString());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
        QTest::keyClick(box(), Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(box()->text(), QStringLiteral("BXC"));
        QVERIFY(ui(*form).Command_OpenBrowser->isEnabled());

        QTest::keyClick(box(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ui(*form).List_History);
        QTest::keyClick(ui(*form).List_History, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), box());
        QVERIFY(fake->opened.isEmpty());
    }

    void leadingBlanksAreRemoved_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("deleteKey");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("Delete before the blank of A B")
            << QStringLiteral("A B") << 0 << int(Qt::Key_Delete) << QStringLiteral("B") << 0;
        QTest::newRow("Backspace after A of A  BC")
            << QStringLiteral("A  BC") << 1 << int(Qt::Key_Backspace) << QStringLiteral("BC") << 0;
        QTest::newRow("caret keeps its place later on")
            << QStringLiteral("A BCD") << 1 << int(Qt::Key_Backspace) << QStringLiteral("BCD") << 0;
    }
    void leadingBlanksAreRemoved()
    {
        QFETCH(QString, start);
        QFETCH(int, caret);
        QFETCH(int, deleteKey);
        QFETCH(QString, expected);
        QFETCH(int, caretAfter);
        box()->setText(start);
        box()->setCursorPosition(caret);
        QTest::keyClick(box(), Qt::Key(deleteKey));
        QCOMPARE(box()->text(), expected);
        QCOMPARE(box()->cursorPosition(), caretAfter);
    }

    void textPutByTheProgramIsNotFilteredButLosesLeadingBlanks()
    {
        box()->setText(QStringLiteral("   ab.c"));
        QCOMPARE(box()->text(), QStringLiteral("ab.c"));
        QVERIFY(ui(*form).Command_OpenBrowser->isEnabled());
        box()->setText(QStringLiteral("    "));
        QCOMPARE(box()->text(), QString());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
    }

    void doubleClickEmptiesTheBox()
    {
        QTest::keyClicks(box(), QStringLiteral("AB"));
        QTest::mouseDClick(box(), Qt::LeftButton);
        QCOMPARE(box()->text(), QString());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
        QVERIFY(fake->opened.isEmpty());
    }

    void pastedTextIsFilteredAsIfTyped_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+V") << QStringLiteral("ctrl+v");
        QTest::newRow("Shift+Insert") << QStringLiteral("shift+insert");
        QTest::newRow("context menu") << QStringLiteral("menu");
        QTest::newRow("drop") << QStringLiteral("drop");
        QTest::newRow("input method") << QStringLiteral("input method");
    }
    void pastedTextIsFilteredAsIfTyped()
    {
        QFETCH(QString, how);
        const QString incoming = QStringLiteral("-ab.c--d\n$(x) \u00e9");
        QGuiApplication::clipboard()->setText(incoming);
        box()->setText(QStringLiteral("Q"));
        if (how == u"ctrl+v") {
            QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
        } else if (how == u"shift+insert") {
            QTest::keyClick(box(), Qt::Key_Insert, Qt::ShiftModifier);
        } else if (how == u"menu") {
            QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2),
                                      box()->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(box(), &request);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            // Paste is the only entry whose shortcut is the paste key.
            const QString pasteKey =
                QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
            QAction *paste = nullptr;
            for (QAction *action : menu->actions())
                if (action->text().endsWith(u'\t' + pasteKey))
                    paste = action;
            QVERIFY(paste);
            paste->trigger();
            menu->close();
        } else if (how == u"drop") {
            QMimeData data;
            data.setText(incoming);
            const QPointF end(box()->width() - 2, box()->height() / 2);
            QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(box(), &enter);
            QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(box(), &drop);
            QVERIFY(drop.isAccepted());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(incoming);
            QApplication::sendEvent(box(), &commit);
        }
        QCOMPARE(box()->text(),
                 QStringLiteral("Q-ABC-DX ")); // the blank passes, the letter after it not
        QVERIFY(fake->opened.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestMainFormSearch)
#include "tst_mainform_search.moc"
