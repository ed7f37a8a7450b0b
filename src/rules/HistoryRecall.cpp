#include "rules/HistoryRecall.h"

#include "rules/SearchRules.h"

namespace Nimbrel::HistoryRecall
{

int step(const QStringList &items, int position, Direction direction)
{
    if (position < OwnText || position >= items.size())
        position = OwnText;
    if (direction == Direction::Older) {
        for (int i = position + 1; i < items.size(); ++i) {
            if (!SearchRules::isDashItem(items[i]))
                return i;
        }
        return position;
    }
    for (int i = position - 1; i >= 0; --i) {
        if (!SearchRules::isDashItem(items[i]))
            return i;
    }
    return OwnText;
}

} // namespace Nimbrel::HistoryRecall
