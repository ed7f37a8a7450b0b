#include "rules/InstanceMessage.h"

#include <QTest>
#include <QtEndian>

using namespace Nimbrel::InstanceMessage;
using State = RequestReader::State;

Q_DECLARE_METATYPE(Nimbrel::InstanceMessage::Request)

namespace
{

Request search(const QString &term)
{
    Request request;
    request.action = Request::Action::Search;
    request.term = term;
    return request;
}

// A request built by hand, field by field, for what encodeRequest never writes.
QByteArray frame(const QByteArray &payload, const char *magic = "NLR\x01")
{
    QByteArray bytes(magic, 4);
    char size[4];
    qToBigEndian(quint32(payload.size()), size);
    return bytes + QByteArray(size, 4) + payload;
}

QByteArray field(quint8 tag, const QByteArray &value)
{
    char size[4];
    qToBigEndian(quint32(value.size()), size);
    return QByteArray(1, char(tag)) + QByteArray(size, 4) + value;
}

const QByteArray ActivateField = field(1, QByteArray(1, char(1)));
const QByteArray SearchField = field(1, QByteArray(1, char(2)));

State readAll(const QByteArray &bytes)
{
    RequestReader reader;
    return reader.feed(bytes);
}

} // namespace

class TestInstanceMessage : public QObject
{
    Q_OBJECT

private slots:
    // What a second start sends arrives unchanged, whether the socket hands
    // it over at once or a byte at a time.
    void requestsArriveAsSent_data()
    {
        QTest::addColumn<Request>("request");
        QTest::newRow("activate") << Request();
        QTest::newRow("search") << search(QStringLiteral("AB-12"));
        QTest::newRow("term as typed, small letters and all")
            << search(QStringLiteral("  ab  c--d!  "));
        QTest::newRow("characters beyond ASCII and 16 bits")
            << search(QStringLiteral("Grüße \U0001F600 \u4E2D"));
        QTest::newRow("byte-order mark first") << search(QStringLiteral("\uFEFFAB"));
        QTest::newRow("longest term") << search(QString(MaxTermLength, u'\u4E2D'));
        Request withTokens = search(QStringLiteral("X"));
        withTokens.startupId = "gnome-shell-1234-host-nimbrel-launcher-0_TIME56789";
        withTokens.activationToken = QByteArray(MaxTokenLength, 'k');
        QTest::newRow("startup id and activation token") << withTokens;
    }
    void requestsArriveAsSent()
    {
        QFETCH(Request, request);
        const QByteArray bytes = encodeRequest(request);
        QVERIFY(!bytes.isEmpty());

        RequestReader whole;
        QCOMPARE(whole.feed(bytes), State::Complete);
        QCOMPARE(whole.request(), request);

        RequestReader trickle;
        for (qsizetype i = 0; i + 1 < bytes.size(); ++i)
            QCOMPARE(trickle.feed(bytes.mid(i, 1)), State::Incomplete);
        QCOMPARE(trickle.feed(bytes.right(1)), State::Complete);
        QCOMPARE(trickle.request(), request);
    }

    // Requests that cannot be sent come out empty, and a token that cannot
    // be used is left out rather than spoiling the request.
    void encodingRefusesWhatCannotBeSent()
    {
        QVERIFY(encodeRequest(search(QString())).isEmpty());
        QVERIFY(encodeRequest(search(QString(MaxTermLength + 1, u'A'))).isEmpty());

        Request request;
        request.startupId = "id\nwith a line feed";
        request.activationToken = QByteArray(MaxTokenLength + 1, 'k');
        RequestReader reader;
        QCOMPARE(reader.feed(encodeRequest(request)), State::Complete);
        QCOMPARE(reader.request(), Request());
    }

    // Anything but one well-formed request is rejected, and as early as the
    // bytes allow: a wrong first byte or an oversized length needs no more.
    void malformedRequestsAreRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rejectedAfter"); // bytes needed to tell, -1 for all of them
        const QByteArray term = field(2, "AB");
        QTest::newRow("wrong first byte") << QByteArray("GET / HTTP/1.1\r\n\r\n") << 1;
        QTest::newRow("another version") << frame(ActivateField, "NLR\x02") << 4;
        char tooLarge[4];
        qToBigEndian(quint32(MaxPayloadSize + 1), tooLarge);
        QTest::newRow("length over the limit")
            << QByteArray("NLR\x01", 4) + QByteArray(tooLarge, 4) + QByteArray(100, 'x') << 8;
        QTest::newRow("bytes after the request") << frame(ActivateField) + "x" << -1;
        QTest::newRow("no action") << frame(term) << -1;
        QTest::newRow("unknown action") << frame(field(1, QByteArray(1, char(3)))) << -1;
        QTest::newRow("action of two bytes") << frame(field(1, QByteArray(2, char(1)))) << -1;
        QTest::newRow("action twice") << frame(ActivateField + ActivateField) << -1;
        QTest::newRow("unknown field") << frame(ActivateField + field(9, "x")) << -1;
        QTest::newRow("search without a term") << frame(SearchField) << -1;
        QTest::newRow("activate with a term") << frame(ActivateField + term) << -1;
        QTest::newRow("empty term") << frame(SearchField + field(2, "")) << -1;
        QTest::newRow("term not UTF-8") << frame(SearchField + field(2, "A\xff\xfe")) << -1;
        QTest::newRow("term cut inside a character")
            << frame(SearchField + field(2, "A\xc3")) << -1;
        QTest::newRow("term over the limit")
            << frame(SearchField + field(2, QByteArray(MaxTermLength + 1, 'A'))) << -1;
        QTest::newRow("field longer than the payload")
            << frame(ActivateField + QByteArray("\x02\x00\x00\x10\x00", 5) + "AB") << -1;
        QTest::newRow("half a field header")
            << frame(ActivateField + QByteArray("\x02\x00", 2)) << -1;
        QTest::newRow("token with a control character")
            << frame(ActivateField + field(3, "id\x01")) << -1;
        QTest::newRow("empty token") << frame(ActivateField + field(4, "")) << -1;
    }
    void malformedRequestsAreRejected()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rejectedAfter);
        RequestReader reader;
        if (rejectedAfter < 0) {
            QVERIFY(reader.feed(bytes.chopped(1)) != State::Invalid);
            QCOMPARE(reader.feed(bytes.right(1)), State::Invalid);
        } else {
            if (rejectedAfter > 1)
                QCOMPARE(reader.feed(bytes.left(rejectedAfter - 1)), State::Incomplete);
            QCOMPARE(reader.feed(bytes.mid(rejectedAfter - 1, 1)), State::Invalid);
        }
        // Rejected for good: nothing sent afterwards makes it a request.
        QCOMPARE(reader.feed(encodeRequest(Request())), State::Invalid);
    }

    // A sender that never stops is cut off at the largest request there can
    // be, however it spreads its bytes.
    void endlessBytesAreCutOff()
    {
        char size[4];
        qToBigEndian(quint32(MaxPayloadSize), size);
        RequestReader reader;
        QCOMPARE(reader.feed(QByteArray(QByteArray("NLR\x01", 4) + QByteArray(size, 4))),
                 State::Incomplete);
        const QByteArray chunk(4096, '\x02');
        qsizetype fed = 0;
        while (reader.feed(chunk) == State::Incomplete)
            fed += chunk.size();
        QCOMPARE(reader.state(), State::Invalid);
        QVERIFY2(fed <= MaxPayloadSize, qPrintable(QString::number(fed)));
        QCOMPARE(readAll(QByteArray(2 * MaxPayloadSize, 'N')), State::Invalid);
    }

    void repliesArriveAsSent_data()
    {
        QTest::addColumn<Reply>("reply");
        QTest::newRow("done") << Reply::Done;
        QTest::newRow("nothing to search") << Reply::NothingToSearch;
        QTest::newRow("busy") << Reply::Busy;
    }
    void repliesArriveAsSent()
    {
        QFETCH(Reply, reply);
        const QByteArray bytes = encodeReply(reply);
        QCOMPARE(bytes.size(), ReplySize);
        QCOMPARE(decodeReply(bytes), std::optional<Reply>(reply));
    }

    void malformedRepliesAreRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("short") << QByteArray("NLA\x01", 4);
        QTest::newRow("long") << encodeReply(Reply::Done) + "x";
        QTest::newRow("unknown answer") << QByteArray("NLA\x01\x07", 5);
        QTest::newRow("a request's magic") << QByteArray("NLR\x01\x01", 5);
    }
    void malformedRepliesAreRejected()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(decodeReply(bytes), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestInstanceMessage)
#include "tst_instancemessage.moc"
