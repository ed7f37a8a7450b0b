// The ends of a session met in the middle of work, in one process: the
// signal's handler, the main window and the update check are the real ones.
#include "app/SessionEnd.h"
#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/LocalHttpServer.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"
#include "windows/MainForm.h"
#include "windows/UpdateCheck.h"

#include <QLineEdit>
#include <QNetworkProxy>
#include <QTemporaryFile>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Nimbrel;
using namespace SettingsFixture;
using namespace std::chrono_literals;

namespace
{

// What the process writes to standard error while it lives.
class StandardErrorCapture
{
public:
    StandardErrorCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { restore(); }

    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class TestSessionEnd : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::reset();
        writeSettings();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    // SIGTERM while the update check waits for a server that never answers:
    // the check is called off at once, without telling an outcome nobody
    // waits for, and the launcher saves and ends. It used to wait for the
    // check's deadline, which a service manager may not grant.
    void signalCallsOffStalledUpdateCheck()
    {
        LocalHttpServer server;
        server.route(QStringLiteral("/dl/swv.txt"), {LocalHttpServer::Mode::Silent, {}, {}});
        FakeDesktop fake;
        LauncherSession session;
        MainForm form(session);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        SessionEnd end(form);
        QTest::keyClicks(ui(form).Text_SearchData, QStringLiteral("ab"));
        QTest::keyClick(ui(form).Text_SearchData, Qt::Key_Return);

        StandardErrorCapture capture;
        bool checkReturned = false;
        QTimer::singleShot(0, &form, [&] {
            QTimer::singleShot(300, [] { std::raise(SIGTERM); });
            runUpdateCheck(&form, session,
                           {server.url(QStringLiteral("/dl/swv.txt")), {4s, 1024 * 1024}});
            checkReturned = true;
        });
        QCOMPARE(QApplication::exec(), 0);
        const QByteArray err = capture.text();

        QVERIFY(checkReturned);
        QVERIFY2(!err.contains("Web Datafile not foud"), err.constData());
        QCOMPARE(readBytes(listFile(1)), QByteArray("AB\r\n"));
    }
};

NIMBREL_TEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
