#include "app/SessionEnd.h"

#include "rules/BoundedDownload.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QEvent>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace Nimbrel
{

namespace
{

SessionEnd *current = nullptr;
QtMessageHandler previousHandler = nullptr;

// While a modal window or a download unwinds, the close is tried again this
// often, and gives up waiting after this many tries.
constexpr int RetryMs = 20;
constexpr int MaxCloseAttempts = 250;

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};
constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Runs in the signal's context: nothing but a write, which is safe there.
// The event loop reads the byte and ends the run.
void onEndingSignal(int number)
{
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
    errno = savedErrno;
}
#endif

// The texts Qt prints right before it ends the process because the display's
// connection broke; Qt gives no other way to learn of it in time.
bool isDisplayLost(const QString &message)
{
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection experienced a fatal error"));
}

} // namespace

SessionEnd::SessionEnd(MainForm &form, QObject *parent) : QObject(parent), m_form(form)
{
    current = this;
    m_form.installEventFilter(this);
    installSignalHandlers();
    auto *app = qApp;
    connect(qobject_cast<QGuiApplication *>(app), &QGuiApplication::commitDataRequest, this,
            &SessionEnd::saveForLogout, Qt::DirectConnection);
    connect(app, &QCoreApplication::aboutToQuit, this, &SessionEnd::unloadBeforeQuit);
    previousHandler = qInstallMessageHandler(&SessionEnd::displayLostWatch);
}

SessionEnd::~SessionEnd()
{
    qInstallMessageHandler(previousHandler);
#ifdef Q_OS_UNIX
    for (const int number : EndingSignals)
        std::signal(number, SIG_DFL);
#endif
    if (m_console)
        setDesktop(&m_console->previous());
    current = nullptr;
}

bool SessionEnd::eventFilter(QObject *watched, QEvent *event)
{
    // Closing the window by any means ends the run, even while its unload
    // handler still waits in a message box.
    if (watched == &m_form && event->type() == QEvent::Close)
        m_ending = true;
    return QObject::eventFilter(watched, event);
}

void SessionEnd::installSignalHandlers()
{
#ifdef Q_OS_UNIX
    // A reader that went away must not end the run before it saved.
    std::signal(SIGPIPE, SIG_IGN);
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        qWarning(
            "nimbrel-launcher: %s",
            qUtf8Printable(tr("signals will end the launcher without saving: %1").arg(reason)));
        return;
    }
    m_signalNotifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, &SessionEnd::readSignal);

    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : EndingSignals)
        ::sigaction(number, &action, nullptr);
#endif
}

void SessionEnd::readSignal()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
    }
#endif
    if (m_ending)
        return;
    m_ending = true;
    useConsoleMessages();
    closeEverything();
}

void SessionEnd::closeEverything()
{
    // A modal window closes as with its close box, which answers a question
    // with its safe choice; its handler then finishes before the main window
    // closes, so nothing is left half done.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
    // An update check may wait up to its deadline for a server that stalls.
    interruptDownloads();
    if (QThread::currentThread()->loopLevel() > 1 && ++m_closeAttempts < MaxCloseAttempts) {
        QTimer::singleShot(RetryMs, this, &SessionEnd::closeEverything);
        return;
    }
    m_form.close();
    QCoreApplication::exit(0);
}

void SessionEnd::saveForLogout(QSessionManager &manager)
{
    // The launcher starts again with the next press of its key; a restart by
    // the session would hand it options of the session manager's.
    manager.setRestartHint(QSessionManager::RestartNever);
    ConsoleMessages console(desktop());
    Desktop &previous = desktop();
    setDesktop(&console);
    m_form.saveChanges();
    setDesktop(&previous);
}

void SessionEnd::unloadBeforeQuit()
{
    m_ending = true;
    useConsoleMessages();
    m_form.unload();
}

void SessionEnd::useConsoleMessages()
{
    if (m_console)
        return;
    m_console.emplace(desktop());
    setDesktop(&*m_console);
}

void SessionEnd::displayLostWatch(QtMsgType type, const QMessageLogContext &context,
                                  const QString &message)
{
    static bool saving = false;
    if (current && !saving && type != QtDebugMsg && isDisplayLost(message)) {
        // Qt ends the process right after this message, from inside its event
        // handling: save now, without touching the window system.
        saving = true;
        current->m_ending = true;
        current->useConsoleMessages();
        current->m_form.unload();
    }
    if (previousHandler)
        previousHandler(type, context, message);
    else
        Console::print(stderr, message + u'\n');
}

} // namespace Nimbrel
