#pragma once

#include <QString>

class QWidget;

namespace DataFolder {

// The per-user base folder: "AppData" when it is set and not empty; elsewhere
// than Windows, the XDG data home when it is not.
QString appDataBase();

// The program's own folder under the base, "Nimbrel Launcher".
QString path();

// The file of history list n (1 to 3) in `folder`.
QString historyFileName(qint16 listNumber);

// Creates `folder`, and any missing folder above it, when nothing of that
// name exists. Reports a failure, or a file standing in its place, to the
// user; false then.
bool ensureExists(const QString &folder, QWidget *parent = nullptr);

// Moves the single history file of earlier releases, SearchHistory.dat, to
// list 1's name when list 1 has no file yet. Failures are reported.
void migrateOldHistoryFile(const QString &folder, QWidget *parent = nullptr);

} // namespace DataFolder
