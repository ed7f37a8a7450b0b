#include "rules/ListFileSnapshot.h"

#include "rules/HistoryFile.h"

namespace Nimbrel
{

const FoldedItems &ListFileSnapshot::read(const QString &path, qint16 maxItems)
{
    if (m_read && path == m_path && maxItems == m_maxItems && SafeFile::stamp(path) == m_stamp)
        return m_items;
    QStringList items;
    const HistoryLoadResult result = loadHistoryFile(
        path, maxItems, [&items](HistoryLine &&line) { items.append(std::move(line.text)); });
    if (result.status != HistoryLoad::Read)
        items.clear();
    m_items = FoldedItems(std::move(items));
    // The stamp from before the read: a change made while it read shows next time.
    m_stamp = result.stamp;
    m_path = path;
    m_maxItems = maxItems;
    m_read = true;
    return m_items;
}

} // namespace Nimbrel
