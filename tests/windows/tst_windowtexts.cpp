#include "InfoWindowFixture.h"
#include "support/MarkingTranslator.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

using namespace Nimbrel;
using namespace InfoWindowFixture;

namespace
{

// Each caption, label and title the window shows, unless it is data: the
// program's name and the author's address are the same in every language.
QStringList unmarkedTexts(const QWidget &window)
{
    QStringList unmarked;
    const auto check = [&](const QString &owner, const QString &text) {
        if (!text.isEmpty() && !text.startsWith(u'['))
            unmarked << owner + QStringLiteral(": ") + text;
    };
    check(window.objectName(), window.windowTitle());
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        check(button->objectName(), button->text());
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->objectName() != u"Label_AppTitle" && label->objectName() != u"lblEmail")
            check(label->objectName(), label->text());
    }
    return unmarked;
}

} // namespace

class TestWindowTexts : public QObject
{
    Q_OBJECT

    MarkingTranslator m_translator;
    std::unique_ptr<FakeDesktop> fake;

private slots:
    void initTestCase() { QCoreApplication::installTranslator(&m_translator); }
    void cleanupTestCase() { QCoreApplication::removeTranslator(&m_translator); }
    void init()
    {
        TestEnvironment::reset();
        fake = std::make_unique<FakeDesktop>();
    }
    void cleanup() { fake.reset(); }

    void windowsAskForEveryTextTheyShow()
    {
        Windows w;
        QCOMPARE(unmarkedTexts(*w.main), QStringList());
        QCOMPARE(unmarkedTexts(*w.info), QStringList());
        QCOMPARE(ui(*w.main).List_History->accessibleName(), QStringLiteral("[Search history]"));
        // The design's "&&" is one "&" to a screen reader, translated or not.
        QCOMPARE(ui(*w.main).Command_Help->accessibleName(), QStringLiteral("[Info & Settings]"));
    }

    void messagesAskForTheirTexts_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("clear the list")
            << u"Command_ClearHistoryList"_qs << u"[Clear History List]"_qs;
        QTest::newRow("copy the location") << u"Command_CopyKey"_qs << u"[Confirmation]"_qs;
        QTest::newRow("edit the list") << u"Command_EditHistory"_qs << u"[Refresh]"_qs;
        QTest::newRow("change the list") << u"Option_HistoryList1"_qs << u"[Change List]"_qs;
    }

    void messagesAskForTheirTexts()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        Windows w;
        // A search changes the list, so that choosing another one asks first.
        ui(*w.main).Text_SearchData->setText(u"term"_qs);
        QTest::mouseClick(ui(*w.main).Command_OpenBrowser, Qt::LeftButton);
        fake->answers = {QMessageBox::No, QMessageBox::No};

        auto *control = w.info->findChild<QAbstractButton *>(button);
        if (!control)
            control = w.main->findChild<QAbstractButton *>(button);
        QVERIFY(control);
        control->click();
        QVERIFY(!fake->messages.isEmpty());
        QCOMPARE(fake->messages[0].title, title);
        QVERIFY2(fake->messages[0].text.startsWith(u'['), qPrintable(fake->messages[0].text));
    }
};

NIMBREL_TEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
