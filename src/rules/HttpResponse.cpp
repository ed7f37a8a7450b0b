#include "rules/HttpResponse.h"

#include <algorithm>

namespace Nimbrel
{

namespace
{

// A chunk-size line is a few hex digits and perhaps an extension; nothing
// honest comes near this.
constexpr qsizetype MaxChunkLine = 4 * 1024;

constexpr QByteArrayView StatusPrefix = "HTTP/";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.chop(1);
    return text;
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// "HTTP/1.1 200 OK": the version, then the three-digit status.
int statusOf(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() < 12 || !line.startsWith(StatusPrefix) || !isDigit(line[5]) || line[6] != '.' ||
        !isDigit(line[7]) || line[8] != ' ' || !isDigit(line[9]) || !isDigit(line[10]) ||
        !isDigit(line[11]) || (line.size() > 12 && line[12] != ' '))
        return 0;
    return (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
}

} // namespace

HttpResponseReader::HttpResponseReader(qint64 maxBodyBytes, qsizetype maxHeadBytes)
    : m_maxBody(maxBodyBytes), m_headRoom(maxHeadBytes)
{
}

HttpResponseReader HttpResponseReader::headOnly(qsizetype maxHeadBytes)
{
    HttpResponseReader reader(0, maxHeadBytes);
    reader.m_headOnly = true;
    return reader;
}

HttpResponseReader::State HttpResponseReader::feed(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        if (m_state == State::ReadingHead)
            readHead(bytes);
        else if (m_state == State::ReadingBody)
            readBody(bytes);
        else
            break;
    }
    return m_state;
}

HttpResponseReader::State HttpResponseReader::finish()
{
    if (m_state == State::ReadingBody && m_framing == Framing::UntilClose)
        m_state = State::Complete;
    else if (m_state == State::ReadingHead || m_state == State::ReadingBody)
        m_state = State::Malformed;
    return m_state;
}

void HttpResponseReader::readHead(QByteArrayView &bytes)
{
    qsizetype used = 0;
    while (used < bytes.size()) {
        if (m_head.size() >= m_headRoom) {
            m_state = State::Malformed;
            return;
        }
        const char c = bytes[used++];
        if (m_head.isEmpty() && (c == '\r' || c == '\n')) {
            --m_headRoom; // empty lines before the status line are skipped, as
            continue;     // Qt did, but they count against the bound
        }
        m_head.append(c);
        // What is not the start of a status line is not HTTP: no need to wait
        // for a line end that may never come.
        if (m_head.size() <= StatusPrefix.size() && !StatusPrefix.startsWith(m_head)) {
            m_state = State::Malformed;
            return;
        }
        if (c != '\n')
            continue;
        const qsizetype lineLength = m_head.size() - 1 - m_lineStart;
        const bool emptyLine =
            lineLength == 0 || (lineLength == 1 && m_head.at(m_lineStart) == '\r');
        m_lineStart = m_head.size();
        if (!emptyLine)
            continue;

        bytes = bytes.sliced(used);
        m_headRoom -= m_head.size();
        if (!parseHead()) {
            m_state = State::Malformed;
            return;
        }
        m_head.clear();
        m_lineStart = 0;
        return; // an interim head leaves the state at ReadingHead
    }
    bytes = bytes.sliced(used);
}

bool HttpResponseReader::parseHead()
{
    const QList<QByteArray> lines = m_head.split('\n');
    const int status = statusOf(lines.value(0));
    if (status == 0 || status == 101) // nobody asked to switch protocols
        return false;

    QList<QByteArrayView> lengths;
    QByteArray transferCoding;
    QByteArray location;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue; // the blank line, or no field at all
        const QByteArrayView name = trimmed(line.first(colon));
        const QByteArrayView value = trimmed(line.sliced(colon + 1));
        if (equalsIgnoringCase(name, "Content-Length"))
            lengths.append(value);
        else if (equalsIgnoringCase(name, "Transfer-Encoding"))
            transferCoding = value.toByteArray().split(',').last().trimmed().toLower();
        else if (equalsIgnoringCase(name, "Location"))
            location = value.toByteArray();
    }

    if (status < 200) // an interim answer; the real one follows
        return true;
    m_status = status;
    m_location = location;
    if (m_headOnly || status >= 300 || status == 204) {
        m_state = State::Complete; // the body of an error or redirect is not wanted
        return true;
    }

    m_state = State::ReadingBody;
    if (!transferCoding.isEmpty()) {
        m_framing = transferCoding == "chunked" ? Framing::Chunked : Framing::UntilClose;
        return true;
    }
    if (lengths.isEmpty()) {
        m_framing = Framing::UntilClose;
        return true;
    }
    const QByteArrayView length = lengths.first();
    if (length.isEmpty() || !std::all_of(length.begin(), length.end(), isDigit))
        return false;
    for (const QByteArrayView other : lengths) {
        if (other != length)
            return false;
    }
    m_framing = Framing::Length;
    bool fits = false;
    m_length = length.toLongLong(&fits);
    if (!fits || m_length > m_maxBody)
        m_state = State::TooLarge; // refused before any of it arrives
    else if (m_length == 0)
        m_state = State::Complete;
    return true;
}

void HttpResponseReader::readBody(QByteArrayView &bytes)
{
    switch (m_framing) {
    case Framing::Length: {
        const qsizetype count = qsizetype(std::min<qint64>(bytes.size(), m_length - m_body.size()));
        m_body.append(bytes.first(count));
        bytes = bytes.sliced(count);
        if (m_body.size() == m_length) {
            m_state = State::Complete;
            bytes = {}; // what follows the declared length is no part of it
        }
        return;
    }
    case Framing::UntilClose:
        if (bytes.size() > m_maxBody - m_body.size()) {
            m_state = State::TooLarge;
            return;
        }
        m_body.append(bytes);
        bytes = {};
        return;
    case Framing::Chunked:
        readChunked(bytes);
        return;
    case Framing::None:
        break;
    }
    m_state = State::Malformed;
}

void HttpResponseReader::readChunked(QByteArrayView &bytes)
{
    while (!bytes.isEmpty() && m_state == State::ReadingBody) {
        switch (m_chunkPart) {
        case ChunkPart::Size: {
            if (!takeLine(bytes, MaxChunkLine))
                return;
            QByteArrayView size = m_line;
            if (const qsizetype extension = size.indexOf(';'); extension >= 0)
                size.truncate(extension);
            size = trimmed(size);
            bool valid = !size.isEmpty() && size.size() <= 15;
            const qint64 length = valid ? size.toLongLong(&valid, 16) : 0;
            if (!valid || length < 0) {
                m_state = State::Malformed;
                return;
            }
            if (length > m_maxBody - m_body.size()) {
                m_state = State::TooLarge;
                return;
            }
            m_length = length;
            m_chunkPart = length == 0 ? ChunkPart::Trailer : ChunkPart::Data;
            break;
        }
        case ChunkPart::Data: {
            const qsizetype count = qsizetype(std::min<qint64>(bytes.size(), m_length));
            m_body.append(bytes.first(count));
            bytes = bytes.sliced(count);
            m_length -= count;
            if (m_length == 0)
                m_chunkPart = ChunkPart::DataEnd;
            break;
        }
        case ChunkPart::DataEnd:
            if (!takeLine(bytes, MaxChunkLine))
                return;
            if (!m_line.isEmpty()) {
                m_state = State::Malformed;
                return;
            }
            m_chunkPart = ChunkPart::Size;
            break;
        case ChunkPart::Trailer:
            // Trailer fields are head fields sent after the body, and count
            // against the same bound.
            if (!takeLine(bytes, m_headRoom))
                return;
            m_headRoom -= m_line.size() + 1;
            if (m_line.isEmpty()) {
                m_state = State::Complete;
                bytes = {};
            }
            break;
        }
    }
}

bool HttpResponseReader::takeLine(QByteArrayView &bytes, qsizetype limit)
{
    if (m_lineComplete) {
        m_line.clear();
        m_lineComplete = false;
    }
    const qsizetype end = bytes.indexOf('\n');
    const qsizetype count = end < 0 ? bytes.size() : end + 1;
    if (m_line.size() + count > limit + 2) { // the line, a CR and the LF
        m_state = State::Malformed;
        return false;
    }
    m_line.append(bytes.first(count));
    bytes = bytes.sliced(count);
    if (end < 0)
        return false;
    m_line.chop(m_line.endsWith("\r\n") ? 2 : 1);
    m_lineComplete = true;
    return true;
}

} // namespace Nimbrel
