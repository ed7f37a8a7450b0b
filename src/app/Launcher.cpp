#include "app/Launcher.h"

#include "app/ConsoleMessages.h"
#include "app/InstanceClient.h"
#include "app/InstanceServer.h"
#include "app/SessionEnd.h"
#include "app/WindowActivation.h"
#include "desktop/DesktopIdentity.h"
#include "rules/LauncherSession.h"
#include "rules/SearchRules.h"
#include "windows/MainForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace Nimbrel
{

using InstanceMessage::Reply;
using InstanceMessage::Request;

namespace
{

// How long a second start waits for the running launcher in all: long enough
// for one that is still building its window on a busy machine.
constexpr int HandOverTimeoutMs = 10000;
// The pause before asking again a launcher that hung up (it may be ending).
constexpr int RetryMs = 50;
// How often a start looks whether the start that is becoming the launcher has
// got there. Short, since every start waiting for it tries in turn.
constexpr int LockPollMs = 20;
// A launcher that is about to end serves the starts that keep coming until
// none has come for this long, at most for the second figure.
constexpr std::chrono::milliseconds DrainQuiet{300};
constexpr std::chrono::milliseconds DrainLimit{5000};
// How long the running launcher waits for its window to become active before
// it answers anyway; the window system may refuse.
constexpr int ActivationWaitMs = 1000;

using Console::complain;
using Console::print;

void complainNothingToSearch(const QString &term)
{
    complain(QCoreApplication::translate(
                 "Nimbrel::Launcher",
                 "nothing to search: \"%1\" holds no character the search box takes.")
                 .arg(term));
}

// Takes the lock, trying until `deadline`: QLockFile's own wait sleeps longer
// and longer, and would sleep through the moment the lock comes free.
bool takeLock(QLockFile &lock, const QDeadlineTimer &deadline)
{
    for (;;) {
        if (lock.tryLock(0))
            return true;
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(LockPollMs);
    }
}

void complainBusy(const QString &term)
{
    complain(
        QCoreApplication::translate("Nimbrel::Launcher",
                                    "\"%1\" was not searched: the launcher has a window open that "
                                    "waits for an answer.")
            .arg(term));
}

// What Qt says while it opens the display: held back, and told only once the
// display is open, since a failure is told in one line of the launcher's own.
Launcher *openingDisplay = nullptr;
QtMessageHandler handlerBeforeDisplay = nullptr;
QStringList heldMessages;

QString noDisplayText()
{
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (x11.isEmpty() && wayland.isEmpty())
        return QCoreApplication::translate(
            "Nimbrel::Launcher", "no display could be opened: neither DISPLAY nor WAYLAND_DISPLAY "
                                 "is set.");
    QStringList named;
    if (!wayland.isEmpty())
        named << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
    if (!x11.isEmpty())
        named << QStringLiteral("DISPLAY=") + x11;
    return QCoreApplication::translate("Nimbrel::Launcher", "no display could be opened (%1).")
        .arg(named.join(QStringLiteral(", ")));
}

} // namespace

Launcher::Launcher(const QStringList &arguments) : m_commandLine(CommandLine::parse(arguments)) {}

Launcher::~Launcher() = default;

std::optional<int> Launcher::handOver()
{
    switch (m_commandLine.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        print(stdout, m_commandLine.output);
        return 0;
    case CommandLine::Action::Error:
        print(stderr, m_commandLine.output);
        return 2;
    case CommandLine::Action::Start:
        break;
    }

    m_address = InstanceAddress::forThisSession();
    if (!m_address.warning.isEmpty())
        complain(m_address.warning);
    if (!m_address.error.isEmpty()) {
        complain(QCoreApplication::translate("Nimbrel::Launcher",
                                             "%1 Starting without looking for a running one.")
                     .arg(m_address.error));
        return std::nullopt;
    }

    Request request;
    if (!m_commandLine.term.isEmpty()) {
        request.action = Request::Action::Search;
        request.term = m_commandLine.term;
    }
    request.startupId = qgetenv("DESKTOP_STARTUP_ID");
    request.activationToken = qgetenv("XDG_ACTIVATION_TOKEN");
    const QDeadlineTimer deadline(HandOverTimeoutMs, Qt::PreciseTimer);
    request.deadline = deadline.deadlineNSecs();
    const QByteArray bytes = InstanceMessage::encodeRequest(request);

    for (;;) {
        const HandOver attempt = HandOver::attempt(m_address.serverName, bytes, deadline);
        if (attempt.outcome == HandOver::Outcome::NoInstance) {
            if (m_electionLock)
                return std::nullopt; // elected: the lock is held until the server listens
            // Starts at the same moment all get here; the lock lets one of them
            // become the launcher, and the others then find it.
            m_electionLock.emplace(m_address.lockPath);
            if (takeLock(*m_electionLock, deadline))
                continue;
            const bool timedOut = m_electionLock->error() == QLockFile::LockFailedError;
            m_electionLock.reset();
            if (timedOut) {
                complain(QCoreApplication::translate("Nimbrel::Launcher",
                                                     "another start held %1 for too long.")
                             .arg(m_address.lockPath));
                return 1;
            }
            complain(
                QCoreApplication::translate("Nimbrel::Launcher",
                                            "%1 cannot be created; starting without looking for a "
                                            "running launcher.")
                    .arg(m_address.lockPath));
            return std::nullopt;
        }
        m_electionLock.reset();

        switch (attempt.outcome) {
        case HandOver::Outcome::Answered:
            return reportReply(attempt.reply);
        case HandOver::Outcome::Dropped:
            if (!deadline.hasExpired()) {
                QThread::msleep(RetryMs);
                continue;
            }
            complain(QCoreApplication::translate(
                         "Nimbrel::Launcher", "the running launcher did not take the request (%1).")
                         .arg(attempt.detail));
            return 1;
        case HandOver::Outcome::TimedOut:
            complain(
                QCoreApplication::translate(
                    "Nimbrel::Launcher", "the running launcher did not answer within %1 seconds.")
                    .arg(HandOverTimeoutMs / 1000));
            return 1;
        case HandOver::Outcome::Refused:
        case HandOver::Outcome::NoInstance:
            complain(QCoreApplication::translate("Nimbrel::Launcher",
                                                 "cannot reach the running launcher at %1: %2")
                         .arg(m_address.serverName, attempt.detail));
            return 1;
        }
    }
}

std::optional<int> Launcher::reportReply(Reply reply) const
{
    switch (reply) {
    case Reply::Done:
        return 0;
    case Reply::NothingToSearch:
        complainNothingToSearch(m_commandLine.term);
        return 0;
    case Reply::Busy:
        complainBusy(m_commandLine.term);
        return 1;
    }
    return 1;
}

void Launcher::expectDisplay()
{
    openingDisplay = this;
    handlerBeforeDisplay = qInstallMessageHandler(&Launcher::displayOpeningWatch);
}

void Launcher::displayOpeningWatch(QtMsgType type, const QMessageLogContext &context,
                                   const QString &message)
{
    if (type != QtFatalMsg) {
        heldMessages << qFormatLogMessage(type, context, message);
        return;
    }
    // Qt aborts right after this; nothing of this start may be left behind.
    if (openingDisplay)
        openingDisplay->m_electionLock.reset();
    complain(noDisplayText());
    std::_Exit(1);
}

MainForm &Launcher::open()
{
    if (openingDisplay) {
        qInstallMessageHandler(handlerBeforeDisplay);
        openingDisplay = nullptr;
        for (const QString &message : std::as_const(heldMessages))
            print(stderr, message + u'\n');
        heldMessages.clear();
    }
    DesktopIdentity::apply();
    if (m_electionLock) {
        m_server = std::make_unique<InstanceServer>();
        if (!m_server->listen(m_address.serverName)) {
            complain(QCoreApplication::translate(
                         "Nimbrel::Launcher",
                         "cannot listen at %1 (%2); later starts open windows of "
                         "their own.")
                         .arg(m_address.serverName, m_server->errorString()));
            m_server.reset();
        }
        m_electionLock.reset();
    }

    m_session = std::make_unique<LauncherSession>();
    m_form = std::make_unique<MainForm>(*m_session);
    m_sessionEnd = std::make_unique<SessionEnd>(*m_form);
    m_form->show();
    if (m_server)
        m_server->serve([this](const Request &request) { return handle(request); });
    if (!m_commandLine.term.isEmpty())
        QTimer::singleShot(0, m_form.get(), [this] { searchCommandLineTerm(); });
    return *m_form;
}

int Launcher::exec()
{
    const int status = QApplication::exec();
    if (m_server) {
        m_server->drain(DrainQuiet, DrainLimit);
        if (m_searchedWhileEnding)
            m_form->saveChanges();
    }
    // The lists are saved by now; only then may another start take over.
    m_server.reset();
    m_sessionEnd.reset();
    m_form.reset();
    return status;
}

void Launcher::searchCommandLineTerm()
{
    if (m_sessionEnd->isEnding())
        return;
    if (QApplication::activeModalWidget())
        complainBusy(m_commandLine.term);
    else if (!m_form->searchFromOutside(m_commandLine.term))
        complainNothingToSearch(m_commandLine.term);
}

std::optional<InstanceServer::Answer> Launcher::handle(const Request &request)
{
    const bool search = request.action == Request::Action::Search &&
                        !SearchRules::typedInsertion(QString(), 0, 0, request.term).isEmpty();
    // The term is searched once the other start has its answer.
    const auto searchTerm = [this, term = request.term] { m_form->searchFromOutside(term); };

    // A launcher that is ending (its window closed after a launch, say) still
    // searches the terms handed to it, and saves them before another start
    // may take over. Anything else is left to the launcher that comes next:
    // this one hangs up, and the other start tries again.
    if (m_sessionEnd->isEnding()) {
        if (!search)
            return std::nullopt;
        m_searchedWhileEnding = true;
        return InstanceServer::Answer{Reply::Done, searchTerm};
    }

    const bool modal = QApplication::activeModalWidget() != nullptr;
    if (search && !modal)
        return InstanceServer::Answer{Reply::Done, searchTerm};

    WindowActivation::prepare(request.startupId, request.activationToken);
    m_form->bringToFront();
    waitUntilActive();
    if (request.action == Request::Action::Activate)
        return InstanceServer::Answer{Reply::Done, {}};
    return InstanceServer::Answer{modal ? Reply::Busy : Reply::NothingToSearch, {}};
}

void Launcher::waitUntilActive()
{
    // The answer goes out once the window is really active, so that the
    // other start ends when the user can type.
    QWidget *window = QApplication::activeModalWidget();
    if (!window)
        window = m_form.get();
    if (QApplication::activeWindow() == window)
        return;
    QEventLoop loop;
    QTimer::singleShot(ActivationWaitMs, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &loop, [&loop, window] {
        if (QApplication::activeWindow() == window)
            loop.quit();
    });
    loop.exec();
}

} // namespace Nimbrel
