// An HTTP answer comes from whatever server the network leads to: any bytes
// at all may arrive, in any pieces, for as long as the server likes.
#include "FuzzInput.h"

#include "rules/HttpResponse.h"

#include <algorithm>

using namespace Nimbrel;

namespace
{

using State = HttpResponseReader::State;

bool ended(State state)
{
    return state == State::Complete || state == State::Malformed || state == State::TooLarge;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const qint64 maxBody = input.byte() % 64;
    const qsizetype maxHead = 16 + input.byte() % 128;
    const qsizetype piece = 1 + input.byte() % 16;
    const bool closed = input.byte() % 2;
    const QByteArray bytes = input.rest();

    HttpResponseReader whole(maxBody, maxHead);
    whole.feed(bytes);
    HttpResponseReader pieces(maxBody, maxHead);
    for (qsizetype i = 0; i < bytes.size(); i += piece) {
        const State before = pieces.state();
        const State after =
            pieces.feed(QByteArrayView(bytes).sliced(i, std::min(piece, bytes.size() - i)));
        // An ended answer stays as it ended.
        FUZZ_CHECK(!ended(before) || after == before, QString::number(int(after)));
    }
    if (closed) {
        whole.finish();
        pieces.finish();
        FUZZ_CHECK(ended(whole.state()), QString::number(int(whole.state())));
    }

    // How the bytes were cut into pieces never matters.
    FUZZ_CHECK(whole.state() == pieces.state(), QString::number(int(pieces.state())));
    FUZZ_CHECK(whole.status() == pieces.status(), QString::number(pieces.status()));
    if (whole.state() == State::Complete)
        FUZZ_CHECK(whole.body() == pieces.body(), QString::fromLatin1(pieces.body().toHex()));

    // The bounds hold: no body beyond its limit, and no head beyond its own,
    // so a server never makes the reader hold more than it allows.
    FUZZ_CHECK(whole.body().size() <= maxBody, QString::number(whole.body().size()));
    if (whole.state() == State::ReadingHead)
        FUZZ_CHECK(bytes.size() <= maxHead, QString::number(bytes.size()));
    if (whole.status() != 0)
        FUZZ_CHECK(whole.status() >= 200 && whole.status() <= 999, QString::number(whole.status()));
    if (whole.state() == State::Complete && (whole.status() < 200 || whole.status() >= 300))
        FUZZ_CHECK(whole.body().isEmpty(), QString());

    // A proxy's answer to CONNECT is a head alone: it never holds a body, ends
    // where the full reader's head ends, and keeps the same head bound.
    HttpResponseReader tunnel = HttpResponseReader::headOnly(maxHead);
    tunnel.feed(bytes);
    FUZZ_CHECK(tunnel.body().isEmpty(), QString());
    FUZZ_CHECK(tunnel.state() != State::ReadingBody && tunnel.state() != State::TooLarge,
               QString::number(int(tunnel.state())));
    if (whole.status() != 0)
        FUZZ_CHECK(tunnel.state() == State::Complete && tunnel.status() == whole.status(),
                   QString::number(tunnel.status()));
    if (tunnel.state() == State::ReadingHead)
        FUZZ_CHECK(bytes.size() <= maxHead, QString::number(bytes.size()));
    return 0;
}
