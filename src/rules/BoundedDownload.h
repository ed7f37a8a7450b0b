#pragma once

#include <QByteArray>
#include <QNetworkProxy>
#include <QUrl>

#include <chrono>

namespace Nimbrel
{

// How long and how much a synchronous download may take before it gives up.
struct DownloadLimits {
    // For the whole download, not per read: a server that sends one byte a
    // second never trips a transfer timeout.
    std::chrono::milliseconds deadline{15'000};
    qint64 maxBytes = 1024 * 1024;
};

enum class DownloadStatus {
    Done,
    NetworkError,    // refused, unreachable, reset, not http, a head without end
    HttpError,       // an answer outside 2xx, whose body is an error page
    RedirectRefused, // a redirect to another host or port, or down to http
    TooLarge,
    TimedOut,
    Interrupted, // the application was asked to quit during the wait
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::NetworkError;
    QByteArray body; // only when Done
};

// Whether a redirect from `from` to `to` is followed: within the same scheme,
// host and port, or from http up to https on the same host (from port 80 to
// 443, or on the same explicit port).
bool redirectAllowed(const QUrl &from, const QUrl &to);

// The proxy that the environment names for `url`, as other programs read it:
// `https_proxy` for an https URL when set, otherwise `http_proxy` ("host:port"
// or "http://[user:password@]host[:port]", socks5:// also), and none for a
// host that `no_proxy` lists ("*", or host names that match themselves and
// their subdomains, with or without a leading "." or "*.").
QNetworkProxy proxyFromEnvironment(const QUrl &url, const QByteArray &httpProxy,
                                   const QByteArray &httpsProxy, const QByteArray &noProxy);

// Fetches an http(s) URL and returns when it has arrived, failed or hit a
// limit. Events other than user input go on meanwhile, so windows repaint;
// clicks and keys wait in the window system's queue (see InputBlocker).
// Redirects are followed as redirectAllowed() says, each hop judged from
// the one before. The deadline holds for the whole exchange, the answer's head
// included, which may not exceed 64 KiB, and an HTTP proxy's answer to the
// CONNECT of an https tunnel is held to the same bounds; on return the connection is closed
// and nothing of the download runs on, on this thread or any other.
DownloadResult downloadBounded(const QUrl &url, const DownloadLimits &limits = {});

// Ends every download under way on this thread at once, as Interrupted: the
// program is closing, and nobody waits for the answer.
void interruptDownloads();

} // namespace Nimbrel
