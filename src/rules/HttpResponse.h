#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace Nimbrel
{

// Reads one HTTP/1.x answer from the bytes a connection delivers, in whatever
// pieces they come, within bounds: the head (status line and header fields,
// with any interim 1xx heads and the trailer of a chunked body) may not exceed
// `maxHeadBytes`, and the body of a 2xx answer not `maxBodyBytes`. A server
// that sends header fields without end is therefore cut off after the bound,
// not read on. Only the body of a 2xx answer is read; for any other status the
// head is the whole answer.
class HttpResponseReader
{
public:
    // A head this large is far beyond any real server's; Qt and common servers
    // stop at the same order of size.
    static constexpr qsizetype DefaultMaxHeadBytes = 64 * 1024;

    enum class State {
        ReadingHead,
        ReadingBody,
        Complete,  // a 2xx answer with its body, or the head of any other
        Malformed, // not HTTP, a head beyond its bound, bad framing, cut short
        TooLarge,  // a 2xx body beyond its bound, declared or sent
    };

    explicit HttpResponseReader(qint64 maxBodyBytes, qsizetype maxHeadBytes = DefaultMaxHeadBytes);

    // A reader of an answer that is a head alone whatever its status, such as
    // a proxy's answer to CONNECT: Complete once the head has ended.
    static HttpResponseReader headOnly(qsizetype maxHeadBytes = DefaultMaxHeadBytes);

    // Takes the next bytes of the connection and returns the state they lead
    // to. Once the state is Complete, Malformed or TooLarge it stays so, and
    // further bytes are ignored.
    State feed(QByteArrayView bytes);

    // The connection has ended: an answer without a declared length is
    // complete now; anything else still unfinished was cut short.
    State finish();

    State state() const { return m_state; }
    int status() const { return m_status; }            // 0 until a head was read
    QByteArray location() const { return m_location; } // the Location field
    const QByteArray &body() const { return m_body; }

private:
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkPart { Size, Data, DataEnd, Trailer };

    void readHead(QByteArrayView &bytes);
    bool parseHead();
    void readBody(QByteArrayView &bytes);
    void readChunked(QByteArrayView &bytes);
    // Takes bytes up to and including the next LF into m_line, which then
    // holds the line without its line end; false while the line is still open
    // (all bytes taken) or once it has grown beyond `limit` (Malformed then).
    bool takeLine(QByteArrayView &bytes, qsizetype limit);

    qint64 m_maxBody;
    qsizetype m_headRoom; // head bytes still allowed
    State m_state = State::ReadingHead;
    QByteArray m_head;         // the head being read
    qsizetype m_lineStart = 0; // where its current line starts
    int m_status = 0;
    QByteArray m_location;
    Framing m_framing = Framing::None;
    qint64 m_length = 0; // of the body, or of the current chunk
    ChunkPart m_chunkPart = ChunkPart::Size;
    QByteArray m_line; // a line of the chunked framing, without its line end
    bool m_lineComplete = false;
    bool m_headOnly = false;
    QByteArray m_body;
};

} // namespace Nimbrel
