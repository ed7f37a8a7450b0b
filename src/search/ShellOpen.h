#pragma once

#include <QString>

// The platform's "open" operation: a URL or file goes to the user's default
// handler, a program is started with `parameters` as its one argument. Never
// waits and never involves a shell. Returns a number above 32 on success, 0 on
// failure. Where the handler is a program started with the target as its
// argument (xdg-open), no argument begins with "-", which it would take for an
// option: such a URL or parameter fails, and a relative file path is made
// absolute.
int shellOpen(const QString &file, const QString &parameters, int showCommand);

// The editor that history files are opened in.
inline const QString NotepadProgram = QStringLiteral("Notepad");
