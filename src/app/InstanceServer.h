#pragma once

#include "rules/InstanceMessage.h"

#include <QElapsedTimer>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <optional>

class QLocalSocket;

namespace Nimbrel
{

// The running launcher's end of the local socket. Whatever connects is taken
// for untrusted: only this user's processes get in, a connection has a short
// time to deliver one well-formed request of bounded size, and anything else
// is dropped without effect. Requests are handled one at a time, in the order
// they were completed.
class InstanceServer : public QObject
{
    Q_OBJECT
public:
    // The answer to a request, and what to do once it has gone out: a search
    // that may wait in a message box must not hold the other start's answer.
    struct Answer {
        InstanceMessage::Reply reply;
        std::function<void()> then;
    };
    // Decides on a request and returns the answer, or nothing to hang up
    // without doing anything (the other start then tries again).
    using Handler = std::function<std::optional<Answer>(const InstanceMessage::Request &)>;

    // A connection that has not delivered its request by then is dropped.
    static constexpr int ReadTimeoutMs = 2000;
    // Connections beyond this many at once are dropped at once.
    static constexpr int MaxConnections = 16;

    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Listens at `serverName`, replacing a socket that an ended launcher left
    // behind. Only while holding the election lock, after no one answered there.
    bool listen(const QString &serverName);
    QString errorString() const { return m_server.errorString(); }

    // Until this is called, connections wait; from then on requests go to
    // `handler`.
    void serve(Handler handler);

    // Goes on serving, without the application's event loop, until no
    // request has been answered for `quiet`, at most for `limit`: starts that
    // were already waiting for a launcher that is about to end are served by
    // it rather than left to find that it went.
    void drain(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

    // Takes no more requests: stops listening and drops every connection.
    void stop();

private:
    class Connection;

    void acceptPending();
    void readFrom(Connection *connection);
    void handleReady();

    QLocalServer m_server;
    Handler m_handler;
    QList<QPointer<Connection>> m_ready; // complete requests, oldest first
    QElapsedTimer m_sinceLastAnswer;
    bool m_handling = false;
    bool m_stopped = false;
};

} // namespace Nimbrel
