#include "MainWindowFixture.h"

#include "rules/LauncherSession.h"
#include "support/OddFiles.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

using namespace Nimbrel;
using namespace SettingsFixture;

namespace
{

// List 1 is selected at start; lists 2 and 3 are only on disk.
const QByteArray List1 = "AB1\r\nXAB\r\n-ZZ\r\n";
const QByteArray List2 = "AB2\r\nZZ2\r\n";
const QByteArray List3 = "AB3\r\n-ZZ3\r\nab1\r\n";

// What typing "ab" offers.
const QStringList OffersForAb = {QStringLiteral("AB1, List 1"), QStringLiteral("AB2, List 2"),
                                 QStringLiteral("AB3, List 3"), QStringLiteral("XAB, List 1")};

} // namespace

class TestEarlierSearches : public QObject, MainWindowFixture
{
    Q_OBJECT

    QLineEdit *box() const { return ui(*form).Text_SearchData; }
    QListWidget *popup() const
    {
        return form->findChild<QListWidget *>(QStringLiteral("EarlierSearches"));
    }

    // The rows shown, as a screen reader reads them; none while hidden.
    QStringList shownRows() const
    {
        QStringList rows;
        QListWidget *shown = popup();
        if (!shown || !shown->isVisible())
            return rows;
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(shown);
        for (int i = 0; i < list->childCount(); ++i)
            rows << list->child(i)->text(QAccessible::Name);
        return rows;
    }

    QPoint rowCentre(int row) const { return popup()->visualItemRect(popup()->item(row)).center(); }

    // Types "ab" and checks the offers are up, the box and its focus untouched.
    void typeAb()
    {
        QTest::keyClicks(box(), QStringLiteral("ab"));
        QCOMPARE(shownRows(), OffersForAb);
        QCOMPARE(box()->text(), QStringLiteral("AB"));
        QCOMPARE(QApplication::focusWidget(), box());
    }

    // A search of `term` happened and left the window as every search does.
    void verifySearched(const QString &term)
    {
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file, Wiki + term);
        QVERIFY(listTexts(*ui(*form).List_History).contains(term));
        QVERIFY(!popup()->isVisible());
        QCOMPARE(box()->text(), QString());
        QCOMPARE(QApplication::focusWidget(), box());
    }

private slots:
    // As with a screen reader running: the views then keep their accessible
    // rows up to date as their items change.
    void initTestCase() { QAccessible::setActive(true); }

    void init()
    {
        start();
        writeBytes(listFile(1), List1);
        writeBytes(listFile(2), List2);
        writeBytes(listFile(3), List3);
        openForm();
        box()->setFocus();
    }
    void cleanup() { stop(); }

    // Nothing of the offers exists before the first edit, and changes that
    // are no edit (a click on a list item, the recall keys) offer nothing.
    void onlyEditsOffer()
    {
        QVERIFY(!popup());
        clickRow(1);
        QCOMPARE(box()->text(), QStringLiteral("XAB"));
        QVERIFY(!popup());
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_Up);
        QCOMPARE(box()->text(), QStringLiteral("AB1"));
        QVERIFY(!popup());
        QTest::keyClick(box(), Qt::Key_Backspace);
        QCOMPARE(shownRows(), OffersForAb);
    }

    void offersWhileEditing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("typed: each list, starting items first")
            << QStringLiteral("typed") << QStringLiteral("ab") << OffersForAb;
        QTest::newRow("pasted") << QStringLiteral("pasted") << QStringLiteral("ab") << OffersForAb;
        QTest::newRow("dropped") << QStringLiteral("dropped") << QStringLiteral("ab")
                                 << OffersForAb;
        QTest::newRow("dash items left out") << QStringLiteral("typed") << QStringLiteral("zz")
                                             << QStringList{QStringLiteral("ZZ2, List 2")};
        QTest::newRow("no match, no offers")
            << QStringLiteral("typed") << QStringLiteral("q") << QStringList();
        QTest::newRow("blank alone, no offers")
            << QStringLiteral("typed") << QStringLiteral(" ") << QStringList();
    }
    void offersWhileEditing()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        if (how == u"typed") {
            QTest::keyClicks(box(), text);
        } else if (how == u"pasted") {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
        } else {
            QMimeData data;
            data.setText(text);
            const QPoint at(box()->width() / 2, box()->height() / 2);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(box(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(box(), &drop);
        }
        QCOMPARE(shownRows(), rows);
        QCOMPARE(box()->text(), text.trimmed().toUpper());
        QCOMPARE(QApplication::focusWidget(), box());
        QVERIFY(fake->opened.isEmpty());
        QVERIFY(fake->messages.isEmpty());
        if (!rows.isEmpty()) {
            QAccessibleInterface *list = QAccessible::queryAccessibleInterface(popup());
            QCOMPARE(list->role(), QAccessible::List);
            QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Earlier searches"));
            // Under the box, within the window, above the history list.
            const QRect boxArea(box()->mapTo(form, QPoint()), box()->size());
            QCOMPARE(popup()->y(), boxArea.bottom() + 1);
            QVERIFY(form->rect().contains(popup()->geometry()));
            QCOMPARE(form->childAt(popup()->geometry().center())->parentWidget(), popup());
        }
        // Offers only read.
        QCOMPARE(readBytes(listFile(1)), List1);
        QCOMPARE(readBytes(listFile(2)), List2);
        QCOMPARE(readBytes(listFile(3)), List3);
    }

    // Keys after typing "ab": d Down, u Up, e Escape; then Enter.
    void keysThenEnter_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("searched");
        QTest::newRow("Enter without a choice searches the box")
            << QStringLiteral("") << QStringLiteral("AB");
        QTest::newRow("Down chooses the first") << QStringLiteral("d") << QStringLiteral("AB1");
        QTest::newRow("Down twice, the second, from another list")
            << QStringLiteral("dd") << QStringLiteral("AB2");
        QTest::newRow("Down stops at the last")
            << QStringLiteral("dddddd") << QStringLiteral("XAB");
        QTest::newRow("Up moves back") << QStringLiteral("ddu") << QStringLiteral("AB1");
        QTest::newRow("Up from the first: no choice")
            << QStringLiteral("du") << QStringLiteral("AB");
        QTest::newRow("Escape closes; Enter searches the box")
            << QStringLiteral("dde") << QStringLiteral("AB");
        QTest::newRow("Up without a choice recalls as always")
            << QStringLiteral("u") << QStringLiteral("AB1");
    }
    void keysThenEnter()
    {
        QFETCH(QString, keys);
        QFETCH(QString, searched);
        typeAb();
        for (const QChar key : keys) {
            QTest::keyClick(box(), key == u'd'   ? Qt::Key_Down
                                   : key == u'u' ? Qt::Key_Up
                                                 : Qt::Key_Escape);
            QCOMPARE(QApplication::focusWidget(), box());
        }
        const bool closed = keys.endsWith(u'e') || keys == QStringLiteral("u");
        QCOMPARE(popup()->isVisible(), !closed);
        QCOMPARE(box()->text(),
                 keys == QStringLiteral("u") ? QStringLiteral("AB1") : QStringLiteral("AB"));
        QTest::keyClick(box(), Qt::Key_Return);
        verifySearched(searched);
    }

    void clickOnRowSearchesIt()
    {
        typeAb();
        QTest::mouseClick(popup()->viewport(), Qt::LeftButton, {}, rowCentre(2));
        verifySearched(QStringLiteral("AB3"));
        QCOMPARE(listTexts(*ui(*form).List_History), texts({"AB3", "AB1", "XAB", "-ZZ"}));
    }

    // A hand-edited item goes in as if typed: small letters become capitals.
    void chosenItemIsTypedIntoTheBox()
    {
        QTest::keyClicks(box(), QStringLiteral("b1"));
        QCOMPARE(shownRows(), texts({"AB1, List 1"}));
        writeBytes(listFile(1), "X\r\n"); // the selected list comes from its box, not its file
        writeBytes(listFile(3), "ab1.x\r\n");
        QTest::keyClick(box(), Qt::Key_Backspace);
        QTest::keyClicks(box(), QStringLiteral("1"));
        QCOMPARE(box()->text(), QStringLiteral("B1"));
        QCOMPARE(shownRows(), texts({"AB1, List 1", "ab1.x, List 3"}));
        QTest::keyClick(box(), Qt::Key_Down);
        QTest::keyClick(box(), Qt::Key_Down);
        QTest::keyClick(box(), Qt::Key_Enter, Qt::KeypadModifier);
        verifySearched(QStringLiteral("AB1X"));
    }

    // A press anywhere else closes the offers and does what it does without them.
    void clickElsewhereActsAtOnce_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("button") << QStringLiteral("Command_OpenWikiMain");
        QTest::newRow("history item") << QStringLiteral("List_History");
        QTest::newRow("option button") << QStringLiteral("Option_HistoryList1");
        QTest::newRow("label") << QStringLiteral("Label_SearchData");
        QTest::newRow("search box") << QStringLiteral("Text_SearchData");
    }
    void clickElsewhereActsAtOnce()
    {
        QFETCH(QString, target);
        // Enough items that some show below the offers.
        fillList(*ui(*form).List_History,
                 texts({"AB1", "XAB", "-ZZ", "K4", "K5", "K6", "K7", "K8", "K9", "K10"}));
        typeAb();
        QWidget *widget = form->findChild<QWidget *>(target);
        QVERIFY(widget);
        QPoint at(4, widget->height() / 2);
        QString clicked; // the history item under the mouse
        if (target == u"List_History") {
            QListWidget *list = ui(*form).List_History;
            widget = list->viewport();
            QListWidgetItem *last = list->item(list->count() - 1);
            at = list->visualItemRect(last).center();
            clicked = last->text();
        }
        // The press lands where a user's would: nothing covers the spot.
        QCOMPARE(form->childAt(widget->mapTo(form, at)), widget);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QVERIFY(!popup()->isVisible());
        if (target == u"Command_OpenWikiMain") {
            QCOMPARE(fake->opened.size(), 1);
            QCOMPARE(fake->opened[0].file, Wiki);
        } else if (target == u"List_History") {
            QVERIFY(clicked.startsWith(u'K'));
            QCOMPARE(box()->text(), clicked);
        } else if (target == u"Option_HistoryList1") {
            QVERIFY(ui(*form).Option_HistoryList[1]->isChecked());
            QCOMPARE(listTexts(*ui(*form).List_History), texts({"AB2", "ZZ2"}));
        } else {
            QCOMPARE(box()->text(), QStringLiteral("AB"));
            QVERIFY(fake->opened.isEmpty());
        }
    }

    void focusLeavingCloses()
    {
        typeAb();
        QTest::keyClick(box(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != box());
        QVERIFY(!popup()->isVisible());
        QCOMPARE(box()->text(), QStringLiteral("AB"));
    }

    // An other list that cannot be read offers nothing and says nothing;
    // the lists that can be read are offered as usual.
    void otherListUnreadable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("no permission") << QStringLiteral("unreadable");
        QTest::newRow("pipe") << QStringLiteral("pipe");
        QTest::newRow("folder") << QStringLiteral("folder");
    }
    void otherListUnreadable()
    {
        QFETCH(QString, kind);
        const QString path = listFile(2);
        QVERIFY(QFile::remove(path));
        std::unique_ptr<UnreadableFile> unreadable;
        if (kind == u"unreadable") {
            writeBytes(path, List2);
            unreadable = std::make_unique<UnreadableFile>(path);
            if (!unreadable->ok())
                QSKIP("the file cannot be made unreadable here");
        } else if (kind == u"pipe") {
            MAKE_FIFO(path);
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkdir(path));
        }
        const Watchdog watchdog(std::chrono::seconds(10), "typing over an odd list file");
        QTest::keyClicks(box(), QStringLiteral("ab"));
        QCOMPARE(shownRows(), texts({"AB1, List 1", "AB3, List 3", "XAB, List 1"}));
        QVERIFY(fake->messages.isEmpty());
    }

    // The other lists are read again once their files change, and a list
    // once selected comes from its box.
    void offersFollowTheFiles()
    {
        typeAb();
        writeBytes(listFile(2), "ABNEW\r\n");
        QTest::keyClick(box(), Qt::Key_Backspace);
        QTest::keyClicks(box(), QStringLiteral("b"));
        QCOMPARE(shownRows(),
                 texts({"AB1, List 1", "ABNEW, List 2", "AB3, List 3", "XAB, List 1"}));
        QVERIFY(QFile::remove(listFile(3)));
        QTest::keyClicks(box(), QStringLiteral("1"));
        QCOMPARE(shownRows(), texts({"AB1, List 1"}));
    }

    // The selected list comes from its box as it is at each keystroke: an
    // item removed from the box, or put back, shows at the next one.
    void offersFollowTheListBox()
    {
        typeAb();
        QListWidget *list = ui(*form).List_History;
        clickRow(0);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(listTexts(*list), texts({"XAB", "-ZZ"}));
        retypeAb();
        QCOMPARE(shownRows(), texts({"AB2, List 2", "AB3, List 3", "ab1, List 3", "XAB, List 1"}));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(listTexts(*list), texts({"AB1", "XAB", "-ZZ"}));
        retypeAb();
        QCOMPARE(shownRows(), OffersForAb);
    }

private:
    // Types "ab" over whatever the box holds.
    void retypeAb()
    {
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box(), QStringLiteral("ab"));
    }
};

NIMBREL_TEST_MAIN(TestEarlierSearches)
#include "tst_earliersearches.moc"
