#include "MainWindowFixture.h"
#include "support/SessionOptions.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Nimbrel;

using namespace SettingsFixture;

class TestMainFormHistoryList : public QObject, MainWindowFixture
{
    Q_OBJECT

    // Puts an unsaved term at the top of list 1, as a launch does.
    void launchUnsavedTerm()
    {
        ui(*form).Text_SearchData->setText(QStringLiteral("NEW"));
        QTest::keyClick(ui(*form).Text_SearchData, Qt::Key_Return);
        QCOMPARE(session->historyModified(), true);
        fake->opened.clear();
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void clickCopiesItemIntoBox_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("inBox");
        QTest::newRow("plain term") << QStringLiteral("AB-12") << QStringLiteral("AB-12");
        QTest::newRow("dash item empties the box") << QStringLiteral("-AB") << QString();
        QTest::newRow("leading blanks dropped") << QStringLiteral("  AB") << QStringLiteral("AB");
        QTest::newRow("small letters and punctuation kept unfiltered")
            << QStringLiteral("ab.c/#?") << QStringLiteral("ab.c/#?");
        QTest::newRow("empty item") << QString() << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
    }
    void clickCopiesItemIntoBox()
    {
        QFETCH(QString, item);
        QFETCH(QString, inBox);
        fillList(*ui(*form).List_History, {QStringLiteral("TOP"), item});
        ui(*form).Text_SearchData->setText(QStringLiteral("XY"));
        clickRow(1);
        QCOMPARE(ui(*form).Text_SearchData->text(), inBox);
        QCOMPARE(ui(*form).Command_OpenBrowser->isEnabled(), !inBox.isEmpty());
        QCOMPARE(ui(*form).List_History->currentRow(), 1);
        QVERIFY(ui(*form).List_History->item(1)->isSelected());
        QCOMPARE(listTexts(*ui(*form).List_History), QStringList({QStringLiteral("TOP"), item}));
        QCOMPARE(session->historyModified(), false);
        QVERIFY(fake->opened.isEmpty());
    }

    void clickAndKeyboardPickAgain()
    {
        fillList(*ui(*form).List_History, texts({"A", "B", "C"}));
        clickRow(0);
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("A"));
        QTest::keyClicks(ui(*form).Text_SearchData, QStringLiteral("x"));
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("AX"));
        clickRow(0); // the selected item again
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("A"));

        ui(*form).List_History->setFocus();
        QTest::keyClick(ui(*form).List_History, Qt::Key_Down);
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("B"));
        QTest::keyClick(ui(*form).List_History, Qt::Key_End);
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("C"));
        QVERIFY(fake->opened.isEmpty());
    }

    void clickOrDoubleClickBesideTheItemsDoesNothing()
    {
        fillList(*ui(*form).List_History, texts({"A"}));
        ui(*form).Text_SearchData->setText(QStringLiteral("XY"));
        const QPoint below(5, ui(*form).List_History->viewport()->height() - 3);
        QVERIFY(!ui(*form).List_History->itemAt(below));
        QTest::mouseClick(ui(*form).List_History->viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(ui(*form).List_History->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("XY"));
        QVERIFY(fake->opened.isEmpty());
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"A"}));
        // Called with nothing selected, the handlers leave everything alone.
        QMetaObject::invokeMethod(form, "copySelectedItem");
        QMetaObject::invokeMethod(form, "searchSelectedItem");
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("XY"));
        QVERIFY(fake->opened.isEmpty());
    }

    void doubleClickLaunches_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<OptionSetting>("moveItemToTop");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("launched"); // null: nothing launched
        const QStringList abc = texts({"A", "B", "C"});
        QTest::newRow("B moves up")
            << abc << OnAsStored << 1 << texts({"B", "A", "C"}) << QStringLiteral("B");
        QTest::newRow("B stays with moving off")
            << abc << OffAsStored << 1 << abc << QStringLiteral("B");
        QTest::newRow("small letters found as they are")
            << texts({"A", "ab"}) << SwitchedOn << 1 << texts({"ab", "A"}) << QStringLiteral("ab");
        QTest::newRow("leading blanks: the trimmed term is new")
            << texts({"A", "  AB"}) << OnAsStored << 1 << texts({"AB", "A", "  AB"})
            << QStringLiteral("AB");
        QTest::newRow("empty item found and moved")
            << texts({"A", ""}) << OnAsStored << 1 << texts({"", "A"}) << QString(u""_qs);
        QTest::newRow("dash item launches nothing")
            << texts({"A", "-X"}) << OnAsStored << 1 << texts({"A", "-X"}) << QString();
    }
    void doubleClickLaunches()
    {
        QFETCH(QStringList, before);
        QFETCH(OptionSetting, moveItemToTop);
        QFETCH(int, row);
        QFETCH(QStringList, after);
        QFETCH(QString, launched);
        fillList(*ui(*form).List_History, before);
        session->setMoveItemToTop(moveItemToTop);
        doubleClickRow(row);
        QCOMPARE(listTexts(*ui(*form).List_History), after);
        if (launched.isNull()) {
            QVERIFY(fake->opened.isEmpty());
            QCOMPARE(session->historyModified(), false);
        } else {
            QCOMPARE(fake->opened.size(), 1);
            QCOMPARE(fake->opened[0].file, Wiki + launched);
            QVERIFY(ui(*form).List_History->selectedItems().isEmpty());
            QCOMPARE(QApplication::focusWidget(), ui(*form).Text_SearchData);
        }
        QVERIFY(ui(*form).Text_SearchData->text().isEmpty());
        QVERIFY(!ui(*form).Command_OpenBrowser->isEnabled());
    }

    void movedItemKeepsItsFileBytes()
    {
        writeBytes(listFile(1), QByteArray("AB\r\nCAF\xc9\r\n"));
        writeSettings("MoveSearchedtItemToTop=1\n");
        openForm();
        QCOMPARE(ui(*form).List_History->count(), 2);
        doubleClickRow(1);
        QCOMPARE(fake->opened.size(), 1);
        form->close();
        QCOMPARE(readBytes(listFile(1)), QByteArray("CAF\xc9\r\nAB\r\n"));
    }

    void switchingWithoutChangesAsksNothing()
    {
        writeBytes(listFile(1), "ONE\r\n");
        writeBytes(listFile(2), "TWO\r\n");
        openForm();
        ui(*form).List_History->setFocus();
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);
        QVERIFY(fake->messages.isEmpty());
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"TWO"}));
        QCOMPARE(session->selectedList(), qint16(2));
        QCOMPARE(session->historyFilePath(), listFile(2));
        QCOMPARE(session->listChosen(), true);
        QCOMPARE(QApplication::focusWidget(), ui(*form).Text_SearchData);

        // A list without a file shows empty, and choosing it creates nothing.
        QTest::mouseClick(ui(*form).Option_HistoryList[2], Qt::LeftButton);
        QCOMPARE(ui(*form).List_History->count(), 0);
        QVERIFY(!QFile::exists(listFile(3)));

        // Back to list 1: reloaded, and remembered at exit.
        QTest::mouseClick(ui(*form).Option_HistoryList[0], Qt::LeftButton);
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"ONE"}));
        form->close();
        QVERIFY(TestEnvironment::storedLines().contains("SelectedSavedList=1\n"));
        QVERIFY(!QFile::exists(listFile(3)));
    }

    // The keyboard way: Shift+Tab from the search box reaches the selected
    // list's button, and the arrow keys move the choice within the group. Each
    // move is a click on the list it lands on, after which the next key typed
    // goes into the search box again.
    void arrowKeysChooseAList()
    {
        writeBytes(listFile(1), "ONE\r\n");
        writeBytes(listFile(2), "TWO\r\n");
        openForm();
        QLineEdit *box = ui(*form).Text_SearchData;
        const auto arrowFromSearchBox = [&](Qt::Key arrow) {
            QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
            QVERIFY(QApplication::focusWidget() != box);
            QTest::keyClick(QApplication::focusWidget(), arrow);
        };

        arrowFromSearchBox(Qt::Key_Down);
        QVERIFY(ui(*form).Option_HistoryList[1]->isChecked());
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"TWO"}));
        QCOMPARE(session->selectedList(), qint16(2));
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
        QCOMPARE(box->text(), QStringLiteral("A"));

        arrowFromSearchBox(Qt::Key_Up);
        QVERIFY(ui(*form).Option_HistoryList[0]->isChecked());
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"ONE"}));
        QCOMPARE(QApplication::focusWidget(), box);
    }

    // Called off from the keyboard, the switch leaves the focus in the search
    // box, not on the button that is no longer selected.
    void arrowKeyCancelledKeepsTheFocusInTheSearchBox()
    {
        launchUnsavedTerm();
        fake->answers = {QMessageBox::Cancel};
        QLineEdit *box = ui(*form).Text_SearchData;
        QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), ui(*form).Option_HistoryList[0]);
        QTest::keyClick(ui(*form).Option_HistoryList[0], Qt::Key_Down);
        QCOMPARE(fake->messages.size(), 1);
        QVERIFY(ui(*form).Option_HistoryList[0]->isChecked());
        QCOMPARE(session->selectedList(), qint16(1));
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("b"));
        QCOMPARE(box->text(), QStringLiteral("B"));
    }

    // A screen reader meets a window, and hears of a list item having the
    // focus only while the list has it.
    void screenReadersSeeTheWindowAndWhereTheFocusIs()
    {
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form);
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);

        fillList(*ui(*form).List_History, texts({"A", "B", "C"}));
        clickRow(1);
        QCOMPARE(QApplication::focusWidget(), ui(*form).List_History);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(ui(*form).List_History);
        const auto itemState = [list](const QString &name) {
            for (int i = 0; i < list->childCount(); ++i) {
                if (list->child(i)->text(QAccessible::Name) == name)
                    return list->child(i)->state();
            }
            qFatal("no accessible item %s", qPrintable(name));
        };
        QVERIFY(itemState(QStringLiteral("B")).focused);

        QTest::keyClick(ui(*form).List_History, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != ui(*form).List_History);
        for (const QString &name : texts({"A", "B", "C"}))
            QVERIFY2(!itemState(name).focused, qPrintable(name));
        QVERIFY(itemState(QStringLiteral("B")).selected);

        // Back in the list, the keyboard goes on from the item it left.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), ui(*form).List_History);
        QVERIFY(itemState(QStringLiteral("B")).focused);
        QTest::keyClick(ui(*form).List_History, Qt::Key_Down);
        QCOMPARE(ui(*form).Text_SearchData->text(), QStringLiteral("C"));
    }

    void choosingTheCurrentListReloadsIt()
    {
        writeBytes(listFile(1), "ONE\r\n");
        openForm();
        writeBytes(listFile(1), "EDITED\r\n");
        // A click on the button already selected, as the user makes it.
        QTest::mouseClick(ui(*form).Option_HistoryList[0], Qt::LeftButton);
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"EDITED"}));
        QCOMPARE(session->listChosen(), true);
        QCOMPARE(session->historyFilePath(), listFile(1));
    }

    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("switches");
        QTest::addColumn<QByteArray>("oldFile");
        QTest::newRow("Yes saves, then switches")
            << int(QMessageBox::Yes) << true << QByteArray("NEW\r\nONE\r\n");
        QTest::newRow("No discards, then switches")
            << int(QMessageBox::No) << true << QByteArray("ONE\r\n");
        QTest::newRow("Cancel keeps the list")
            << int(QMessageBox::Cancel) << false << QByteArray("ONE\r\n");
        QTest::newRow("no answer counts as Cancel")
            << int(QMessageBox::NoButton) << false << QByteArray("ONE\r\n");
    }
    void unsavedChangesAreAskedAbout()
    {
        QFETCH(int, answer);
        QFETCH(bool, switches);
        QFETCH(QByteArray, oldFile);
        writeBytes(listFile(1), "ONE\r\n");
        writeBytes(listFile(2), "TWO\r\n");
        openForm();
        launchUnsavedTerm();
        fake->answers = {QMessageBox::StandardButton(answer)};
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);

        QCOMPARE(fake->messages.size(), 1); // the re-selection asks nothing
        const MessageRequest &prompt = fake->messages[0];
        QCOMPARE(prompt.title, QStringLiteral("Change List"));
        QCOMPARE(prompt.text, QStringLiteral("The current list has chnaged.\n\nDo you want to save "
                                             "it before changing to abother list ?"));
        QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
        QCOMPARE(prompt.icon, QMessageBox::Question);

        QCOMPARE(readBytes(listFile(1)), oldFile);
        QCOMPARE(readBytes(listFile(2)), QByteArray("TWO\r\n"));
        QCOMPARE(QApplication::focusWidget(), ui(*form).Text_SearchData);
        if (switches) {
            QCOMPARE(listTexts(*ui(*form).List_History), texts({"TWO"}));
            QVERIFY(ui(*form).Option_HistoryList[1]->isChecked());
            QCOMPARE(session->selectedList(), qint16(2));
            QCOMPARE(session->historyFilePath(), listFile(2));
            QCOMPARE(session->historyModified(), false);
            QCOMPARE(session->listChosen(), true);
            return;
        }
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"NEW", "ONE"}));
        QVERIFY(ui(*form).Option_HistoryList[0]->isChecked());
        QVERIFY(!ui(*form).Option_HistoryList[1]->isChecked());
        QCOMPARE(session->selectedList(), qint16(1));
        QCOMPARE(session->historyFilePath(), listFile(1));
        QCOMPARE(session->historyModified(), true);
        QCOMPARE(session->listChosen(), false);
        QVERIFY(form->formLoaded());

        // The next choice asks again.
        fake->answers = {QMessageBox::No};
        QTest::mouseClick(ui(*form).Option_HistoryList[2], Qt::LeftButton);
        QCOMPARE(fake->messages.size(), 2);
        QCOMPARE(session->selectedList(), qint16(3));
    }

    void failedSaveKeepsTheUnsavedList()
    {
        writeBytes(listFile(2), "TWO\r\n");
        launchUnsavedTerm();
        QVERIFY(QDir().mkpath(listFile(1))); // a folder where the file should go
        fake->answers = {QMessageBox::Yes};
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);
        QCOMPARE(fake->messages.size(), 2); // the prompt, then the failure
        QVERIFY(fake->messages[1].text.contains(listFile(1)));
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"NEW"}));
        QVERIFY(ui(*form).Option_HistoryList[0]->isChecked());
        QCOMPARE(session->selectedList(), qint16(1));
        QCOMPARE(session->historyModified(), true);
        QVERIFY(QDir().rmdir(listFile(1)));
    }

    // The real message box, closed with its close button.
    void closingTheRealPromptCancels()
    {
        launchUnsavedTerm();
        delete fake;
        fake = nullptr;
        const auto restore = qScopeGuard([this] { fake = new FakeDesktop; });
        QMessageBox *seen = nullptr;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        whenModalOpens<QMessageBox>([&](QMessageBox *box) {
            seen = box;
            defaultButton = box->standardButton(box->defaultButton());
            box->close();
        });
        QTest::mouseClick(ui(*form).Option_HistoryList[1], Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(defaultButton, QMessageBox::Yes);
        QVERIFY(ui(*form).Option_HistoryList[0]->isChecked());
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"NEW"}));
        QCOMPARE(session->historyModified(), true);
    }
};

NIMBREL_TEST_MAIN(TestMainFormHistoryList)
#include "tst_mainform_historylist.moc"
