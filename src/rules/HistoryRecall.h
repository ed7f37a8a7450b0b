#pragma once

#include <QStringList>

// Up and Down in the search box walk through the history list: Up to older
// items, Down back to newer ones and at last to the user's own text.
namespace Nimbrel::HistoryRecall
{

// The position of the text the user had in the box before the first Up.
constexpr int OwnText = -1;

enum class Direction { Older, Newer };

// The position after one step from `position` (OwnText, or an index into
// `items`, 0 the newest). Items that start with a dash are passed over: they
// cannot be searched, so Enter could do nothing useful with them. Older stays
// put at the oldest item that can be searched; Newer from the newest one comes
// back to OwnText. A position outside the list counts as OwnText.
int step(const QStringList &items, int position, Direction direction);

} // namespace Nimbrel::HistoryRecall
