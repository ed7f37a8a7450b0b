#pragma once

#include "rules/HistoryFile.h"
#include "rules/HistoryMerge.h"

class QListWidget;
class QListWidgetItem;

namespace Nimbrel
{

// The history list box is the in-memory list; these move it to and from the
// file named by Module1::State.HistoryFilePath and tell the user what failed.

// Fills `list` from the file, up to HistoryListMaxItems items, and clears
// HistoryChanged. A missing file leaves the list as it is. A file that exists
// but cannot be read is reported, and the list is left as it is.
void LoadHistoryList(QListWidget &list);

// Writes every item of `list` to the file, replacing it atomically, and clears
// HistoryChanged. A failure is reported to the user; the old file stays whole,
// HistoryChanged stays set, and false is returned. A file that could not be
// read when the list was loaded is never written over. A file another program
// changed since it was read is not overwritten either: this run's recorded
// changes are made again on its new content, which `list` then shows and the
// file receives.
bool SaveHistoryList(QListWidget &list);

// Notes a change the user made to the list, for a save that finds its file
// changed by another program.
void recordHistoryChange(const HistoryChange &change);
// The last removal was taken back.
void forgetLastRemoval();

// A list item for a history line; it keeps the line's original bytes.
QListWidgetItem *makeHistoryItem(const HistoryLine &line);

// A list item for text that the program put into the list itself.
QListWidgetItem *makeHistoryItem(const QString &text);

} // namespace Nimbrel
