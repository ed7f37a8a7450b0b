#pragma once

#include "rules/HistoryFile.h"

#include <QList>
#include <QString>

namespace Nimbrel
{

// One change this run made to a history list, kept until the list is next
// read or written. When another program (an editor, a synced copy) has
// changed the list's file meanwhile, these changes are made again on the
// file's new content, so that neither side's change is thrown away.
struct HistoryChange {
    enum class Kind {
        Search,   // `text` was searched
        Removal,  // the item `text` was removed
        Clearing, // the list was emptied
    };
    Kind kind = Kind::Search;
    QString text;
    bool moveToTop = false; // Search: whether a known term went to the top

    friend bool operator==(const HistoryChange &, const HistoryChange &) = default;
};

// `lines` with `changes` made to them in order, as the window made them to its
// list: a search goes in at the top (a full list of `maxItems` losing its
// bottom item) or, with moveToTop, moves a known term there; a removal takes
// out the first item of that text, if there is one.
QList<HistoryLine> replayHistoryChanges(QList<HistoryLine> lines,
                                        const QList<HistoryChange> &changes, qint16 maxItems);

} // namespace Nimbrel
