#pragma once

#include "rules/InstanceMessage.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

namespace Nimbrel
{

// One attempt of a second start to hand its request to the running launcher.
// Blocking, and usable before any application object exists, so that a second
// start costs no more than a connection.
struct HandOver {
    enum class Outcome {
        Answered,   // the running launcher took the request; see `reply`
        NoInstance, // nothing listens: no socket, or one left behind by an ended launcher
        Dropped,    // it hung up without a proper answer (it may be ending)
        TimedOut,   // no answer before the deadline
        Refused,    // the socket cannot be used, see `detail`
    };

    Outcome outcome = Outcome::NoInstance;
    InstanceMessage::Reply reply = InstanceMessage::Reply::Done;
    QString detail;

    static HandOver attempt(const QString &serverName, const QByteArray &request,
                            QDeadlineTimer deadline);
};

} // namespace Nimbrel
