#pragma once

#include "rules/SearchRules.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace Nimbrel
{

// What a second start of the launcher hands to the running one over the local
// socket, and the answer it gets. The running launcher reads requests from a
// socket that anything of the same user may write to, so the reader accepts
// only a complete, well-formed request of bounded size and rejects everything
// else as soon as it can tell.
namespace InstanceMessage
{

// The longest search term a start may hand over, in UTF-16 code units: the
// search box's own bound, which the command line enforces too.
constexpr qsizetype MaxTermLength = SearchRules::MaxTermLength;

// The longest startup id or activation token passed on; real ones are a few
// dozen characters.
constexpr qsizetype MaxTokenLength = 1024;

// The most bytes a request may have after its 8-byte header. A term of
// MaxTermLength UTF-16 units takes at most 3 bytes per unit in UTF-8.
constexpr qsizetype MaxPayloadSize = 64 * 1024;

struct Request {
    enum class Action : quint8 { Activate = 1, Search = 2 };

    Action action = Action::Activate;
    QString term;               // Search only, never empty
    QByteArray startupId;       // the second start's DESKTOP_STARTUP_ID (X11), if any
    QByteArray activationToken; // the second start's XDG_ACTIVATION_TOKEN (Wayland), if any
    // When the second start stops waiting, in nanoseconds of the machine's
    // monotonic clock (QDeadlineTimer::deadlineNSecs(), the same clock in
    // every process); 0 for no limit. The running launcher takes no request
    // after it, so that a start that gave up never has its term searched.
    qint64 deadline = 0;

    friend bool operator==(const Request &, const Request &) = default;
};

enum class Reply : quint8 {
    Done = 1,            // the window came to the front, or the term was searched
    NothingToSearch = 2, // the term held nothing the search box accepts
    Busy = 3,            // a modal window is open; it came to the front instead
};

// The request as bytes on the socket. Empty when it cannot be sent: a Search
// without a term, or a term longer than MaxTermLength. A startup id or token
// that is too long or not printable ASCII is left out, since neither can be
// used then.
QByteArray encodeRequest(const Request &request);

// Reads one request from bytes that arrive in pieces of any size.
class RequestReader
{
public:
    enum class State { Incomplete, Complete, Invalid };

    // Takes the next bytes. Once Complete or Invalid, the state no longer
    // changes, except that bytes after a complete request make it Invalid.
    State feed(QByteArrayView bytes);

    State state() const { return m_state; }

    // The request, once the state is Complete.
    const Request &request() const { return m_request; }

private:
    State parse();

    QByteArray m_buffer;
    State m_state = State::Incomplete;
    Request m_request;
};

// The answer as bytes on the socket, and read back: nothing for anything but
// exactly one well-formed answer.
QByteArray encodeReply(Reply reply);
std::optional<Reply> decodeReply(QByteArrayView bytes);

// The number of bytes an answer has.
constexpr qsizetype ReplySize = 5;

} // namespace InstanceMessage

} // namespace Nimbrel
