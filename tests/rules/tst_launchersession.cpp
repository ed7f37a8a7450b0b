#include "rules/LauncherSession.h"
#include "support/SettingsFixture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Nimbrel;
using namespace SettingsFixture;

class TestLauncherSession : public QObject
{
    Q_OBJECT
private slots:
    void init() { TestEnvironment::reset(); }

    // A hand-edited store may hold any number; only 1 is on, and nothing but
    // a switched option is ever written back, so the odd number stays as it is.
    void storedOptions_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("0 is off") << QByteArray("0") << false;
        QTest::newRow("1 is on") << QByteArray("1") << true;
        QTest::newRow("11 is not a switched option") << QByteArray("11") << false;
        QTest::newRow("10 is not a switched option") << QByteArray("10") << false;
        QTest::newRow("-1 is off") << QByteArray("-1") << false;
        QTest::newRow("5 is off") << QByteArray("5") << false;
    }
    void storedOptions()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, on);
        writeRawSettings("CloseWhenBrowserOpen=" + stored + "\nMoveSearchedtItemToTop=" + stored +
                         "\n");
        const QByteArray before = TestEnvironment::storedLines();
        LauncherSession session;
        session.readSettings();
        QCOMPARE(session.closeWhenBrowserOpen(), (OptionSetting{on, false}));
        QCOMPARE(session.moveItemToTop(), (OptionSetting{on, false}));
        QVERIFY(session.writeBackSettings().isEmpty());
        QCOMPARE(TestEnvironment::storedLines(), before);
    }

    // Only what the user changed goes back, as 0 or 1.
    void switchedOptionsAreWrittenBack()
    {
        writeRawSettings("CloseWhenBrowserOpen=5\nMoveSearchedtItemToTop=1\n");
        LauncherSession session;
        session.readSettings();
        session.setMoveItemToTop({false, true});
        QVERIFY(session.writeBackSettings().isEmpty());
        QCOMPARE(TestEnvironment::storedLines(),
                 QByteArray("[Settings]\nCloseWhenBrowserOpen=5\nMoveSearchedtItemToTop=0\n"));
    }

    // A window that shows the session's values learns of a change, and of a
    // real change only.
    void changesAreSignalled()
    {
        LauncherSession session;
        QSignalSpy modified(&session, &LauncherSession::historyModifiedChanged);
        QSignalSpy options(&session, &LauncherSession::optionsChanged);
        QSignalSpy maxItems(&session, &LauncherSession::historyListMaxItemsChanged);
        session.setHistoryModified(true);
        session.setHistoryModified(true);
        session.setMoveItemToTop({true, true});
        session.setMoveItemToTop({true, true});
        session.setHistoryListMaxItems(20);
        session.setHistoryListMaxItems(20);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.at(0).at(0).toBool(), true);
        QCOMPARE(options.count(), 1);
        QCOMPARE(maxItems.count(), 1);
    }
};

NIMBREL_CORE_TEST_MAIN(TestLauncherSession)
#include "tst_launchersession.moc"
