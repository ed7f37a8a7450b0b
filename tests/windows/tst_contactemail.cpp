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

    // Whether a mail program takes the message or not, the window only hands
    // the address over and says nothing itself.
    void emailLinkWritesToTheAuthor_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::newRow("handler started") << true;
        QTest::newRow("no mail program") << false;
    }

    void emailLinkWritesToTheAuthor()
    {
        QFETCH(bool, opens);
        FakeDesktop fake;
        fake.opens = opens;
        QListWidget history;
        LauncherSession session;
        InfoForm form(session, history);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(ui(form).lblEmail, Qt::LeftButton);
        QCOMPARE(fake.opened.size(), 1);
        QCOMPARE(fake.opened[0].file, u"mailto:author@nimbrel.example?subject=Nimbrel Launcher"_qs);
        QVERIFY(fake.opened[0].parameters.isEmpty());
        QCOMPARE(fake.opened[0].showCommand, ShowCommand::Show);
        QVERIFY(fake.messages.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestContactEmail)
#include "tst_contactemail.moc"
