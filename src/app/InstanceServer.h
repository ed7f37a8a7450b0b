#pragma once

#include "rules/InstanceMessage.h"

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>

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
    // Does what a request asks and returns the answer, or nothing to hang up
    // without one (the launcher is ending; the other start then tries again).
    using Handler =
        std::function<std::optional<InstanceMessage::Reply>(const InstanceMessage::Request &)>;

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
    bool m_handling = false;
    bool m_stopped = false;
};

} // namespace Nimbrel
