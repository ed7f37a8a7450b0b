#pragma once

#include "app/CommandLine.h"
#include "app/InstanceAddress.h"
#include "app/InstanceServer.h"
#include "rules/InstanceMessage.h"

#include <QLockFile>

#include <memory>
#include <optional>

namespace Nimbrel
{

class LauncherSession;
class MainForm;
class SessionEnd;

// The program's start, in two halves around the application object: before
// it, the command line and the hand-over to a running launcher, which need no
// window system; after it, the window, the single-instance server and the
// watch for the session's end.
class Launcher
{
public:
    explicit Launcher(const QStringList &arguments);
    ~Launcher();

    // Answers --help, --version and mistakes, or hands the request to the
    // launcher already running for this user and display. Returns the exit
    // status when this process is done; nothing when it is to become the
    // running launcher.
    std::optional<int> handOver();

    // Right before the application object is made: should it find no display
    // to open, the start says so in one line on standard error and ends with
    // status 1, leaving no lock behind, instead of being aborted by Qt.
    void expectDisplay();

    // With the application object in place: listens for later starts, opens
    // the window and searches the command line's term.
    MainForm &open();

    // Runs until the window closes or the session ends; then closes the window
    // and stops listening, before the application object goes.
    int exec();

private:
    std::optional<int> reportReply(InstanceMessage::Reply reply) const;
    std::optional<InstanceServer::Answer> handle(const InstanceMessage::Request &request);
    void searchCommandLineTerm();
    void waitUntilActive();
    static void displayOpeningWatch(QtMsgType type, const QMessageLogContext &context,
                                    const QString &message);

    CommandLine m_commandLine;
    InstanceAddress m_address;
    std::optional<QLockFile> m_electionLock;
    std::unique_ptr<InstanceServer> m_server;
    // Made with the window, and gone only after it.
    std::unique_ptr<LauncherSession> m_session;
    std::unique_ptr<MainForm> m_form;
    std::unique_ptr<SessionEnd> m_sessionEnd;
    bool m_searchedWhileEnding = false;
};

} // namespace Nimbrel
