// Connects to a launcher's socket the way a second start would and says what
// happened, so that a test can try it as another user (setpriv).
//   instance_probe SOCKET TERM
// Prints "refused: <reason>", "dropped" or "answered <number>"; exit status 0.
//   instance_probe --hold-lock FILE
// Takes the lock that a start holds while it becomes the launcher, prints
// "locked" and waits to be killed, as a start killed at that moment would.
#include "rules/InstanceMessage.h"

#include <QLocalSocket>
#include <QLockFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0) {
        QLockFile lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.tryLock(5000))
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    if (argc != 3) {
        std::fputs("usage: instance_probe SOCKET TERM | --hold-lock FILE\n", stderr);
        return 2;
    }
    Nimbrel::InstanceMessage::Request request;
    request.action = Nimbrel::InstanceMessage::Request::Action::Search;
    request.term = QString::fromLocal8Bit(argv[2]);

    QLocalSocket socket;
    socket.connectToServer(QString::fromLocal8Bit(argv[1]));
    if (!socket.waitForConnected(5000)) {
        std::printf("refused: %s\n", qPrintable(socket.errorString()));
        return 0;
    }
    socket.write(Nimbrel::InstanceMessage::encodeRequest(request));
    socket.waitForBytesWritten(5000);
    QByteArray answer;
    while (answer.size() < Nimbrel::InstanceMessage::ReplySize && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    if (const auto reply = Nimbrel::InstanceMessage::decodeReply(answer))
        std::printf("answered %d\n", int(*reply));
    else
        std::printf("dropped\n");
    return 0;
}
