#include "rules/HistoryMerge.h"

#include "rules/SearchRules.h"

#include <QStringList>

#include <algorithm>

namespace Nimbrel
{

namespace
{

QStringList textsOf(const QList<HistoryLine> &lines)
{
    QStringList texts;
    texts.reserve(lines.size());
    for (const HistoryLine &line : lines)
        texts << line.text;
    return texts;
}

} // namespace

QList<HistoryLine> replayHistoryChanges(QList<HistoryLine> lines,
                                        const QList<HistoryChange> &changes, qint16 maxItems)
{
    for (const HistoryChange &change : changes) {
        switch (change.kind) {
        case HistoryChange::Kind::Search: {
            const SearchRules::HistoryEdit edit = SearchRules::historyEditForLaunch(
                textsOf(lines), change.text, maxItems, change.moveToTop);
            if (edit.moveToTopFrom >= 0)
                lines.move(edit.moveToTopFrom, 0);
            if (edit.removeAt >= 0)
                lines.removeAt(edit.removeAt);
            if (edit.insertTerm)
                lines.prepend({change.text, QByteArray()});
            break;
        }
        case HistoryChange::Kind::Removal: {
            const auto found =
                std::find_if(lines.begin(), lines.end(),
                             [&](const HistoryLine &line) { return line.text == change.text; });
            if (found != lines.end())
                lines.erase(found);
            break;
        }
        case HistoryChange::Kind::Clearing:
            lines.clear();
            break;
        }
    }
    return lines;
}

} // namespace Nimbrel
