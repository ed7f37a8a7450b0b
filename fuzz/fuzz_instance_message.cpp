// The running launcher reads requests from a socket that any process of the
// user may write to: any bytes at all, in pieces of any size.
#include "FuzzInput.h"

#include "rules/InstanceMessage.h"

#include <algorithm>

using namespace Nimbrel::InstanceMessage;
using State = RequestReader::State;

namespace
{

bool isToken(const QByteArray &bytes)
{
    return bytes.size() <= MaxTokenLength &&
           std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const qsizetype piece = 1 + input.byte() % 64;
    const QByteArray bytes = input.rest();

    RequestReader whole;
    const State wholeState = whole.feed(bytes);

    // The same bytes in pieces: the verdict never depends on how they
    // arrived, and once given it stays.
    RequestReader pieces;
    State state = State::Incomplete;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        const State before = state;
        state = pieces.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
        FUZZ_CHECK(before != State::Invalid || state == State::Invalid, QString());
        FUZZ_CHECK(before != State::Complete || state == State::Invalid, QString());
    }
    FUZZ_CHECK(state == wholeState, QString::number(int(state)));

    if (wholeState == State::Complete) {
        const Request &request = whole.request();
        FUZZ_CHECK(pieces.request() == request, QString());
        const bool search = request.action == Request::Action::Search;
        FUZZ_CHECK(search || request.action == Request::Action::Activate, QString());
        FUZZ_CHECK(search != request.term.isEmpty(), request.term);
        FUZZ_CHECK(request.term.size() <= MaxTermLength, QString::number(request.term.size()));
        FUZZ_CHECK(isToken(request.startupId) && isToken(request.activationToken), QString());
        // What was accepted can be sent again and reads back the same.
        RequestReader again;
        FUZZ_CHECK(again.feed(encodeRequest(request)) == State::Complete, QString());
        FUZZ_CHECK(again.request() == request, QString());
    }

    if (const std::optional<Reply> reply = decodeReply(bytes))
        FUZZ_CHECK(encodeReply(*reply) == bytes, QString::fromLatin1(bytes.toHex()));
    return 0;
}
