#include "rules/BoundedDownload.h"

#include "rules/AppInfo.h"
#include "rules/HttpResponse.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <vector>

// The exchange is our own, on the calling thread, instead of going through
// QNetworkAccessManager: Qt 6.4 reads an answer's head on a thread of its own,
// in a loop that takes one byte at a time for as long as the server sends and
// answers nothing else meanwhile. A server that sends header fields without end
// kept that thread reading (and growing) after the check had given up, and held
// the manager's destructor for five seconds on top of the deadline. Here every
// byte is read by the event loop that also runs the deadline, the head is
// bounded, and giving up closes the connection at once.

namespace Nimbrel
{

namespace
{

constexpr int MaxRedirects = 10;

// The socket's own buffer stays this small, so a fast server cannot fill
// memory ahead of the size check.
constexpr qint64 ReadBufferSize = 64 * 1024;

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

bool isHttps(const QUrl &url)
{
    return url.scheme() == u"https";
}

int defaultPort(const QUrl &url)
{
    return url.port(isHttps(url) ? 443 : 80);
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The proxy that the environment names for the URL. Qt's own lookup is not
// asked, not even for an application-wide proxy: its system query goes
// through libproxy on Linux, whose threads stay for the rest of the run.
QNetworkProxy proxyFor(const QUrl &url)
{
    const auto variable = [](const char *name) {
        const QByteArray value = qgetenv(name);
        return value.isEmpty() ? qgetenv(QByteArray(name).toUpper().constData()) : value;
    };
    return proxyFromEnvironment(url, qgetenv("http_proxy"), variable("https_proxy"),
                                variable("no_proxy"));
}

bool isHttpProxy(const QNetworkProxy &proxy)
{
    return proxy.type() == QNetworkProxy::HttpProxy ||
           proxy.type() == QNetworkProxy::HttpCachingProxy;
}

// A plain-http request goes to an HTTP proxy itself, naming the whole URL; an
// https one goes through a tunnel that the exchange asks the proxy for.
bool sentToProxy(const QUrl &url, const QNetworkProxy &proxy)
{
    return !isHttps(url) && isHttpProxy(proxy);
}

bool tunnelledThroughProxy(const QUrl &url, const QNetworkProxy &proxy)
{
    return isHttps(url) && isHttpProxy(proxy);
}

// The URL's host and port as a Host field names them.
QByteArray hostField(const QUrl &url)
{
    QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() != -1 && url.port() != (isHttps(url) ? 443 : 80))
        host += ':' + QByteArray::number(url.port());
    return host;
}

QByteArray proxyAuthorization(const QNetworkProxy &proxy)
{
    if (proxy.user().isEmpty())
        return {};
    return "Proxy-Authorization: Basic " +
           (proxy.user() + u':' + proxy.password()).toUtf8().toBase64() + "\r\n";
}

// Asks an HTTP proxy for a tunnel to the URL's host and port.
QByteArray connectRequestFor(const QUrl &url, const QNetworkProxy &proxy)
{
    QByteArray authority = url.host(QUrl::FullyEncoded).toLatin1();
    if (authority.contains(':'))
        authority = '[' + authority + ']';
    authority += ':' + QByteArray::number(defaultPort(url));
    return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority +
           "\r\nUser-Agent: " + AppInfo::ApplicationTitle.toLatin1() + "\r\n" +
           proxyAuthorization(proxy) + "\r\n";
}

// A GET of the URL's path and query (of the whole URL, for a proxy). The
// connection closes after the answer, and the body comes as it is stored,
// without compression.
QByteArray requestFor(const QUrl &url, const QNetworkProxy &proxy)
{
    const QByteArray host = hostField(url);
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();

    QByteArray extra;
    if (sentToProxy(url, proxy)) {
        target = url.scheme().toLatin1() + "://" + host + target;
        extra = proxyAuthorization(proxy);
    }
    return "GET " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nUser-Agent: " + AppInfo::ApplicationTitle.toLatin1() +
           "\r\nAccept: */*\r\nAccept-Encoding: identity\r\nConnection: close\r\n" + extra + "\r\n";
}

class Exchange;

// The exchanges under way on this thread, innermost last.
QList<Exchange *> &running()
{
    static QList<Exchange *> exchanges;
    return exchanges;
}

class Exchange
{
public:
    Exchange(const QUrl &url, const DownloadLimits &limits) : m_origin(url), m_limits(limits)
    {
        running().append(this);
    }
    ~Exchange() { running().removeOne(this); }

    void interrupt() { settle(DownloadStatus::Interrupted); }

    DownloadResult run()
    {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% early
        QObject::connect(&deadline, &QTimer::timeout, &m_loop,
                         [this] { settle(DownloadStatus::TimedOut); });
        deadline.start(m_limits.deadline);

        request(m_origin);
        if (!m_settled)
            m_loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The loop also ends when the application quits; the program is closing then.
        if (!m_settled)
            settle(DownloadStatus::Interrupted);
        if (m_result.status != DownloadStatus::Done)
            m_result.body.clear();
        return m_result;
    }

private:
    QTcpSocket *active() const { return m_sockets.empty() ? nullptr : m_sockets.back().get(); }

    void request(const QUrl &url)
    {
        m_current = url;
        m_reader = std::make_unique<HttpResponseReader>(m_limits.maxBytes);
        std::unique_ptr<QTcpSocket> socket;
        if (isHttps(url)) {
#if QT_CONFIG(ssl)
            if (QSslSocket::supportsSsl())
                socket = std::make_unique<QSslSocket>();
#endif
            if (!socket) {
                settle(DownloadStatus::NetworkError);
                return;
            }
        } else {
            socket = std::make_unique<QTcpSocket>();
        }
        QTcpSocket *s = socket.get();
        m_sockets.push_back(std::move(socket));
        s->setReadBufferSize(ReadBufferSize);

        const QNetworkProxy proxy = proxyFor(url);
        const QByteArray request = requestFor(url, proxy);
        QString host = url.host();
        quint16 port = quint16(defaultPort(url));
        // Qt's socket would make an https tunnel through an HTTP proxy itself
        // and read the proxy's answer without any bound; the exchange asks
        // for it and reads the answer as any other head.
        const bool tunnel = tunnelledThroughProxy(url, proxy);
        m_tunnel.reset();
        if (sentToProxy(url, proxy) || tunnel) {
            s->setProxy(QNetworkProxy::NoProxy);
            host = proxy.hostName();
            port = proxy.port();
        } else {
            s->setProxy(proxy);
        }
        QObject::connect(s, &QIODevice::readyRead, &m_loop, [this, s] { take(s); });
        QObject::connect(s, &QAbstractSocket::disconnected, &m_loop, [this, s] { ended(s); });
        QObject::connect(s, &QAbstractSocket::errorOccurred, &m_loop,
                         [this, s](QAbstractSocket::SocketError error) {
                             // What arrived before the error still counts: a
                             // server may close or reset right after its answer.
                             if (error == QAbstractSocket::RemoteHostClosedError)
                                 ended(s);
                             else if (take(s))
                                 settle(DownloadStatus::NetworkError);
                         });
#if QT_CONFIG(ssl)
        if (auto *tls = qobject_cast<QSslSocket *>(s)) {
            QObject::connect(tls, &QSslSocket::encrypted, &m_loop,
                             [tls, request] { tls->write(request); });
            if (tunnel) {
                m_tunnel = std::make_unique<HttpResponseReader>(HttpResponseReader::headOnly());
                // The certificate is the server's, not the proxy's.
                tls->setPeerVerifyName(url.host());
                const QByteArray ask = connectRequestFor(url, proxy);
                QObject::connect(tls, &QAbstractSocket::connected, &m_loop,
                                 [tls, ask] { tls->write(ask); });
                tls->connectToHost(host, port);
                return;
            }
            tls->connectToHostEncrypted(host, port);
            return;
        }
#endif
        QObject::connect(s, &QAbstractSocket::connected, &m_loop,
                         [s, request] { s->write(request); });
        s->connectToHost(host, port);
    }

    // The proxy's answer to CONNECT: once it has said yes, the connection is
    // the server's, and TLS starts on it.
    void judgeTunnel(QTcpSocket *s, HttpResponseReader::State state)
    {
        using State = HttpResponseReader::State;
        if (state == State::ReadingHead)
            return;
        const bool opened = state == State::Complete && m_tunnel->status() / 100 == 2;
        m_tunnel.reset();
        if (!opened) {
            settle(DownloadStatus::NetworkError);
            return;
        }
#if QT_CONFIG(ssl)
        if (auto *tls = qobject_cast<QSslSocket *>(s))
            tls->startClientEncryption();
#else
        Q_UNUSED(s)
#endif
    }

    // Reads what the socket holds; false once the exchange has moved on (it
    // ended, or a redirect left this connection behind).
    bool take(QTcpSocket *s)
    {
        while (!m_settled && s == active() && s->bytesAvailable() > 0) {
            if (m_tunnel)
                judgeTunnel(s, m_tunnel->feed(s->read(ReadBufferSize)));
            else
                judge(m_reader->feed(s->read(ReadBufferSize)));
        }
        return !m_settled && s == active();
    }

    void ended(QTcpSocket *s)
    {
        if (!take(s))
            return;
        if (m_tunnel)
            settle(DownloadStatus::NetworkError); // the proxy hung up before its answer ended
        else
            judge(m_reader->finish());
    }

    void judge(HttpResponseReader::State state)
    {
        using State = HttpResponseReader::State;
        switch (state) {
        case State::ReadingHead:
        case State::ReadingBody:
            return;
        case State::Malformed:
            settle(DownloadStatus::NetworkError); // not HTTP, or cut short
            return;
        case State::TooLarge:
            settle(DownloadStatus::TooLarge);
            return;
        case State::Complete:
            break;
        }
        const int status = m_reader->status();
        if (status >= 200 && status < 300) {
            m_result.body = m_reader->body();
            settle(DownloadStatus::Done);
            return;
        }
        const QByteArray location = m_reader->location();
        if (!isRedirect(status) || location.isEmpty()) {
            settle(DownloadStatus::HttpError);
            return;
        }
        const QUrl target = m_current.resolved(QUrl::fromEncoded(location));
        // Each hop is judged from the one before, so that a chain cannot go
        // back down to http once it reached https.
        if (!target.isValid() || !redirectAllowed(m_current, target)) {
            settle(DownloadStatus::RedirectRefused);
            return;
        }
        if (++m_redirects > MaxRedirects) {
            settle(DownloadStatus::HttpError);
            return;
        }
        close(active());
        request(target);
    }

    // Nothing of this connection is read or sent any more.
    static void close(QTcpSocket *s)
    {
        QObject::disconnect(s, nullptr, nullptr, nullptr);
        s->abort();
    }

    void settle(DownloadStatus status)
    {
        if (m_settled)
            return;
        m_settled = true;
        m_result.status = status;
        for (const auto &socket : m_sockets)
            close(socket.get());
        m_loop.quit();
    }

    const QUrl m_origin; // redirects are followed only within its origin
    const DownloadLimits m_limits;
    QUrl m_current;
    QEventLoop m_loop;
    // Every connection made, the active one last. Closed ones stay until the
    // exchange ends: one may be closed from inside its own signal.
    std::vector<std::unique_ptr<QTcpSocket>> m_sockets;
    std::unique_ptr<HttpResponseReader> m_reader;
    std::unique_ptr<HttpResponseReader> m_tunnel; // the proxy's answer, until the tunnel opens
    int m_redirects = 0;
    bool m_settled = false;
    DownloadResult m_result;
};

} // namespace

bool redirectAllowed(const QUrl &from, const QUrl &to)
{
    if (!isWebScheme(to) || from.host().compare(to.host(), Qt::CaseInsensitive) != 0)
        return false;
    if (from.scheme() == to.scheme())
        return defaultPort(from) == defaultPort(to);
    // A site that moved to https answers http with a redirect to its https
    // address: on the standard ports, or on the port the http address named.
    const bool upgrade = from.scheme() == u"http" && to.scheme() == u"https";
    const bool portFollows = (from.port(80) == 80 && to.port(443) == 443) ||
                             (from.port() != -1 && from.port() == to.port());
    return upgrade && portFollows;
}

QNetworkProxy proxyFromEnvironment(const QUrl &url, const QByteArray &httpProxy,
                                   const QByteArray &httpsProxy, const QByteArray &noProxy)
{
    const QNetworkProxy none(QNetworkProxy::NoProxy);
    const QString host = url.host().toLower();
    for (const QByteArray &entry : noProxy.split(',')) {
        QString pattern = QString::fromLatin1(entry.trimmed()).toLower();
        if (pattern == u"*")
            return none;
        if (pattern.startsWith(u'*'))
            pattern.remove(0, 1);
        if (pattern.startsWith(u'.'))
            pattern.remove(0, 1);
        if (!pattern.isEmpty() && (host == pattern || host.endsWith(u'.' + pattern)))
            return none;
    }
    QByteArray setting = isHttps(url) && !httpsProxy.isEmpty() ? httpsProxy : httpProxy;
    setting = setting.trimmed();
    if (setting.isEmpty())
        return none;
    if (!setting.contains("://"))
        setting.prepend("http://");
    const QUrl proxy = QUrl::fromEncoded(setting);
    if (!proxy.isValid() || proxy.host().isEmpty())
        return none;
    QNetworkProxy::ProxyType type = QNetworkProxy::HttpProxy;
    int port = proxy.port(8080);
    if (proxy.scheme() == u"socks5" || proxy.scheme() == u"socks5h") {
        type = QNetworkProxy::Socks5Proxy;
        port = proxy.port(1080);
    } else if (proxy.scheme() != u"http") {
        return none; // a kind of proxy the launcher cannot speak to
    }
    return QNetworkProxy(type, proxy.host(), quint16(port), proxy.userName(), proxy.password());
}

void interruptDownloads()
{
    for (Exchange *exchange : QList<Exchange *>(running()))
        exchange->interrupt();
}

DownloadResult downloadBounded(const QUrl &url, const DownloadLimits &limits)
{
    if (!url.isValid() || !isWebScheme(url) || url.host().isEmpty())
        return {DownloadStatus::NetworkError, {}};
    return Exchange(url, limits).run();
}

} // namespace Nimbrel
