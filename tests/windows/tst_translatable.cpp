#include "app/CommandLine.h"
#include "desktop/ShellAnswer.h"
#include "rules/DataFolder.h"
#include "rules/InstanceMessage.h"
#include "windows/EarlierSearchesPopup.h"
#include "windows/HistoryListBox.h"
#include "windows/UpdateCheck.h"

#include "support/MarkingTranslator.h"
#include "support/WindowTest.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <functional>

using namespace Nimbrel;

namespace
{

QString text(const MaybeFailure &failure)
{
    return failure ? failure->message() : QStringLiteral("no failure");
}

QString shownRow()
{
    QWidget window;
    QLineEdit box(&window);
    EarlierSearchesPopup popup(&window);
    popup.showOffers({{QStringLiteral("AB1"), QStringLiteral("AB1"), 1}}, box);
    return popup.accessibleName() + u'|' + popup.item(0)->data(Qt::AccessibleTextRole).toString();
}

QString menuEntries()
{
    HistoryListBox list;
    list.addItem(QStringLiteral("AB1"));
    list.setCurrentRow(0);
    QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(list.viewport(), &request);
    QStringList entries;
    if (auto *menu = list.findChild<QMenu *>()) {
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                entries << action->text();
        }
    }
    return entries.join(u'|');
}

QString updateMessageText(UpdateOutcome outcome)
{
    const MessageRequest request = updateMessage({outcome, QStringLiteral("2.0")}, u"1.2.5"_qs);
    return request.title + u'|' + request.text;
}

struct Case {
    const char *name;
    std::function<QString()> shown;
    QString expected;
};

const QList<Case> &cases()
{
    static const QList<Case> all = {
        {"message box of the update check",
         [] { return updateMessageText(UpdateOutcome::NewerVersion); },
         u"[Current version: 1.2.5]|[A newer version  ( 2.0 )  is available.\n\nGoto the "
         "Program Homepage to download ?]"_qs},
        {"message box of a failed download",
         [] { return updateMessageText(UpdateOutcome::DownloadFailed); },
         u"[Current version: 1.2.5]|[Web Datafile not foud.][\n\nGoto the Program Homepage for "
         "info ?]"_qs},
        {"failure of a rule, its path as it is",
         [] {
             writeBytes(TestEnvironment::root() + u"/blocked"_qs, "x");
             return text(DataFolder::ensureExists(TestEnvironment::root() + u"/blocked"_qs));
         },
         u"[The data folder cannot be used.]\n\n"_qs + TestEnvironment::root() +
             u"/blocked\n\n[A file of that name stands where the folder should be.]"_qs},
        {"failure of the desktop", [] { return text(shellAnswer(2, u"x"_qs)); },
         u"[This could not be opened:]\n\nx\n\n[The file was not found.]"_qs},
        {"console message, the program's name as it is",
         [] {
             return CommandLine::parse(
                        {u"nimbrel-launcher"_qs, QString(InstanceMessage::MaxTermLength + 1, u'A')})
                 .output;
         },
         u"[%1: %2\nTry '%1 --help' for more information.\n]"_qs.arg(
             u"nimbrel-launcher"_qs, u"[the search term is longer than %1 characters.]"_qs.arg(
                                         InstanceMessage::MaxTermLength))},
        {"earlier searches, read by a screen reader", shownRow,
         u"[Earlier searches]|[%1, %2]"_qs.arg(u"AB1"_qs, u"[List 1]"_qs)},
        {"history list's menu", menuEntries,
         u"[Search]|[Copy to Search Box]|[Remove from List]"_qs},
        {"file names are data", [] { return DataFolder::historyFilePath(2); }, listFile(2)},
    };
    return all;
}

} // namespace

// Every text the user is shown can be translated; data never is.
class TestTranslatable : public QObject
{
    Q_OBJECT

    MarkingTranslator m_translator;

private slots:
    void init()
    {
        TestEnvironment::reset();
        QVERIFY(QCoreApplication::installTranslator(&m_translator));
    }
    void cleanup() { QCoreApplication::removeTranslator(&m_translator); }

    void shownTexts_data()
    {
        QTest::addColumn<qsizetype>("index");
        for (qsizetype i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << i;
    }
    void shownTexts()
    {
        QFETCH(qsizetype, index);
        QCOMPARE(cases()[index].shown(), cases()[index].expected);
    }
};

NIMBREL_TEST_MAIN(TestTranslatable)
#include "tst_translatable.moc"
