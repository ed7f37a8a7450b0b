#pragma once

#include "app/CommandLine.h"
#include "app/InstanceAddress.h"
#include "rules/InstanceMessage.h"

#include <QLockFile>

#include <memory>
#include <optional>

namespace Nimbrel
{

class InstanceServer;
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

    // With the application object in place: listens for later starts, opens
    // the window and searches the command line's term.
    MainForm &open();

    // Runs until the window closes or the session ends; then closes the window
    // and stops listening, before the application object goes.
    int exec();

private:
    std::optional<int> reportReply(InstanceMessage::Reply reply) const;
    std::optional<InstanceMessage::Reply> handle(const InstanceMessage::Request &request);
    void searchCommandLineTerm();
    void waitUntilActive();

    CommandLine m_commandLine;
    InstanceAddress m_address;
    std::optional<QLockFile> m_electionLock;
    std::unique_ptr<InstanceServer> m_server;
    std::unique_ptr<MainForm> m_form;
    std::unique_ptr<SessionEnd> m_sessionEnd;
};

} // namespace Nimbrel
