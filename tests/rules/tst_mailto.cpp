#include "rules/Mailto.h"

#include <QTest>

using namespace Nimbrel;

class TestMailto : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_APPLESS_MAIN(TestMailto)
#include "tst_mailto.moc"
