#include "update/HttpResponse.h"

#include <QTest>

using State = HttpResponseReader::State;

Q_DECLARE_METATYPE(HttpResponseReader::State)

namespace
{

constexpr qint64 MaxBody = 100;
constexpr qsizetype MaxHead = 200;

// The reader's state after all of `bytes`, fed in pieces of `piece` bytes,
// and after the connection ended when `closed`.
struct Outcome {
    State state;
    int status;
    QByteArray location;
    QByteArray body;
};

Outcome readAnswer(const QByteArray &bytes, qsizetype piece, bool closed)
{
    HttpResponseReader reader(MaxBody, MaxHead);
    for (qsizetype i = 0; i < bytes.size(); i += piece)
        reader.feed(QByteArrayView(bytes).sliced(i, std::min(piece, bytes.size() - i)));
    if (closed)
        reader.finish();
    return {reader.state(), reader.status(), reader.location(), reader.body()};
}

} // namespace

class TestHttpResponse : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("closed"); // the server ended the connection after them
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body"); // of a complete answer

        const QByteArray entry = "Nimbrel Launcher:1.3\r\n"; // 22 bytes
        QTest::newRow("length") << "HTTP/1.1 200 OK\r\nContent-Length: 22\r\n\r\n" + entry << false
                                << State::Complete << 200 << entry;
        QTest::newRow("length, bytes after it ignored")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nABCDEFG") << false
            << State::Complete << 200 << QByteArray("ABCD");
        QTest::newRow("length, cut short")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nABC") << true
            << State::Malformed << 200 << QByteArray();
        QTest::newRow("length, still coming")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nABC") << false
            << State::ReadingBody << 200 << QByteArray();
        QTest::newRow("length 0") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")
                                  << false << State::Complete << 200 << QByteArray();
        QTest::newRow("length repeated, same")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\ncontent-length:2\r\n\r\nAB")
            << false << State::Complete << 200 << QByteArray("AB");
        QTest::newRow("length repeated, different")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nAB")
            << false << State::Malformed << 200 << QByteArray();
        QTest::newRow("length not a number")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 2x\r\n\r\nAB") << false
            << State::Malformed << 200 << QByteArray();
        QTest::newRow("length over the bound")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 101\r\n\r\n") << false
            << State::TooLarge << 200 << QByteArray();
        QTest::newRow("length beyond 64 bits")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n")
            << false << State::TooLarge << 200 << QByteArray();
        QTest::newRow("until close") << QByteArray("HTTP/1.0 200 OK\r\n\r\nABC") << true
                                     << State::Complete << 200 << QByteArray("ABC");
        QTest::newRow("until close, over the bound")
            << "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(101, 'x') << false << State::TooLarge << 200
            << QByteArray();
        QTest::newRow("until close, exactly the bound")
            << "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(100, 'x') << true << State::Complete << 200
            << QByteArray(100, 'x');
        QTest::newRow("chunked")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                          "4\r\nNimb\r\n12;name=value\r\nrel Launcher:1.3\r\n\r\n0\r\n\r\n")
            << false << State::Complete << 200 << entry;
        QTest::newRow("chunked with trailer fields, length ignored")
            << QByteArray(
                   "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n"
                   "3\r\nABC\r\n0\r\nX-Trailer: 1\r\n\r\n")
            << false << State::Complete << 200 << QByteArray("ABC");
        QTest::newRow("chunked, cut short")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nABC\r\n")
            << true << State::Malformed << 200 << QByteArray();
        QTest::newRow("chunked, bad size")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZ\r\n") << false
            << State::Malformed << 200 << QByteArray();
        QTest::newRow("chunked, data longer than its size")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nABC\r\n")
            << false << State::Malformed << 200 << QByteArray();
        QTest::newRow("chunked, over the bound")
            << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n40\r\n" + QByteArray(64, 'x') +
                   "\r\n40\r\n"
            << false << State::TooLarge << 200 << QByteArray();
        QTest::newRow("chunked, endless size line")
            << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray(5000, '0')
            << false << State::Malformed << 200 << QByteArray();
        QTest::newRow("chunked, endless trailer")
            << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n" +
                   QByteArray("X-T: 1\r\n").repeated(40)
            << false << State::Malformed << 200 << QByteArray();
        QTest::newRow("other transfer coding: until close")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\nAB") << true
            << State::Complete << 200 << QByteArray("AB");
        QTest::newRow("LF alone ends lines")
            << QByteArray("HTTP/1.1 200 OK\nContent-Length: 2\n\nAB") << false << State::Complete
            << 200 << QByteArray("AB");
        QTest::newRow("empty lines before the status line")
            << QByteArray("\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nAB") << false
            << State::Complete << 200 << QByteArray("AB");
        QTest::newRow("interim answer first")
            << QByteArray(
                   "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nAB")
            << false << State::Complete << 200 << QByteArray("AB");
        QTest::newRow("204 has no body") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false
                                         << State::Complete << 204 << QByteArray();
        QTest::newRow("404: the head is the whole answer")
            << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 9999\r\n\r\nNimbrel") << false
            << State::Complete << 404 << QByteArray();
        QTest::newRow("switching protocols was not asked for")
            << QByteArray("HTTP/1.1 101 Switching Protocols\r\n\r\n") << false << State::Malformed
            << 0 << QByteArray();
        QTest::newRow("not HTTP: refused at once")
            << QByteArray("\x01\x02 not http") << false << State::Malformed << 0 << QByteArray();
        QTest::newRow("HTTP/0.9 body without a head")
            << QByteArray("Nimbrel Launcher:1.3") << false << State::Malformed << 0 << QByteArray();
        QTest::newRow("bad status line") << QByteArray("HTTP/1.1 2000 OK\r\n\r\n") << false
                                         << State::Malformed << 0 << QByteArray();
        QTest::newRow("status line without a reason")
            << QByteArray("HTTP/1.1 200\r\n\r\nAB") << true << State::Complete << 200
            << QByteArray("AB");
        QTest::newRow("head cut short") << QByteArray("HTTP/1.1 200 OK\r\nContent-") << true
                                        << State::Malformed << 0 << QByteArray();
        QTest::newRow("head still coming") << QByteArray("HTTP/1.1 200 OK\r\nContent-") << false
                                           << State::ReadingHead << 0 << QByteArray();
        QTest::newRow("head at its bound")
            << "HTTP/1.1 200 OK\r\nX: " + QByteArray(MaxHead - 24, 'x') + "\r\n\r\nAB" << true
            << State::Complete << 200 << QByteArray("AB");
        QTest::newRow("head one byte over its bound")
            << "HTTP/1.1 200 OK\r\nX: " + QByteArray(MaxHead - 23, 'x') + "\r\n\r\nAB" << true
            << State::Malformed << 0 << QByteArray();
        QTest::newRow("one header field without end")
            << "HTTP/1.1 200 OK\r\nX: " + QByteArray(10000, 'x') << false << State::Malformed << 0
            << QByteArray();
        QTest::newRow("header field after header field")
            << "HTTP/1.1 200 OK\r\n" + QByteArray("X-Flood: 1\r\n").repeated(1000) << false
            << State::Malformed << 0 << QByteArray();
        QTest::newRow("interim answers without end")
            << QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(100) << false
            << State::Malformed << 0 << QByteArray();
        QTest::newRow("empty lines without end")
            << QByteArray("\r\n").repeated(1000) << false << State::Malformed << 0 << QByteArray();
    }
    void answers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, closed);
        QFETCH(State, state);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        // Whole, byte by byte and in odd pieces: the pieces never matter.
        for (const qsizetype piece : {bytes.size() + 1, qsizetype(1), qsizetype(7)}) {
            const Outcome outcome = readAnswer(bytes, std::max<qsizetype>(piece, 1), closed);
            QCOMPARE(outcome.state, state);
            QCOMPARE(outcome.status, status);
            if (state == State::Complete)
                QCOMPARE(outcome.body, body);
        }
    }

    void redirectNamesItsTarget()
    {
        const Outcome outcome = readAnswer(
            "HTTP/1.1 302 Found\r\nLocation:  /moved.txt \r\nContent-Length: 5\r\n\r\nmoved", 3,
            false);
        QCOMPARE(outcome.state, State::Complete);
        QCOMPARE(outcome.status, 302);
        QCOMPARE(outcome.location, QByteArray("/moved.txt"));
        QVERIFY(outcome.body.isEmpty());
    }

    void nothingIsReadAfterTheEnd()
    {
        HttpResponseReader reader(MaxBody, MaxHead);
        QCOMPARE(reader.feed("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nAB"), State::Complete);
        QCOMPARE(reader.feed("more"), State::Complete);
        QCOMPARE(reader.finish(), State::Complete);
        QCOMPARE(reader.body(), QByteArray("AB"));
    }
};

QTEST_APPLESS_MAIN(TestHttpResponse)
#include "tst_httpresponse.moc"
