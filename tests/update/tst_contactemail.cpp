#include "core/AppInfo.h"
#include "core/Module1.h"
#include "infowindow/InfoForm.h"
#include "search/OpenInDefaultHandler.h"
#include "support/FakeDesktop.h"
#include "support/TestEnvironment.h"
#include "update/Mailto.h"

#include <QListWidget>

class TestContactEmail : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestEnvironment::reset(); }

    void mailto_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("expected");

        const QString a = u"ann@example.org"_qs;
        QTest::newRow("address only")
            << a << QString() << QString() << u"mailto:ann@example.org"_qs;
        QTest::newRow("subject") << a << u"S"_qs << QString()
                                 << u"mailto:ann@example.org?subject=S"_qs;
        QTest::newRow("body without subject joins with ?")
            << a << QString() << u"B"_qs << u"mailto:ann@example.org?body=B"_qs;
        QTest::newRow("subject and body")
            << a << u"S"_qs << u"B"_qs << u"mailto:ann@example.org?subject=S&body=B"_qs;
        QTest::newRow("capital prefix kept, no second one")
            << u"MAILTO:ann@example.org"_qs << QString() << QString()
            << u"MAILTO:ann@example.org"_qs;
        QTest::newRow("mixed-case prefix kept")
            << u"MailTo:ann@example.org"_qs << u"S"_qs << QString()
            << u"MailTo:ann@example.org?subject=S"_qs;
        QTest::newRow("prefix later in the text does not count")
            << u"x mailto:a"_qs << QString() << QString() << u"mailto:x mailto:a"_qs;
        QTest::newRow("shorter than the prefix")
            << u"a@b"_qs << QString() << QString() << u"mailto:a@b"_qs;
        QTest::newRow("empty address") << QString() << QString() << QString() << u"mailto:"_qs;
        QTest::newRow("nothing escaped") << u"a b@c"_qs << u"Q&A? yes"_qs << u"x=1&y=2?"_qs
                                         << u"mailto:a b@c?subject=Q&A? yes&body=x=1&y=2?"_qs;
    }

    void mailto()
    {
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QString, expected);
        QCOMPARE(mailtoUrl(address, subject, body), expected);
    }

    void openEmail_data()
    {
        QTest::addColumn<int>("handlerResult");
        QTest::addColumn<qint16>("expected");
        QTest::newRow("handler started") << 42 << Module1::True;
        QTest::newRow("lowest success") << 33 << Module1::True;
        QTest::newRow("handler failed") << 0 << Module1::False;
        QTest::newRow("highest failure") << 32 << Module1::False;
    }

    void openEmail()
    {
        QFETCH(int, handlerResult);
        QFETCH(qint16, expected);

        FakeDesktop fake;
        fake.openResult = handlerResult;
        QListWidget history;
        InfoForm form(history);
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
        fake.openResult = 0; // no mail program: nothing is shown
        QListWidget history;
        InfoForm form(history);
        form.lblEmail_Click();
        QCOMPARE(fake.opened.size(), 1);
        QCOMPARE(fake.opened[0].file, u"mailto:author@nimbrel.example?subject=Nimbrel Launcher"_qs);
        QCOMPARE(fake.opened[0].showCommand, ShowCommand::Show);
        QVERIFY(fake.messages.isEmpty());
    }
};

NIMBREL_TEST_MAIN(TestContactEmail)
#include "tst_contactemail.moc"
