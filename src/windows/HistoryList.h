#pragma once

#include "rules/HistoryFile.h"

class QListWidget;
class QListWidgetItem;

namespace Nimbrel
{

class LauncherSession;

// The history list box is the in-memory list; these move it to and from the
// session's selected file and tell the user what failed. Both return true
// when nothing failed.

// Fills `list` from the file, up to the session's maximum. A missing file
// leaves the list as it is; so does a file that exists but cannot be read,
// which is reported.
bool loadHistoryList(LauncherSession &session, QListWidget &list);

// Writes every item of `list` to the file, replacing it atomically. A failure
// is reported; the old file stays whole and the session still holds unsaved
// changes. Should another program have changed the file since it was read,
// `list` shows this run's changes made again on the file's new content.
bool saveHistoryList(LauncherSession &session, QListWidget &list);

// A list item for a history line; it keeps the line's original bytes.
QListWidgetItem *makeHistoryItem(const HistoryLine &line);

// A list item for text that the program put into the list itself.
QListWidgetItem *makeHistoryItem(const QString &text);

} // namespace Nimbrel
