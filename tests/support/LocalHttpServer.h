#pragma once

#include <QHash>
#include <QObject>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <atomic>

// Hands out each connection as a QSslSocket, which talks plain TCP until it
// is told to switch to TLS.
class SwitchableTcpServer : public QTcpServer
{
protected:
    void incomingConnection(qintptr descriptor) override;
};

// A small HTTP server on 127.0.0.1 for the download tests. Each path gets a
// behaviour; unknown paths answer 404. With TLS on, the same port also
// answers https: a connection that opens with a TLS handshake gets one, with
// a certificate for 127.0.0.1 that trustTlsCertificate() makes this process
// accept.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    enum class Mode {
        Answer,  // sends `head` and `body`, then closes
        Silent,  // accepts the request and never answers
        Drip,    // sends `head`, then one byte of `body` every 100 ms
        Endless, // sends `head`, then filler for as long as the client reads
        // The head never ends: `head` (a status line) and then, for as long
        // as the client reads, ...
        HeaderFlood,   // ... one header field after another
        EndlessHeader, // ... one header field whose value never ends
        HeaderDrip,    // ... a short header field every 50 ms
    };
    struct Route {
        Mode mode = Mode::Answer;
        QByteArray head; // status line and headers, without the blank line
        QByteArray body;
    };

    LocalHttpServer();

    QUrl url(const QString &path) const;
    QUrl httpsUrl(const QString &path) const;
    void enableTls() { m_tls = true; }
    static void trustTlsCertificate();
    quint16 port() const { return m_server.serverPort(); }

    // The usual answer: status, Content-Length and body.
    void answer(const QString &path, int status, const QByteArray &body);
    void route(const QString &path, const Route &route) { m_routes.insert(path, route); }
    void clear();

    // Safe to read from another thread (see ThreadedHttpServer).
    int requestCount() const { return m_requests; }
    qint64 bytesSent() const { return m_bytesSent; }
    int openConnections() const { return m_open; }
    QByteArray lastRequest() const { return m_lastRequest; } // its head; not thread-safe

private:
    void serve(QTcpSocket *socket);
    void start(QTcpSocket *socket, const Route &route);
    void keepSending(QTcpSocket *socket, const QByteArray &filler);

    SwitchableTcpServer m_server;
    bool m_tls = false;
    QHash<QString, Route> m_routes;
    std::atomic<int> m_requests = 0;
    std::atomic<qint64> m_bytesSent = 0;
    std::atomic<int> m_open = 0;
    QByteArray m_lastRequest;
};

// A LocalHttpServer on a thread of its own, serving one route at /dl/swv.txt:
// it goes on sending while the thread under test is busy or blocked, as a
// server on another machine would.
class ThreadedHttpServer : public QThread
{
public:
    explicit ThreadedHttpServer(const LocalHttpServer::Route &route);
    ~ThreadedHttpServer() override;

    QUrl url(const QString &path) const;
    qint64 bytesSent() const { return m_server.load()->bytesSent(); }
    int openConnections() const { return m_server.load()->openConnections(); }

protected:
    void run() override;

private:
    LocalHttpServer::Route m_route;
    std::atomic<LocalHttpServer *> m_server = nullptr;
    QSemaphore m_ready;
};

QByteArray httpHead(int status, qint64 contentLength = -1,
                    const QByteArray &extraHeaders = QByteArray());

// A port on 127.0.0.1 where connections are refused: a socket is bound to it
// but never listens. It stays bound while the object lives, so no other test
// running at the same time can be given the port and answer on it.
class ClosedPort
{
public:
    ClosedPort() { m_socket.bind(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_socket.localPort(); }

private:
    QTcpSocket m_socket;
};
