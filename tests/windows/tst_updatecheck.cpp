#include "desktop/OpenInDefaultHandler.h"
#include "desktop/SystemDesktop.h"
#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/LocalHttpServer.h"
#include "support/OddFiles.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"
#include "windows/UpdateCheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QNetworkProxy>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTcpServer>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <qpa/qwindowsysteminterface.h>

using namespace Nimbrel;

using namespace std::chrono_literals;
using Mode = LocalHttpServer::Mode;

Q_DECLARE_METATYPE(LocalHttpServer::Route)

namespace
{

const QString FilePath = QStringLiteral("/dl/swv.txt");
const QString Homepage = QStringLiteral("http://www.nimbrel.example/dl/nblauncher.htm");
const QString InfoQuestion = QStringLiteral("\n\nGoto the Program Homepage for info ?");
const QString WebFileMissing = QStringLiteral("Web Datafile not foud.") + InfoQuestion;
const QString NoEntry = QStringLiteral("No data for this program found.") + InfoQuestion;
const QString Latest = QStringLiteral("This is the latest version.");
// Where the downloaded copy goes: on Windows "vbTemp" under AppData, elsewhere
// the XDG cache home ($XDG_CACHE_HOME is <root>/cache in the tests).
QString cacheFolder()
{
#ifdef Q_OS_WIN
    return TestEnvironment::appData() + QStringLiteral("\\vbTemp");
#else
    return TestEnvironment::root() + QStringLiteral("/cache/Nimbrel Launcher");
#endif
}

QString newer(const QString &version)
{
    return QStringLiteral("A newer version  ( ") + version +
           QStringLiteral(" )  is available.\n\nGoto the Program Homepage to download ?");
}

LocalHttpServer::Route file(const QByteArray &body)
{
    return {Mode::Answer, httpHead(200, body.size()), body};
}

// A window whose paints and clicks can be counted, standing in for the
// launcher's windows while the check waits.
class Window : public QWidget
{
public:
    Window()
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(button);
        layout->addWidget(edit);
        QObject::connect(button, &QPushButton::clicked, button, [this] { ++clicks; });
        resize(200, 100);
    }
    QPushButton *button = new QPushButton(QStringLiteral("Check"));
    QLineEdit *edit = new QLineEdit;
    int clicks = 0;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

// Types into the edit box and clicks the button the way the window system
// does: the events go into its queue and are delivered later.
void queueUserInput(Window &window)
{
    QWindow *handle = window.windowHandle();
    const QPointF local = window.button->mapTo(&window, window.button->rect().center());
    const QPointF global = window.mapToGlobal(local);
    QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier,
                                           QStringLiteral("a"));
    QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier,
                                           QStringLiteral("a"));
    QWindowSystemInterface::handleMouseEvent(handle, local, global, Qt::LeftButton, Qt::LeftButton,
                                             QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent(handle, local, global, Qt::NoButton, Qt::LeftButton,
                                             QEvent::MouseButtonRelease);
}

// Double-clicks `widget` at `local` (its own coordinates) the way the window
// system does: the events go into its queue and are delivered later.
void queueDoubleClick(QWidget *widget, QPoint local)
{
    QWidget *window = widget->window();
    QWindow *handle = window->windowHandle();
    const QPointF inWindow = widget->mapTo(window, local);
    const QPointF global = window->mapToGlobal(inWindow);
    for (int i = 0; i < 2; ++i) {
        QWindowSystemInterface::handleMouseEvent(handle, inWindow, global, Qt::LeftButton,
                                                 Qt::LeftButton, QEvent::MouseButtonPress);
        QWindowSystemInterface::handleMouseEvent(handle, inWindow, global, Qt::NoButton,
                                                 Qt::LeftButton, QEvent::MouseButtonRelease);
    }
}

void queueKey(QWidget *window, Qt::Key key, const QString &text)
{
    QWindow *handle = window->windowHandle();
    QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyPress, key, Qt::NoModifier, text);
    QWindowSystemInterface::handleKeyEvent(handle, QEvent::KeyRelease, key, Qt::NoModifier, text);
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private:
    LauncherSession m_session;
    LocalHttpServer m_server;
    LocalHttpServer m_otherOrigin;
    ClosedPort m_closed;

    UpdateCheckOptions options(std::chrono::milliseconds deadline = 10s) const
    {
        return {m_server.url(FilePath), {deadline, 1024 * 1024}};
    }

private slots:
    void initTestCase()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QVERIFY(m_closed.port() != 0);
    }

    void init()
    {
        TestEnvironment::reset();
        m_session.setAppVersion(QStringLiteral("1.25"));
        m_session.setHomepage(Homepage);
        m_server.clear();
        m_otherOrigin.clear();
    }

    void outcomes_data()
    {
        QTest::addColumn<LocalHttpServer::Route>("route");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<bool>("opensHomepage");
        QTest::addColumn<int>("deadlineMs");

        const auto yes = QMessageBox::Yes;
        const auto no = QMessageBox::No;
        const auto ok = QMessageBox::Ok;
        const int ample = 10000; // ms; only the stalled server should see its deadline
        QTest::newRow("newer version, Yes")
            << file("Nimbrel Launcher:1.3\r\n") << yes << newer(u"1.3"_qs) << true << ample;
        QTest::newRow("newer version, No")
            << file("Nimbrel Launcher:1.3\r\n") << no << newer(u"1.3"_qs) << false << ample;
        QTest::newRow("newer version, box closed without a button")
            << file("Nimbrel Launcher:1.3\r\n") << QMessageBox::NoButton << newer(u"1.3"_qs) << true
            << ample;
        QTest::newRow("same version")
            << file("Nimbrel Launcher:1.25") << ok << Latest << false << ample;
        QTest::newRow("older version")
            << file("Nimbrel Launcher:1.2") << ok << Latest << false << ample;
        QTest::newRow("1.25.1 equals 1.25")
            << file("Nimbrel Launcher:1.25.1") << ok << Latest << false << ample;
        QTest::newRow("letter case differs")
            << file("other:1\nnimbrel launcher:2.0\n") << yes << newer(u"2.0"_qs) << true << ample;
        QTest::newRow("earlier beta line decides")
            << file("Nimbrel Launcher Beta:9\rNimbrel Launcher:1.0\r") << yes << newer(u"9"_qs)
            << true << ample;
        QTest::newRow("blank after the colon shown")
            << file("Nimbrel Launcher: 1.3") << yes << newer(u" 1.3"_qs) << true << ample;
        QTest::newRow("comma ends the version") << file("Nimbrel Launcher:1.3, second build") << yes
                                                << newer(u"1.3"_qs) << true << ample;
        QTest::newRow("no colon reads as version 0")
            << file("Nimbrel Launcher 1.3") << ok << Latest << false << ample;
        QTest::newRow("unbalanced quote")
            << file("\"Nimbrel Launcher:1.3\r\n") << yes << newer(u"1.3"_qs) << true << ample;
        QTest::newRow("hexadecimal version")
            << file("Nimbrel Launcher:&H10") << yes << newer(u"&H10"_qs) << true << ample;
        QTest::newRow("version beyond the double range")
            << file("Nimbrel Launcher:9E999") << yes << newer(u"9E999"_qs) << true << ample;
        QTest::newRow("entry after a 1 MB line")
            << file(QByteArray(1000 * 1000, 'x') + "\r\nNimbrel Launcher:1.3") << yes
            << newer(u"1.3"_qs) << true << ample;
        QTest::newRow("only other programs, Yes")
            << file("Other Tool:2.0\r\nThird:1\r\n") << yes << NoEntry << true << ample;
        QTest::newRow("only other programs, No")
            << file("Other Tool:2.0\r\nThird:1\r\n") << no << NoEntry << false << ample;
        QTest::newRow("empty file") << file(QByteArray()) << yes << NoEntry << true << ample;
        QTest::newRow("only commas") << file(",,,,\r\n,,") << yes << NoEntry << true << ample;
        QTest::newRow("binary bytes") << file(QByteArray("\x00\xff\xfe\x01\r\n\x80\x81", 8)) << yes
                                      << NoEntry << true << ample;
        const QByteArray entry = "Nimbrel Launcher:9\r\n";
        QTest::newRow("404 whose body has an entry, Yes")
            << LocalHttpServer::Route{Mode::Answer, httpHead(404, entry.size()), entry} << yes
            << WebFileMissing << true << ample;
        QTest::newRow("500, No") << LocalHttpServer::Route{Mode::Answer, httpHead(500, 5), "oops!"}
                                 << no << WebFileMissing << false << ample;
        QTest::newRow("redirect to another origin")
            << LocalHttpServer::Route{Mode::Answer,
                                      httpHead(
                                          301, 0,
                                          "Location: " + m_otherOrigin.url(FilePath).toEncoded() +
                                              "\r\n"),
                                      {}}
            << yes << WebFileMissing << true << ample;
        QTest::newRow("stalled server")
            << LocalHttpServer::Route{Mode::Drip, httpHead(200, 100), entry} << yes
            << WebFileMissing << true << 800;
        QTest::newRow("endless answer") << LocalHttpServer::Route{Mode::Endless, httpHead(200), {}}
                                        << yes << WebFileMissing << true << ample;
    }

    void outcomes()
    {
        QFETCH(LocalHttpServer::Route, route);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, expectedText);
        QFETCH(bool, opensHomepage);
        QFETCH(int, deadlineMs);

        m_server.route(FilePath, route);
        m_otherOrigin.route(FilePath, file("Nimbrel Launcher:9"));
        FakeDesktop fake;
        fake.answers = {answer};
        QWidget parent;

        runUpdateCheck(&parent, m_session, options(std::chrono::milliseconds(deadlineMs)));

        QCOMPARE(fake.messages.size(), 1);
        const MessageRequest &message = fake.messages[0];
        QCOMPARE(message.text, expectedText);
        QCOMPARE(message.title, u"Current version: 1.25"_qs);
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, expectedText == Latest
                                      ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                      : QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(message.parent, &parent);
        QCOMPARE(fake.opened.size(), opensHomepage ? 1 : 0);
        if (opensHomepage) {
            QCOMPARE(fake.opened[0].file, Homepage);
            QVERIFY(fake.opened[0].parameters.isEmpty());
            QCOMPARE(fake.opened[0].showCommand, ShowCommand::Normal);
        }
        QCOMPARE(m_otherOrigin.requestCount(), 0);
    }

    // A server that sends its head without end: the message comes at once
    // (by the deadline at the latest), and nothing reads on after it.
    void endlessHeadsGiveTheDownloadMessage_data()
    {
        QTest::addColumn<LocalHttpServer::Route>("route");
        const QByteArray status = "HTTP/1.1 200 OK\r\n";
        QTest::newRow("header field after header field")
            << LocalHttpServer::Route{Mode::HeaderFlood, status, {}};
        QTest::newRow("one header field without end")
            << LocalHttpServer::Route{Mode::EndlessHeader, status, {}};
        QTest::newRow("a header field every 50 ms")
            << LocalHttpServer::Route{Mode::HeaderDrip, status, {}};
    }
    void endlessHeadsGiveTheDownloadMessage()
    {
        QFETCH(LocalHttpServer::Route, route);
        ThreadedHttpServer server(route);
        FakeDesktop fake;
        fake.answers = {QMessageBox::No};
        QElapsedTimer clock;
        clock.start();

        runUpdateCheck(nullptr, m_session, {server.url(FilePath), {800ms, 1024 * 1024}});

        QVERIFY2(clock.elapsed() < 800 + 1500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, WebFileMissing);
#ifdef Q_OS_WIN
        QSKIP("the close of a cut-off download is not seen under Wine");
#endif
        QTRY_COMPARE_WITH_TIMEOUT(server.openConnections(), 0, 3000);
    }

    // A version text of a megabyte froze the window for seconds and made a
    // box 32,767 px tall with its buttons off the screen. The real box stays
    // on the screen, buttons and all.
    void veryLongVersionKeepsTheBoxOnTheScreen()
    {
        const QString version = u"2."_qs + QString(1000 * 1000, u'9');
        const QString message =
            updateMessage({UpdateOutcome::NewerVersion, version}, u"1.25"_qs).text;
        QVERIFY2(message.size() < 400, qPrintable(QString::number(message.size())));
        QVERIFY(message.startsWith(u"A newer version  ( 2.999"_qs));
        QVERIFY(message.contains(u"9\u20269"_qs));

        QRect box;
        QRect screen;
        QList<QRect> buttons;
        QTimer::singleShot(0, [&] {
            QWidget *shown = QApplication::activeModalWidget();
            QVERIFY(shown);
            box = shown->frameGeometry();
            screen = shown->screen()->availableGeometry();
            for (const QAbstractButton *button : shown->findChildren<QAbstractButton *>())
                buttons << QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
            QTest::keyClick(shown, Qt::Key_Escape);
        });
        MessageRequest request = updateMessage({UpdateOutcome::NewerVersion, version}, u"1.25"_qs);
        SystemDesktop().showMessage(request);

        // A long text may take the whole width of a small screen (Qt's own
        // rule for message boxes, with the frame a pixel or two beyond it),
        // but never more than its height, and the buttons stay in view.
        QVERIFY2(box.top() >= screen.top() && box.bottom() <= screen.bottom(),
                 qPrintable(u"box %1x%2 at %3,%4"_qs.arg(box.width())
                                .arg(box.height())
                                .arg(box.x())
                                .arg(box.y())));
        QCOMPARE(buttons.size(), 2);
        for (const QRect &button : buttons)
            QVERIFY(screen.contains(button));
    }

    // A version too long to show whole is cut to 256 characters with "…" in
    // its middle; without a blank in it the box cannot wrap it at a word, and
    // it ran off the box's edge, the "…" with it. It wraps, and every line of
    // the message fits the box, which stays on the screen.
    void longVersionWithoutBlanksWrapsInTheBox()
    {
        const QString version = QString(300, u'7');
        qreal widest = -1;
        int width = 0;
        QString shownText;
        QRect box;
        QRect screen;
        QTimer::singleShot(0, [&] {
            auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(shown);
            const auto *label = shown->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            shownText = label->text();
            width = label->contentsRect().width();
            // Laid out as the label lays out its plain text: wrapped at words.
            QTextLayout layout(shownText, label->font());
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                widest = std::max(widest, line.naturalTextWidth());
            }
            layout.endLayout();
            box = shown->frameGeometry();
            screen = shown->screen()->availableGeometry();
            QTest::keyClick(shown, Qt::Key_Escape);
        });
        SystemDesktop().showMessage(
            updateMessage({UpdateOutcome::NewerVersion, version}, u"1.25"_qs));

        QVERIFY(shownText.contains(u"7\u20267"_qs));
        QVERIFY2(widest <= width,
                 qPrintable(u"%1 px of text in a label %2 px wide"_qs.arg(widest).arg(width)));
        QVERIFY2(box.width() <= screen.width() + 4,
                 qPrintable(
                     u"box %1 px wide on a screen of %2"_qs.arg(box.width()).arg(screen.width())));
    }

    // The versions file comes over plain http: whatever it holds is shown as
    // text, never interpreted as markup or offered as a link.
    void outsideTextIsShownAsPlainText()
    {
        const QByteArray entry =
            "Nimbrel Launcher:9 <a href=\"https://elsewhere.example/x\">details</a>";
        m_server.route(FilePath, file(entry));
        const QString expected = newer(u"9 <a href=\"https://elsewhere.example/x\">details</a>"_qs);
        QWidget parent;
        bool shown = false;
        whenModalOpens<QMessageBox>([&](QMessageBox *box) {
            shown = true;
            const auto answer = qScopeGuard([box] { box->button(QMessageBox::No)->click(); });
            const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->text(), expected);
        });

        runUpdateCheck(&parent, m_session, options());

        QVERIFY(shown);
    }

    void refusedConnection()
    {
        FakeDesktop fake;
        QVERIFY(!QFileInfo::exists(versionsCopyFolder()));
        runUpdateCheck(nullptr, m_session,
                       {QUrl(u"http://127.0.0.1:%1/dl/swv.txt"_qs.arg(m_closed.port())), {}});
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, WebFileMissing);
        // The folder is there for the next check even though this one failed.
        QVERIFY(QFileInfo(versionsCopyFolder()).isDir());
        QCOMPARE(versionsCopyFolder(), cacheFolder());
    }

    void localCopyIsReplacedAndNeverReadAfterAFailure()
    {
        FakeDesktop fake;
        fake.answers = {QMessageBox::No, QMessageBox::No, QMessageBox::No};
        const QString local = cacheFolder() + u"/versions.txt"_qs;
        QCOMPARE(versionsLocalPath(), local);

        m_server.route(FilePath, file("Nimbrel Launcher:1.3\r\nlong tail of the first file"));
        runUpdateCheck(nullptr, m_session, options());
        QCOMPARE(readBytes(local),
                 QByteArray("Nimbrel Launcher:1.3\r\nlong tail of the first file"));

        m_server.route(FilePath, file("Nimbrel Launcher:1.4"));
        runUpdateCheck(nullptr, m_session, options());
        QCOMPARE(readBytes(local), QByteArray("Nimbrel Launcher:1.4"));

        m_server.answer(FilePath, 404, "Nimbrel Launcher:1.5");
        runUpdateCheck(nullptr, m_session, options());

        QCOMPARE(fake.messages.size(), 3);
        QCOMPARE(fake.messages[0].text, newer(u"1.3"_qs));
        QCOMPARE(fake.messages[1].text, newer(u"1.4"_qs));
        QCOMPARE(fake.messages[2].text, WebFileMissing);
        QCOMPARE(readBytes(local), QByteArray("Nimbrel Launcher:1.4"));
#ifndef Q_OS_WIN
        // Nothing of the check lands among the user's data.
        QVERIFY(!QFileInfo::exists(TestEnvironment::appData() + u"/vbTemp"_qs));
#endif
    }

    // A download that arrived but could not be kept says where and why, as
    // every other file message does.
    void localCopyThatCannotBeWrittenIsNamed()
    {
        FakeDesktop fake;
        fake.answers = {QMessageBox::No};
        const QString local = cacheFolder() + u"/versions.txt"_qs;
        QVERIFY(QDir().mkpath(local + u"/inside"_qs));
        m_server.route(FilePath, file("Nimbrel Launcher:1.3"));
        runUpdateCheck(nullptr, m_session, options());
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, u"Web Datafile not foud.\n\n"_qs + local +
                                            u"\n\nIt is a folder, not a file."_qs + InfoQuestion);
        QVERIFY(QFileInfo(local + u"/inside"_qs).isDir());
    }

    void localFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("no file after the download")
            << u"missing"_qs << u"Downloaded Datafile not foud."_qs + InfoQuestion;
        QTest::newRow("unreadable: a folder in its place") << u"folder"_qs << NoEntry;
    }

    // A download that succeeded yet left nothing readable behind; the local
    // file is checked and read as the download left it.
    void localFile()
    {
        QFETCH(QString, setup);
        QFETCH(QString, expectedText);
        const QString local = versionsLocalPath();
        if (setup == u"folder")
            QVERIFY(QDir().mkpath(local));

        const UpdateVerdict verdict = judgeVersionsFile(local, u"1.25"_qs);
        QCOMPARE(updateMessage(verdict, u"1.25"_qs).text, expectedText);
    }

    // The local copy is the launcher's own file: whatever stands at its path is
    // replaced, never written through or waited on.
    void localCopyReplacesWhatStandsInItsPlace_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a file elsewhere") << u"link"_qs;
        QTest::newRow("dangling link") << u"dangling"_qs;
        QTest::newRow("pipe") << u"fifo"_qs;
    }
    void localCopyReplacesWhatStandsInItsPlace()
    {
        QFETCH(QString, kind);
        const QString outside = TestEnvironment::root() + u"/home/.profile"_qs;
        QFile::remove(outside);
        const QString local = versionsLocalPath();
        QVERIFY(QDir().mkpath(versionsCopyFolder()));
        if (kind == u"link")
            writeBytes(outside, "export PATH=/usr/bin\n");
        if (kind == u"fifo")
            MAKE_FIFO(local);
        else
            MAKE_SYMLINK(outside, local);
        m_server.route(FilePath, file("Nimbrel Launcher:1.3\r\n"));
        FakeDesktop fake;
        fake.answers = {QMessageBox::No};

        {
            Watchdog watchdog(20s, "the update check");
            runUpdateCheck(nullptr, m_session, options());
        }

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, newer(u"1.3"_qs));
        QVERIFY(QFileInfo(local).isFile());
        QVERIFY(!QFileInfo(local).isSymbolicLink());
        QCOMPARE(readBytes(local), QByteArray("Nimbrel Launcher:1.3\r\n"));
        QCOMPARE(QFileInfo::exists(outside), kind == u"link");
        if (kind == u"link")
            QCOMPARE(readBytes(outside), QByteArray("export PATH=/usr/bin\n"));
        QFile::remove(outside);
    }

    // Read after the download: something may have taken the copy's place.
    void localCopyThatIsNoRegularFileIsNotRead_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("pipe") << QString();
        QTest::newRow("link to /dev/zero") << u"/dev/zero"_qs;
    }
    void localCopyThatIsNoRegularFileIsNotRead()
    {
        QFETCH(QString, target);
        const QString local = versionsLocalPath();
        QVERIFY(QDir().mkpath(versionsCopyFolder()));
        if (target.isEmpty())
            MAKE_FIFO(local);
        else
            MAKE_SYMLINK(target, local);
        UpdateVerdict verdict;
        {
            Watchdog watchdog(10s, "judgeVersionsFile");
            verdict = judgeVersionsFile(local, u"1.25"_qs);
        }
        QCOMPARE(updateMessage(verdict, u"1.25"_qs).text, NoEntry);
    }

    void tempFolderBlockedByAFile()
    {
        FakeDesktop fake;
        writeBytes(versionsCopyFolder(), "not a folder");
        m_server.route(FilePath, file("Nimbrel Launcher:1.3"));

        runUpdateCheck(nullptr, m_session, options());

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].icon, QMessageBox::Warning);
        QVERIFY(fake.messages[0].text.contains(versionsCopyFolder()));
        QCOMPARE(m_server.requestCount(), 0);
        QVERIFY(fake.opened.isEmpty());
    }

    void windowsWaitWithoutTakingInput()
    {
        FakeDesktop fake;
        Window main;
        main.show();
        Window info;
        info.setWindowModality(Qt::ApplicationModal);
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        info.activateWindow();
        info.button->setFocus();
        m_server.route(FilePath, {Mode::Silent, {}, {}});

        bool mainEnabled = true;
        bool infoEnabled = true;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        int paintsBefore = 0;
        QTimer::singleShot(150ms, [&] {
            mainEnabled = main.isEnabled();
            infoEnabled = info.isEnabled();
            if (const QCursor *busy = QGuiApplication::overrideCursor())
                cursor = busy->shape();
            paintsBefore = info.paints;
            info.update();
        });
        int paintsDuringWait = 0;
        QTimer::singleShot(400ms, [&] { paintsDuringWait = info.paints - paintsBefore; });

        runUpdateCheck(&info, m_session, options(600ms));

        QVERIFY(!mainEnabled);
        QVERIFY(!infoEnabled);
        QCOMPARE(cursor, Qt::WaitCursor);
        QVERIFY(paintsDuringWait > 0);
        QVERIFY(main.isEnabled());
        QVERIFY(info.isEnabled());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(info.focusWidget(), info.button);
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, WebFileMissing);
    }

    void inputDuringTheWaitIsDropped()
    {
        FakeDesktop fake;
        fake.answers = {QMessageBox::No};
        Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.edit->setFocus();

        // The same input outside a wait does reach the window.
        queueUserInput(window);
        QTRY_COMPARE(window.clicks, 1);
        QCOMPARE(window.edit->text(), u"a"_qs);
        window.edit->clear();
        window.edit->setFocus();
        window.clicks = 0;

        m_server.route(FilePath, {Mode::Silent, {}, {}});
        QTimer::singleShot(100ms, [&] { queueUserInput(window); });
        runUpdateCheck(&window, m_session, options(400ms));
        QCoreApplication::processEvents();

        QCOMPARE(window.clicks, 0);
        QCOMPARE(window.edit->text(), QString());
        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(m_server.requestCount(), 1);
    }

    // The launcher's own windows, every control of both double-clicked while
    // the check waits: nothing may act on it, the e-mail link included.
    void launcherWindowsIgnoreInputDuringTheWait()
    {
        SettingsFixture::writeSettings();
        writeBytes(listFile(1), "A\r\nB\r\n");
        FakeDesktop fake;
        fake.answers = {QMessageBox::No};
        MainForm main(m_session);
        main.show();
        // Not modal, so that only the wait stands between the main window's
        // controls and the input.
        InfoForm info(m_session, *ui(main).List_History, &main);
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(QTest::qWaitForWindowActive(&info));
        const MainFormUi m = ui(main);
        const InfoFormUi i = ui(info);
        m.Text_SearchData->setText(QStringLiteral("TERM"));
        const QString sizeText = i.Text_HistoryListMaxItems->text();
        const auto unexpectedWindow =
            whenModalOpens<QWidget>([](QWidget *window) { window->close(); }, 3s);

        const QList<QWidget *> controls{m.Text_SearchData,
                                        m.List_History,
                                        m.Command_OpenBrowser,
                                        m.Command_Exit,
                                        m.Command_Help,
                                        m.Command_OpenWikiMain,
                                        m.Option_HistoryList[1],
                                        m.Option_HistoryList[2],
                                        i.Command_Exit,
                                        i.Command_CopyKey,
                                        i.lblEmail,
                                        i.CheckUpdate,
                                        i.Check_CloseProgram,
                                        i.Text_HistoryListMaxItems,
                                        i.Command_Apply,
                                        i.Command_EditHistory,
                                        i.Command_ClearHistoryList,
                                        i.Check_MoveItemToTop};
        m_server.route(FilePath, {Mode::Silent, {}, {}});
        QTimer::singleShot(100ms, [&] {
            for (QWidget *control : controls)
                queueDoubleClick(control, QPoint(4, control->height() / 2));
            queueKey(&info, Qt::Key_Return, QStringLiteral("\r"));
            queueKey(&info, Qt::Key_Space, QStringLiteral(" "));
        });

        runUpdateCheck(&info, m_session, options(400ms));
        QCoreApplication::processEvents();

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, WebFileMissing);
        QVERIFY(fake.opened.isEmpty());
        QVERIFY(fake.clipboard.isEmpty());
        QVERIFY(!*unexpectedWindow);
        QVERIFY(main.isVisible());
        QVERIFY(info.isVisible());
        QCOMPARE(m.Text_SearchData->text(), QStringLiteral("TERM"));
        QCOMPARE(listTexts(*m.List_History), QStringList({u"A"_qs, u"B"_qs}));
        QVERIFY(m.Option_HistoryList[0]->isChecked());
        QCOMPARE(i.Text_HistoryListMaxItems->text(), sizeText);
        QVERIFY(!i.Check_CloseProgram->isChecked());
        QVERIFY(!i.Check_MoveItemToTop->isChecked());
        QCOMPARE(readBytes(listFile(1)), QByteArray("A\r\nB\r\n"));
    }

    void windowGoneDuringTheWait()
    {
        FakeDesktop fake;
        auto *window = new Window;
        window->show();
        m_server.route(FilePath, {Mode::Silent, {}, {}});
        QTimer::singleShot(100ms, [&] { delete window; });

        runUpdateCheck(window, m_session, options(400ms));

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].parent, nullptr);
        QCOMPARE(fake.messages[0].text, WebFileMissing);
    }

    // Last: it ends the application's event loop.
    void programClosedDuringTheWait()
    {
        FakeDesktop fake;
        Window window;
        window.show();
        m_server.route(FilePath, {Mode::Silent, {}, {}});
        bool returned = false;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(200ms, qApp, &QCoreApplication::quit);
            runUpdateCheck(&window, m_session, options(30s));
            returned = true;
        });

        QCoreApplication::exec();

        QVERIFY(returned);
        // Nobody is asked anything and no browser opens while the program closes.
        QVERIFY(fake.messages.isEmpty());
        QVERIFY(fake.opened.isEmpty());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

NIMBREL_TEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
