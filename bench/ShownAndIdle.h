#pragma once

#include <QString>

#include <functional>

class QWidget;

// Runs `then` once the window has painted itself for the first time and the
// event loop, with nothing left to deliver, is about to wait for new events:
// the moment a user would see a finished window that answers at once.
void whenShownAndIdle(QWidget *window, std::function<void()> then);

// Prints the line to standard output and ends the process at once, so that
// the process's lifetime and peak memory stop at the moment measured.
[[noreturn]] void finish(const QString &line);
