#include "desktop/OpenInDefaultHandler.h"
#include "rules/AppInfo.h"
#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/WindowTest.h"
#include "windows/InfoForm.h"

#include <QLabel>
#include <QListWidget>

using namespace Nimbrel;

class TestContactEmail : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestEnvironment::reset(); }

    void openEmail_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("expected");
        QTest::newRow("handler started") << true << true;
        QTest::newRow("handler failed") << false << false;
    }

    void openEmail()
    {
        QFETCH(bool, opens);
        QFETCH(bool, expected);

        FakeDesktop fake;
        fake.opens = opens;
        QListWidget history;
        LauncherSession session;
        InfoForm form(session, history);
        const QString subject = u"Hi & bye"_qs;
        QCOMPARE(form.OpenEmail(u"ann@example.org"_qs, subject, QString()), expected);
        QCOMPARE(fake.opened.size(), 1);
        QCOMPARE(fake.opened[0].file, u"mailto:ann@example.org?subject=Hi & bye"_qs);
        QVERIFY(fake.opened[0].parameters.isEmpty());
        QCOMPARE(fake.opened[0].showCommand, ShowCommand::Show);
    }

    void emailLinkWritesToTheAuthor()
    {
        FakeDesktop fake;
        fake.opens = false; // no mail program: nothing is shown
        QListWidget history;
        LauncherSession session;
        InfoForm form(session, history);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(ui(form).lblEmail, Qt::LeftButton);
        QCOMPARE(fake.opened.size(), 1);
        QCOMPARE(fake.opened[0].file, u"mailto:author@nimbrel.example?subject=Nimbrel Launcher"_qs);
        QCOMPARE(fake.opened[0].showCommand, ShowCommand::Show);
        QVERIFY(fake.messages.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestContactEmail)
#include "tst_contactemail.moc"
