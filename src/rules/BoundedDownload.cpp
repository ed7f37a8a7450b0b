#include "rules/BoundedDownload.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace Nimbrel {

namespace
{

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

int defaultPort(const QUrl &url)
{
    return url.port(url.scheme() == u"https" ? 443 : 80);
}

// Qt's own buffer stays this small, so a fast server cannot fill memory ahead
// of the size check.
constexpr qint64 ReadBufferSize = 64 * 1024;

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

DownloadResult downloadBounded(const QUrl &url, const DownloadLimits &limits)
{
    if (!url.isValid() || !isWebScheme(url))
        return {DownloadStatus::NetworkError, {}};

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);

    QNetworkReply *reply = manager.get(request);
    reply->setReadBufferSize(ReadBufferSize);

    QEventLoop loop;
    DownloadResult result;
    bool settled = false;
    auto settle = [&](DownloadStatus status) {
        if (settled)
            return;
        settled = true;
        result.status = status;
        if (!reply->isFinished())
            reply->abort();
        loop.quit();
    };

    // Each hop is judged from the one before, so that a chain cannot go back
    // down to http once it reached https.
    QUrl current = url;
    QObject::connect(reply, &QNetworkReply::redirected, &loop, [&](const QUrl &target) {
        if (redirectAllowed(current, target)) {
            current = target;
            emit reply->redirectAllowed();
        } else {
            settle(DownloadStatus::RedirectRefused);
        }
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        // A declared length beyond the limit is refused before any of it arrives.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits.maxBytes)
            settle(DownloadStatus::TooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        if (settled)
            return;
        result.body += reply->read(limits.maxBytes + 1 - result.body.size());
        if (result.body.size() > limits.maxBytes)
            settle(DownloadStatus::TooLarge);
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
        if (settled)
            return;
        result.body += reply->read(limits.maxBytes + 1 - result.body.size());
        const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool success = httpStatus >= 200 && httpStatus < 300;
        if (result.body.size() > limits.maxBytes)
            settle(DownloadStatus::TooLarge);
        else if (reply->error() == QNetworkReply::NoError && success)
            settle(DownloadStatus::Done);
        else if (httpStatus != 0 && !success)
            settle(DownloadStatus::HttpError);
        else
            settle(DownloadStatus::NetworkError); // a 2xx cut short counts here too
    });

    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% early
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { settle(DownloadStatus::TimedOut); });
    deadline.start(limits.deadline);

    if (!settled)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the application quits; the program is closing then.
    if (!settled)
        settle(DownloadStatus::Interrupted);

    if (result.status != DownloadStatus::Done)
        result.body.clear();
    delete reply;
    return result;
}

} // namespace Nimbrel
