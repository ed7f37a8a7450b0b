#include "rules/InstanceMessage.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

namespace Nimbrel
{

namespace InstanceMessage
{

namespace
{

// A request is its magic, the payload's size (32 bits, big-endian) and the
// payload: fields of one tag byte, a 32-bit big-endian size and the value.
// The version is part of the magic, so another build's request is rejected
// at its first bytes.
constexpr char RequestMagic[4] = {'N', 'L', 'R', 1};
constexpr char ReplyMagic[4] = {'N', 'L', 'A', 1};
constexpr qsizetype HeaderSize = 8;
constexpr qsizetype FieldHeaderSize = 5;

enum Tag : quint8 {
    ActionTag = 1,
    TermTag = 2,
    StartupIdTag = 3,
    ActivationTokenTag = 4,
    DeadlineTag = 5,
};
constexpr qsizetype DeadlineSize = 8;

bool isToken(QByteArrayView bytes)
{
    return !bytes.empty() && bytes.size() <= MaxTokenLength &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

void appendField(QByteArray &payload, Tag tag, QByteArrayView value)
{
    char header[FieldHeaderSize];
    header[0] = char(tag);
    qToBigEndian(quint32(value.size()), header + 1);
    payload.append(header, FieldHeaderSize);
    payload.append(value);
}

// The term's text, or nothing when its bytes are not UTF-8 or it is empty or
// too long. An initial byte-order mark is kept as the character it encodes,
// so that what was sent is what arrives.
std::optional<QString> decodeTerm(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString term = decoder(bytes);
    if (decoder.hasError() || term.isEmpty() || term.size() > MaxTermLength)
        return std::nullopt;
    return term;
}

} // namespace

QByteArray encodeRequest(const Request &request)
{
    const bool search = request.action == Request::Action::Search;
    if (search && (request.term.isEmpty() || request.term.size() > MaxTermLength))
        return {};

    QByteArray payload;
    const char action = char(request.action);
    appendField(payload, ActionTag, QByteArrayView(&action, 1));
    if (search)
        appendField(payload, TermTag, request.term.toUtf8());
    if (isToken(request.startupId))
        appendField(payload, StartupIdTag, request.startupId);
    if (isToken(request.activationToken))
        appendField(payload, ActivationTokenTag, request.activationToken);
    if (request.deadline > 0) {
        char deadline[DeadlineSize];
        qToBigEndian(request.deadline, deadline);
        appendField(payload, DeadlineTag, QByteArrayView(deadline, DeadlineSize));
    }

    QByteArray frame(RequestMagic, sizeof RequestMagic);
    char size[4];
    qToBigEndian(quint32(payload.size()), size);
    frame.append(size, sizeof size);
    frame.append(payload);
    return frame;
}

RequestReader::State RequestReader::feed(QByteArrayView bytes)
{
    if (bytes.empty() || m_state == State::Invalid)
        return m_state;
    if (m_state == State::Complete || m_buffer.size() + bytes.size() > HeaderSize + MaxPayloadSize)
        return m_state = State::Invalid;
    m_buffer.append(bytes);
    return m_state = parse();
}

RequestReader::State RequestReader::parse()
{
    const QByteArrayView magic(RequestMagic, sizeof RequestMagic);
    if (!magic.startsWith(QByteArrayView(m_buffer).first(std::min(m_buffer.size(), magic.size()))))
        return State::Invalid;
    if (m_buffer.size() < HeaderSize)
        return State::Incomplete;
    const quint32 payloadSize = qFromBigEndian<quint32>(m_buffer.constData() + magic.size());
    if (payloadSize > MaxPayloadSize)
        return State::Invalid;
    if (m_buffer.size() < HeaderSize + qsizetype(payloadSize))
        return State::Incomplete;
    if (m_buffer.size() > HeaderSize + qsizetype(payloadSize))
        return State::Invalid;

    Request request;
    bool seen[DeadlineTag + 1] = {};
    QByteArrayView rest = QByteArrayView(m_buffer).sliced(HeaderSize);
    while (!rest.empty()) {
        if (rest.size() < FieldHeaderSize)
            return State::Invalid;
        const quint8 tag = quint8(rest[0]);
        const quint32 size = qFromBigEndian<quint32>(rest.data() + 1);
        rest = rest.sliced(FieldHeaderSize);
        if (size > quint32(rest.size()) || tag < ActionTag || tag > DeadlineTag || seen[tag])
            return State::Invalid;
        seen[tag] = true;
        const QByteArrayView value = rest.first(size);
        rest = rest.sliced(size);

        switch (tag) {
        case ActionTag:
            if (value.size() != 1 || (value[0] != char(Request::Action::Activate) &&
                                      value[0] != char(Request::Action::Search)))
                return State::Invalid;
            request.action = Request::Action(value[0]);
            break;
        case TermTag:
            if (const std::optional<QString> term = decodeTerm(value))
                request.term = *term;
            else
                return State::Invalid;
            break;
        case StartupIdTag:
        case ActivationTokenTag:
            if (!isToken(value))
                return State::Invalid;
            (tag == StartupIdTag ? request.startupId : request.activationToken) =
                value.toByteArray();
            break;
        case DeadlineTag:
            if (value.size() != DeadlineSize)
                return State::Invalid;
            request.deadline = qFromBigEndian<qint64>(value.data());
            if (request.deadline <= 0)
                return State::Invalid;
            break;
        }
    }
    // A search needs its term, and only a search has one.
    if (!seen[ActionTag] || seen[TermTag] != (request.action == Request::Action::Search))
        return State::Invalid;

    m_request = request;
    m_buffer.clear();
    return State::Complete;
}

QByteArray encodeReply(Reply reply)
{
    QByteArray bytes(ReplyMagic, sizeof ReplyMagic);
    bytes.append(char(reply));
    return bytes;
}

std::optional<Reply> decodeReply(QByteArrayView bytes)
{
    if (bytes.size() != ReplySize ||
        !bytes.startsWith(QByteArrayView(ReplyMagic, sizeof ReplyMagic)))
        return std::nullopt;
    const auto reply = Reply(quint8(bytes.back()));
    switch (reply) {
    case Reply::Done:
    case Reply::NothingToSearch:
    case Reply::Busy:
        return reply;
    }
    return std::nullopt;
}

} // namespace InstanceMessage

} // namespace Nimbrel
