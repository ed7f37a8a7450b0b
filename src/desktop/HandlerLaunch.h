#pragma once

#include "rules/Failure.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// Starting the program that opens something for the user (xdg-open, or a
// program by name) and noticing when it gives up.
namespace Nimbrel::HandlerLaunch
{

// How long after its start a handler that ends with an error is taken to have
// failed to open its target. Later, it is a browser or an editor that ran and
// has been closed, whatever its exit code.
constexpr std::chrono::seconds WatchTime{10};

// Starts `program` with `arguments` in a session of its own and returns once
// it runs: nothing when it started, or why it could not be started. It is
// never waited for and never stopped, not even when the launcher exits. Should
// it end with an error within WatchTime, the user is told in a message that
// names `target` and quotes what the handler wrote to its error output.
MaybeFailure start(const QString &program, const QStringList &arguments, const QString &target);

// Calls `settled` once every handler started so far has ended or has run for
// WatchTime: with true as soon as one of them failed (before the user is told
// why), with false otherwise. At once when none is being watched.
void whenSettled(QObject *context, std::function<void(bool failed)> settled);

// Tells the user that `target` could not be opened, and why; returns what
// was told.
Failure reportNotOpened(const QString &target, const QString &reason);

} // namespace Nimbrel::HandlerLaunch
