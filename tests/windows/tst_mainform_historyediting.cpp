#include "MainWindowFixture.h"
#include "support/SessionOptions.h"

#include <QAccessible>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QToolTip>

using namespace Nimbrel;

using namespace SettingsFixture;

// Removing single items from the history list, taking a removal back, and
// walking the history from the search box with Up and Down.
class TestMainFormHistoryEditing : public QObject, MainWindowFixture
{
    Q_OBJECT

    QLineEdit *box() const { return ui(*form).Text_SearchData; }
    QListWidget *list() const { return ui(*form).List_History; }

    // Asks for the list's context menu the way `how` names: "mouse" at the
    // row (a right-click), "menu key" or "shift+f10" about the selection.
    // Returns the menu that came up, if any.
    QMenu *requestMenu(const QString &how, int row = -1)
    {
        if (how == u"mouse") {
            const QPoint at =
                row >= 0 ? centreOf(row) : QPoint(5, list()->viewport()->height() - 3);
            QContextMenuEvent request(QContextMenuEvent::Mouse, at,
                                      list()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list()->viewport(), &request);
        } else if (how == u"menu key") {
            // What the window system makes of the menu key: a request to the
            // widget with the focus.
            list()->setFocus();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(),
                                      list()->mapToGlobal(QPoint()));
            QApplication::sendEvent(list(), &request);
        } else {
            list()->setFocus();
            QTest::keyClick(list(), Qt::Key_F10, Qt::ShiftModifier);
        }
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }

    static QAction *entry(QMenu *menu, const QString &text)
    {
        for (QAction *action : menu->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    // Chooses the entry with a click, as the user does.
    static void choose(QMenu *menu, const QString &text)
    {
        QAction *action = entry(menu, text);
        QVERIFY2(action, qPrintable(text));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    // Removes the item at `row`, selecting it first with a click.
    void removeRow(int row, const QString &how)
    {
        clickRow(row);
        if (how == u"Delete") {
            list()->setFocus();
            QTest::keyClick(list(), Qt::Key_Delete);
            return;
        }
        QMenu *menu = requestMenu(how, row);
        QVERIFY(menu);
        choose(menu, QStringLiteral("Remove from List"));
        QVERIFY(!QApplication::activePopupWidget());
    }

    void undo()
    {
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
    }

private slots:
    void init() { start(); }
    void cleanup()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        stop();
    }

    // ------------------------------------------------------------ removing

    void removeOneItem_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("inBox"); // the item selected next, or the box left alone
        const QStringList abc = texts({"A", "B", "C"});
        QStringList fullWithoutI5 = numbered(10);
        fullWithoutI5.removeAt(4);
        QTest::newRow("Delete, top item")
            << QStringLiteral("Delete") << abc << 0 << texts({"B", "C"}) << QStringLiteral("B");
        QTest::newRow("Delete, last item")
            << QStringLiteral("Delete") << abc << 2 << texts({"A", "B"}) << QStringLiteral("B");
        QTest::newRow("Delete, the only item") << QStringLiteral("Delete") << texts({"A"}) << 0
                                               << QStringList() << QStringLiteral("A");
        QTest::newRow("right-click menu, middle item")
            << QStringLiteral("mouse") << abc << 1 << texts({"A", "C"}) << QStringLiteral("C");
        QTest::newRow("right-click menu, last item")
            << QStringLiteral("mouse") << abc << 2 << texts({"A", "B"}) << QStringLiteral("B");
        QTest::newRow("menu key, list at its maximum")
            << QStringLiteral("menu key") << numbered(10) << 4 << fullWithoutI5
            << QStringLiteral("I6");
        QTest::newRow("Shift+F10, last item of a full list")
            << QStringLiteral("shift+f10") << numbered(10) << 9 << numbered(9)
            << QStringLiteral("I9");
    }
    void removeOneItem()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, before);
        QFETCH(int, row);
        QFETCH(QStringList, after);
        QFETCH(QString, inBox);
        fillList(*list(), before);
        removeRow(row, how);
        QCOMPARE(listTexts(*list()), after);
        QCOMPARE(session->historyModified(), true);
        QVERIFY(fake->messages.isEmpty()); // no question for a single removal
        QVERIFY(fake->opened.isEmpty());
        QCOMPARE(box()->text(), inBox);
        if (!after.isEmpty())
            QCOMPARE(list()->selectedItems().value(0)->text(), inBox);
    }

    // The list holds one item fewer, so the next search drops nothing.
    void removalFromFullListMakesRoom()
    {
        fillList(*list(), numbered(10));
        removeRow(4, QStringLiteral("Delete"));
        box()->setFocus();
        box()->setText(QStringLiteral("X"));
        QTest::keyClick(box(), Qt::Key_Return);
        QStringList expected = numbered(10);
        expected.removeAt(4);
        expected.prepend(QStringLiteral("X"));
        QCOMPARE(listTexts(*list()), expected);
    }

    void nothingSelectedNothingHappens()
    {
        fillList(*list(), texts({"A", "B"}));
        box()->setText(QStringLiteral("XY"));
        list()->setFocus();
        QVERIFY(list()->selectedItems().isEmpty());

        QTest::keyClick(list(), Qt::Key_Delete);
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier); // nothing to take back
        for (const char *how : {"mouse", "menu key", "shift+f10"}) {
            QMenu *menu = requestMenu(QLatin1String(how));
            QVERIFY2(!menu, how);
        }
        QCOMPARE(listTexts(*list()), texts({"A", "B"}));
        QCOMPARE(box()->text(), QStringLiteral("XY"));
        QCOMPARE(session->historyModified(), false);
    }

    void menuSearchesAndCopiesAsDoubleClickAndClick_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("inBox");
        QTest::addColumn<QString>("launched"); // null: nothing launched
        QTest::addColumn<QStringList>("after");
        const QStringList abc = texts({"A", "B", "C"});
        QTest::newRow("Search: launched and moved up")
            << abc << QStringLiteral("mouse") << QStringLiteral("Search") << QString()
            << QStringLiteral("B") << texts({"B", "A", "C"});
        QTest::newRow("Search from the keyboard, small letters unfiltered")
            << texts({"A", "b.c"}) << QStringLiteral("shift+f10") << QStringLiteral("Search")
            << QString() << QStringLiteral("b.c") << texts({"b.c", "A"});
        QTest::newRow("Search: leading blanks dropped")
            << texts({"A", "  AB"}) << QStringLiteral("mouse") << QStringLiteral("Search")
            << QString() << QStringLiteral("AB") << texts({"AB", "A", "  AB"});
        QTest::newRow("Copy: the item again after the box was edited")
            << abc << QStringLiteral("menu key") << QStringLiteral("Copy to Search Box")
            << QStringLiteral("B") << QString() << abc;
        QTest::newRow("Copy: a dash item empties the box")
            << texts({"A", "-B"}) << QStringLiteral("mouse") << QStringLiteral("Copy to Search Box")
            << QString() << QString() << texts({"A", "-B"});
    }
    void menuSearchesAndCopiesAsDoubleClickAndClick()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, how);
        QFETCH(QString, choice);
        QFETCH(QString, inBox);
        QFETCH(QString, launched);
        QFETCH(QStringList, after);
        fillList(*list(), items);
        session->setMoveItemToTop(OnAsStored);
        clickRow(1);
        QTest::keyClicks(box(), QStringLiteral("q")); // the box no longer shows the item
        QMenu *menu = requestMenu(how, 1);
        QVERIFY(menu);
        choose(menu, choice);
        QCOMPARE(box()->text(), inBox);
        QCOMPARE(ui(*form).Command_OpenBrowser->isEnabled(), !inBox.isEmpty());
        QCOMPARE(listTexts(*list()), after);
        if (launched.isNull()) {
            QVERIFY(fake->opened.isEmpty());
            QCOMPARE(list()->currentRow(), 1);
            return;
        }
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki + launched);
        QVERIFY(list()->selectedItems().isEmpty());
        QCOMPARE(QApplication::focusWidget(), box());
    }

    // A dash item cannot be searched, from the menu as little as by a double-click.
    void dashItemCannotBeSearchedFromMenu()
    {
        fillList(*list(), texts({"A", "-B"}));
        QMenu *menu = requestMenu(QStringLiteral("mouse"), 1);
        QVERIFY(menu);
        QVERIFY(!entry(menu, QStringLiteral("Search"))->isEnabled());
        choose(menu, QStringLiteral("Search"));
        QVERIFY(fake->opened.isEmpty());
        QVERIFY(box()->text().isEmpty());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
        QCOMPARE(listTexts(*list()), texts({"A", "-B"}));
        QCOMPARE(session->historyModified(), false);
    }

    // ------------------------------------------------------------ saving and undo

    void removalIsSavedAtExitWithOtherLinesByteForByte()
    {
        writeBytes(listFile(1), QByteArray("AB\r\nCAF\xc9\r\nXY\r\n"));
        openForm();
        removeRow(0, QStringLiteral("Delete"));
        form->close();
        QCOMPARE(readBytes(listFile(1)), QByteArray("CAF\xc9\r\nXY\r\n"));
    }

    void removalThenSwitchAsksToSave()
    {
        writeBytes(listFile(1), "ONE\r\nTWO\r\n");
        writeBytes(listFile(2), "OTHER\r\n");
        openForm();
        removeRow(0, QStringLiteral("mouse"));
        fake->answers = {QMessageBox::Yes};
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);
        QCOMPARE(fake->messages.size(), 1);
        QCOMPARE(fake->messages[0].title, QStringLiteral("Change List"));
        QCOMPARE(readBytes(listFile(1)), QByteArray("TWO\r\n"));
        QCOMPARE(listTexts(*list()), texts({"OTHER"}));
    }

    // One level: the last removal comes back at its place, selected, with its
    // bytes; the one before stays removed.
    void undoTakesBackTheLastRemoval()
    {
        writeBytes(listFile(1), QByteArray("AB\r\nCAF\xc9\r\nXY\r\nZZ\r\n"));
        openForm();
        removeRow(0, QStringLiteral("Delete"));
        removeRow(0, QStringLiteral("Delete")); // the undecodable line
        QCOMPARE(listTexts(*list()), texts({"XY", "ZZ"}));
        undo();
        QCOMPARE(list()->count(), 3);
        QCOMPARE(list()->item(1)->text(), QStringLiteral("XY"));
        QCOMPARE(list()->currentRow(), 0);
        QVERIFY(list()->item(0)->isSelected());
        QCOMPARE(box()->text(), list()->item(0)->text());
        undo();
        QCOMPARE(list()->count(), 3);
        QCOMPARE(session->historyModified(), true); // AB is still gone
        form->close();
        QCOMPARE(readBytes(listFile(1)), QByteArray("CAF\xc9\r\nXY\r\nZZ\r\n"));
    }

    // A removal taken back leaves nothing to save: no question at a switch,
    // and the file (which holds more lines than the list shows) untouched.
    void removalTakenBackLeavesTheFileAlone()
    {
        const QByteArray twelve = numberedLines(1, 12);
        writeBytes(listFile(1), twelve);
        openForm();
        QCOMPARE(list()->count(), 10);
        removeRow(3, QStringLiteral("shift+f10"));
        undo();
        QCOMPARE(list()->item(3)->text(), QStringLiteral("ITEM 4"));
        QCOMPARE(session->historyModified(), false);
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);
        QVERIFY(fake->messages.isEmpty());
        form->close();
        QCOMPARE(readBytes(listFile(1)), twelve);
    }

    // After any other change the place of the removed item means nothing, so
    // Ctrl+Z brings nothing back.
    void otherChangesForgetTheRemoval_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("a search") << QStringLiteral("search") << texts({"X", "A", "C"});
        QTest::newRow("the list reloaded from its file")
            << QStringLiteral("reload") << texts({"A", "B", "C"});
    }
    void otherChangesForgetTheRemoval()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, after);
        writeBytes(listFile(1), "A\r\nB\r\nC\r\n");
        openForm();
        removeRow(1, QStringLiteral("Delete"));
        if (change == u"search") {
            box()->setText(QStringLiteral("X"));
            QTest::keyClick(box(), Qt::Key_Return);
        } else {
            fake->answers = {QMessageBox::No};
            QTest::mouseClick(ui(*form).Option_HistoryList[0], Qt::LeftButton);
        }
        undo();
        QCOMPARE(listTexts(*list()), after);
    }

    // ------------------------------------------------------------ Up and Down

    void upAndDownRecall_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("keys"); // u: Up, d: Down
        QTest::addColumn<QString>("inBox");
        QTest::addColumn<int>("selected");
        const QStringList abc = texts({"A", "B", "C"});
        QTest::newRow("empty list") << QStringList() << QStringLiteral("XY") << QStringLiteral("ud")
                                    << QStringLiteral("XY") << -1;
        QTest::newRow("one item") << texts({"A"}) << QString() << QStringLiteral("u")
                                  << QStringLiteral("A") << 0;
        QTest::newRow("one item, Up again stays on it")
            << texts({"A"}) << QString() << QStringLiteral("uu") << QStringLiteral("A") << 0;
        QTest::newRow("Up twice: the second item")
            << abc << QString() << QStringLiteral("uu") << QStringLiteral("B") << 1;
        QTest::newRow("past the oldest stays on it")
            << abc << QString() << QStringLiteral("uuuuu") << QStringLiteral("C") << 2;
        QTest::newRow("Down walks back")
            << abc << QString() << QStringLiteral("uuud") << QStringLiteral("B") << 1;
        QTest::newRow("past the newest: the typed text again")
            << abc << QStringLiteral("XY") << QStringLiteral("uudd") << QStringLiteral("XY") << -1;
        QTest::newRow("past the newest: the empty box again")
            << abc << QString() << QStringLiteral("ud") << QString() << -1;
        QTest::newRow("Down first does nothing")
            << abc << QStringLiteral("XY") << QStringLiteral("d") << QStringLiteral("XY") << -1;
        QTest::newRow("dash items passed over") << texts({"-X", "A", "-Y", "B"}) << QString()
                                                << QStringLiteral("uu") << QStringLiteral("B") << 3;
        QTest::newRow("only dash items") << texts({"-X"}) << QStringLiteral("XY")
                                         << QStringLiteral("u") << QStringLiteral("XY") << -1;
        QTest::newRow("small letters and punctuation unfiltered")
            << texts({"ab.c/#"}) << QString() << QStringLiteral("u") << QStringLiteral("ab.c/#")
            << 0;
        QTest::newRow("leading blanks dropped")
            << texts({"  AB"}) << QString() << QStringLiteral("u") << QStringLiteral("AB") << 0;
        QTest::newRow("blank item leaves the box empty")
            << texts({"   "}) << QStringLiteral("XY") << QStringLiteral("u") << QString() << 0;
    }
    void upAndDownRecall()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, typed);
        QFETCH(QString, keys);
        QFETCH(QString, inBox);
        QFETCH(int, selected);
        fillList(*list(), items);
        box()->setFocus();
        QTest::keyClicks(box(), typed);
        for (const QChar key : keys)
            QTest::keyClick(box(), key == u'u' ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(box()->text(), inBox);
        QCOMPARE(ui(*form).Command_OpenBrowser->isEnabled(), !inBox.isEmpty());
        QCOMPARE(list()->selectedItems().isEmpty() ? -1 : list()->currentRow(), selected);
        QCOMPARE(listTexts(*list()), items);
        QCOMPARE(QApplication::focusWidget(), box());
        QVERIFY(fake->opened.isEmpty());
    }

    // Typing ends the walk: the next Up starts at the top again, and Down
    // past it gives back the edited text.
    void typingEndsTheWalk()
    {
        fillList(*list(), texts({"A", "B", "C"}));
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_Up);
        QTest::keyClick(box(), Qt::Key_Up);
        QTest::keyClicks(box(), QStringLiteral("q"));
        QCOMPARE(box()->text(), QStringLiteral("BQ"));
        QTest::keyClick(box(), Qt::Key_Up);
        QCOMPARE(box()->text(), QStringLiteral("A"));
        QTest::keyClick(box(), Qt::Key_Down);
        QCOMPARE(box()->text(), QStringLiteral("BQ"));
    }

    void enterSearchesTheRecalledItemAsDoubleClick_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("launched");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("found and moved up")
            << texts({"A", "ab", "C"}) << QStringLiteral("ab") << texts({"ab", "A", "C"});
        QTest::newRow("leading blanks: the trimmed term is new")
            << texts({"A", "  AB"}) << QStringLiteral("AB") << texts({"AB", "A", "  AB"});
    }
    void enterSearchesTheRecalledItemAsDoubleClick()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, launched);
        QFETCH(QStringList, after);
        fillList(*list(), items);
        session->setMoveItemToTop(OnAsStored);
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_Up);
        QTest::keyClick(box(), Qt::Key_Up);
        QTest::keyClick(box(), Qt::Key_Return);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki + launched);
        QCOMPARE(listTexts(*list()), after);
        QVERIFY(box()->text().isEmpty());
        QVERIFY(list()->selectedItems().isEmpty());
        // A new walk starts from the new top.
        QTest::keyClick(box(), Qt::Key_Up);
        QCOMPARE(box()->text(), after[0].trimmed());
    }

    // ------------------------------------------------------------ long items

    void longItemsShownWhole_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("tip");
        QTest::newRow("short item: no tooltip") << QStringLiteral("AB-12") << false;
        QTest::newRow("long term with blanks")
            << QStringLiteral("A SEARCH TERM MUCH TOO LONG FOR THE WIDTH OF THE LIST") << true;
        QTest::newRow("long run without blanks") << QString(120, u'W') << true;
        QTest::newRow("markup shown as it is")
            << QStringLiteral("<b>BOLD</b> <img src=\"x\"> &amp; <br>  TWO  BLANKS AND MORE TEXT")
            << true;
    }
    void longItemsShownWhole()
    {
        QFETCH(QString, item);
        QFETCH(bool, tip);
        QTRY_VERIFY(!QToolTip::isVisible()); // the last case's tip is gone
        fillList(*list(), {QStringLiteral("A"), item});
        const QPoint at = centreOf(1);
        QHelpEvent hover(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &hover);
        QCOMPARE(QToolTip::isVisible(), tip);
        if (tip) {
            QTextDocument shown;
            shown.setHtml(QToolTip::text());
            // Invisible break points aside, every character shows as itself.
            QCOMPARE(shown.toPlainText().remove(QChar(0x200B)), item);
            QToolTip::hideText();
        }
        QAccessibleInterface *listAccess = QAccessible::queryAccessibleInterface(list());
        QVERIFY(listAccess);
        QCOMPARE(listAccess->child(1)->text(QAccessible::Name), item);
    }
};

NIMBREL_TEST_MAIN(TestMainFormHistoryEditing)
#include "tst_mainform_historyediting.moc"
