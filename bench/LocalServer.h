#pragma once

#include <QByteArray>
#include <QTcpServer>

// A web server on 127.0.0.1 for the update check to talk to, in one of the
// ways that matter to it.
class LocalServer : public QTcpServer
{
    Q_OBJECT
public:
    enum class Answer {
        Versions, // a small versions data file that names this release
        Stall,    // takes the request and never answers
        Huge,     // answers with 2 GB, announced by no length
        // A head of 2 GB that never reaches its end:
        HeaderFlood,   // one header field after another
        EndlessHeader, // one header field whose value goes on
    };

    explicit LocalServer(Answer kind, QObject *parent = nullptr);

private:
    void answer(QTcpSocket *socket);
    void sendMore(QTcpSocket *socket);

    Answer m_answer;
    QByteArray m_chunk;
};
