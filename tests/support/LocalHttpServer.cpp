#include "LocalHttpServer.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

namespace
{

QByteArray tlsFile(const char *name)
{
    QFile file(QStringLiteral(NIMBREL_TEST_TLS_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSslCertificate tlsCertificate()
{
    return QSslCertificate(tlsFile("local-tls.crt"), QSsl::Pem);
}

// The first byte of every TLS connection: a handshake record.
constexpr char TlsHandshake = 0x16;

} // namespace

void SwitchableTcpServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (socket->setSocketDescriptor(descriptor))
        addPendingConnection(socket);
    else
        delete socket;
}

void LocalHttpServer::trustTlsCertificate()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(tlsCertificate());
    QSslConfiguration::setDefaultConfiguration(configuration);
}

QByteArray httpHead(int status, qint64 contentLength, const QByteArray &extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " Test\r\nConnection: close\r\n";
    if (contentLength >= 0)
        head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    return head + extraHeaders;
}

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_open;
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                --m_open;
                socket->deleteLater();
            });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        }
    });
}

QUrl LocalHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

QUrl LocalHttpServer::httpsUrl(const QString &path) const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(port()).arg(path));
}

void LocalHttpServer::answer(const QString &path, int status, const QByteArray &body)
{
    route(path, {Mode::Answer, httpHead(status, body.size()), body});
}

void LocalHttpServer::clear()
{
    m_routes.clear();
    m_requests = 0;
    m_bytesSent = 0;
}

void LocalHttpServer::serve(QTcpSocket *socket)
{
    // Peeking leaves the handshake for the TLS layer to read.
    auto *tls = qobject_cast<QSslSocket *>(socket);
    char first = 0;
    if (m_tls && tls && tls->mode() == QSslSocket::UnencryptedMode && tls->peek(&first, 1) == 1 &&
        first == TlsHandshake) {
        tls->setLocalCertificate(tlsCertificate());
        tls->setPrivateKey(QSslKey(tlsFile("local-tls.key"), QSsl::Ec));
        tls->startServerEncryption();
        return;
    }
    if (socket->property("served").toBool() || !socket->peek(64 * 1024).contains("\r\n\r\n"))
        return;
    socket->setProperty("served", true);
    ++m_requests;
    const QByteArray head = socket->peek(64 * 1024);
    m_lastRequest = head.first(head.indexOf("\r\n\r\n") + 4);
    const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
    const QString path = QString::fromLatin1(requestLine.value(1));
    start(socket, m_routes.value(path, {Mode::Answer, httpHead(404, 9), "not found"}));
}

void LocalHttpServer::keepSending(QTcpSocket *socket, const QByteArray &filler)
{
    auto topUp = [this, socket, filler] {
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < 4 * 64 * 1024)
            m_bytesSent += socket->write(filler);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, topUp);
    topUp();
}

void LocalHttpServer::start(QTcpSocket *socket, const Route &route)
{
    switch (route.mode) {
    case Mode::HeaderFlood:
        m_bytesSent += socket->write(route.head);
        keepSending(socket,
                    QByteArray("X-Flood: 0123456789abcdef0123456789abcdef\r\n").repeated(1000));
        return;
    case Mode::EndlessHeader:
        m_bytesSent += socket->write(route.head + "X-Endless: ");
        keepSending(socket, QByteArray(64 * 1024, 'x'));
        return;
    case Mode::HeaderDrip: {
        m_bytesSent += socket->write(route.head);
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket,
                [this, socket] { m_bytesSent += socket->write("X-Drip: 1\r\n"); });
        timer->start(50);
        return;
    }
    default:
        break;
    }
    const QByteArray head = route.head + "\r\n";
    m_bytesSent += socket->write(head);
    switch (route.mode) {
    case Mode::Answer:
        m_bytesSent += socket->write(route.body);
        socket->disconnectFromHost();
        break;
    case Mode::Silent:
        break;
    case Mode::Drip: {
        auto *timer = new QTimer(socket);
        auto position = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [this, socket, route, position] {
            if (*position < route.body.size())
                m_bytesSent += socket->write(route.body.mid((*position)++, 1));
        });
        timer->start(100);
        break;
    }
    case Mode::Endless:
        keepSending(socket, QByteArray(64 * 1024, 'x'));
        break;
    default:
        break;
    }
}

ThreadedHttpServer::ThreadedHttpServer(const LocalHttpServer::Route &route) : m_route(route)
{
    start();
    m_ready.acquire();
}

ThreadedHttpServer::~ThreadedHttpServer()
{
    quit();
    wait();
}

QUrl ThreadedHttpServer::url(const QString &path) const
{
    return m_server.load()->url(path);
}

void ThreadedHttpServer::run()
{
    LocalHttpServer server;
    server.route(QStringLiteral("/dl/swv.txt"), m_route);
    m_server = &server;
    m_ready.release();
    exec();
}
