#include "LocalServer.h"

#include <QTcpSocket>

namespace
{

constexpr qint64 HugeSize = 2LL * 1024 * 1024 * 1024;
constexpr qint64 ChunkSize = 64 * 1024;
const char *const SentProperty = "sent";

} // namespace

LocalServer::LocalServer(Answer kind, QObject *parent)
    : QTcpServer(parent), m_answer(kind),
      m_chunk(
          kind == Answer::HeaderFlood
              ? QByteArray("X-Flood: 0123456789abcdef0123456789abcdef\r\n").repeated(ChunkSize / 43)
              : QByteArray(ChunkSize, 'x'))
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // The request itself does not matter; its first bytes are enough
            // to know the client is waiting.
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                socket->readAll();
                if (!socket->property(SentProperty).isValid())
                    answer(socket);
            });
        }
    });
}

void LocalServer::answer(QTcpSocket *socket)
{
    socket->setProperty(SentProperty, qint64(0));
    switch (m_answer) {
    case Answer::Stall:
        return;
    case Answer::Versions:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 23\r\n"
                      "Connection: close\r\n\r\nNimbrel Launcher:1.25\r\n");
        socket->disconnectFromHost();
        return;
    case Answer::Huge:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
        break;
    case Answer::HeaderFlood:
        socket->write("HTTP/1.1 200 OK\r\n");
        break;
    case Answer::EndlessHeader:
        socket->write("HTTP/1.1 200 OK\r\nX-Endless: ");
        break;
    }
    // Written as the client takes it, so the server's own memory stays small.
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
    sendMore(socket);
}

void LocalServer::sendMore(QTcpSocket *socket)
{
    qint64 sent = socket->property(SentProperty).toLongLong();
    while (sent < HugeSize && socket->bytesToWrite() < 4 * ChunkSize &&
           socket->state() == QAbstractSocket::ConnectedState) {
        socket->write(m_chunk);
        sent += m_chunk.size();
    }
    socket->setProperty(SentProperty, sent);
    if (sent >= HugeSize)
        socket->disconnectFromHost();
}
