#include "app/InstanceServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace Nimbrel
{

using InstanceMessage::RequestReader;

// A connection's reader and deadline, owned by its socket.
class InstanceServer::Connection : public QObject
{
public:
    explicit Connection(QLocalSocket *socket) : QObject(socket) {}
    QLocalSocket *socket() const { return static_cast<QLocalSocket *>(parent()); }

    RequestReader reader;
    QTimer deadline;
};

namespace
{

// The folder and the socket's mode keep other users out; this check holds
// even where those were loosened by hand.
bool isOwnUser(QLocalSocket *socket)
{
#if defined(Q_OS_LINUX)
    struct ucred credentials {
    };
    socklen_t size = sizeof credentials;
    return ::getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials,
                        &size) == 0 &&
           credentials.uid == ::getuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(int(socket->socketDescriptor()), &uid, &gid) == 0 && uid == ::getuid();
#else
    // The pipe's access list admits only this user (UserAccessOption).
    Q_UNUSED(socket)
    return true;
#endif
}

} // namespace

InstanceServer::InstanceServer(QObject *parent) : QObject(parent)
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
}

InstanceServer::~InstanceServer()
{
    stop();
}

bool InstanceServer::listen(const QString &serverName)
{
    QLocalServer::removeServer(serverName);
    return m_server.listen(serverName);
}

void InstanceServer::serve(Handler handler)
{
    m_handler = std::move(handler);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptPending);
    acceptPending();
}

void InstanceServer::drain(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
{
    QDeadlineTimer end(limit);
    m_sinceLastAnswer.start();
    // The application's loop has ended, and a quit asked for now would not end
    // a loop of its own; the tick wakes the wait to look at the clock.
    QTimer tick;
    tick.start(20);
    while (!m_stopped && !m_sinceLastAnswer.hasExpired(quiet.count()) && !end.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

void InstanceServer::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_server.close();
    for (QLocalSocket *socket : m_server.findChildren<QLocalSocket *>())
        socket->abort();
    m_ready.clear();
}

void InstanceServer::acceptPending()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // Sockets are children of the server until deleted.
        const qsizetype open = m_server.findChildren<QLocalSocket *>().size();
        if (m_stopped || open > MaxConnections || !isOwnUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new Connection(socket);
        connection->deadline.setSingleShot(true);
        connect(&connection->deadline, &QTimer::timeout, socket, &QLocalSocket::abort);
        connection->deadline.start(ReadTimeoutMs);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, connection,
                [this, connection] { readFrom(connection); });
        readFrom(connection);
    }
}

void InstanceServer::readFrom(Connection *connection)
{
    QLocalSocket *socket = connection->socket();
    if (connection->reader.state() == RequestReader::State::Complete) {
        // Anything after the request is more than a launcher sends.
        if (socket->bytesAvailable() > 0)
            socket->abort();
        return;
    }
    // Read no more than a request can hold, so a flood costs nothing.
    const QByteArray bytes = socket->read(InstanceMessage::MaxPayloadSize + 16);
    switch (connection->reader.feed(bytes)) {
    case RequestReader::State::Incomplete:
        return;
    case RequestReader::State::Invalid:
        socket->abort();
        return;
    case RequestReader::State::Complete:
        connection->deadline.stop();
        m_ready.append(connection);
        handleReady();
        return;
    }
}

void InstanceServer::handleReady()
{
    // A handler may wait in a message box, during which more requests arrive;
    // they are taken after it, not in the middle of it.
    if (m_handling)
        return;
    m_handling = true;
    while (!m_ready.isEmpty() && !m_stopped) {
        const QPointer<Connection> connection = m_ready.takeFirst();
        if (!connection || connection->socket()->state() != QLocalSocket::ConnectedState)
            continue;
        const InstanceMessage::Request request = connection->reader.request();
        // A start that has given up reports its term as not searched: it must
        // not be searched now. The answer goes out right after this check, so
        // it reaches a start that is still waiting.
        if (request.deadline > 0 &&
            QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs() >= request.deadline) {
            connection->socket()->abort();
            continue;
        }
        // The handler may wait in an event loop, where the other end can hang up.
        const std::optional<Answer> answer = m_handler(request);
        if (connection) {
            QLocalSocket *socket = connection->socket();
            if (answer) {
                socket->write(InstanceMessage::encodeReply(answer->reply));
                socket->flush();
                socket->disconnectFromServer();
            } else {
                socket->abort();
            }
        }
        if (answer) {
            m_sinceLastAnswer.start();
            if (answer->then)
                answer->then();
        }
    }
    m_handling = false;
}

} // namespace Nimbrel
