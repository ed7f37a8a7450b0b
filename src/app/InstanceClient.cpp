#include "app/InstanceClient.h"

#include <QCoreApplication>
#include <QLocalSocket>

namespace Nimbrel
{

namespace
{

// The running launcher takes a request only before the start's deadline and
// answers at once when it does; an answer on its way at the deadline is
// waited for this much longer, so a term that was taken is never reported
// as not searched.
constexpr qint64 AnswerGraceMs = 3000;

} // namespace

HandOver HandOver::attempt(const QString &serverName, const QByteArray &request,
                           QDeadlineTimer deadline)
{
    HandOver result;
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        switch (socket.error()) {
        case QLocalSocket::ServerNotFoundError:
        case QLocalSocket::ConnectionRefusedError:
            result.outcome = Outcome::NoInstance;
            break;
        case QLocalSocket::SocketTimeoutError:
            result.outcome = Outcome::TimedOut;
            break;
        default:
            result.outcome = Outcome::Refused;
            break;
        }
        result.detail = socket.errorString();
        return result;
    }

    socket.write(request);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
            result.outcome = deadline.hasExpired() ? Outcome::TimedOut : Outcome::Dropped;
            result.detail = socket.errorString();
            return result;
        }
    }

    // The answer is a few bytes; anything else means it is not a launcher of
    // this build that answers.
    const QDeadlineTimer answerDeadline = deadline + AnswerGraceMs;
    QByteArray answer;
    while (answer.size() < InstanceMessage::ReplySize) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(answerDeadline.remainingTime()))) {
            result.outcome = answerDeadline.hasExpired() ? Outcome::TimedOut : Outcome::Dropped;
            result.detail = socket.errorString();
            return result;
        }
        answer += socket.read(InstanceMessage::ReplySize - answer.size());
    }
    if (const std::optional<InstanceMessage::Reply> reply = InstanceMessage::decodeReply(answer)) {
        result.outcome = Outcome::Answered;
        result.reply = *reply;
    } else {
        result.outcome = Outcome::Dropped;
        result.detail =
            QCoreApplication::translate("Nimbrel::InstanceClient", "it answered something else");
    }
    return result;
}

} // namespace Nimbrel
