#pragma once

#include "rules/Failure.h"

#include <QString>

namespace Nimbrel::DataFolder
{

// The per-user base folder: "AppData" when it is set and not empty; elsewhere
// than Windows, the XDG data home when it is not.
QString appDataBase();

// The name of the program's own folders.
inline const QString ProgramFolderName = QStringLiteral("Nimbrel Launcher");

// The program's own folder under the base.
QString path();

// The file name of history list n (1 to 3).
QString historyFileName(qint16 listNumber);

// The full path of history list n's file in the data folder.
QString historyFilePath(qint16 listNumber);

// Creates `folder`, and any missing folder above it, when nothing of that
// name exists. What went wrong when it cannot be used: it could not be
// created, or a file stands in its place.
MaybeFailure ensureExists(const QString &folder);

// Moves the single history file of earlier releases, SearchHistory.dat, to
// list 1's name when list 1 has no file yet.
MaybeFailure migrateOldHistoryFile(const QString &folder);

} // namespace Nimbrel::DataFolder
