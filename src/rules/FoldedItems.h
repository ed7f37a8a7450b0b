#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Nimbrel
{

// A list's items together with one case-folded copy of them all, made once
// for as long as the items stay the same, so that looking for a text in
// thousands of items, small and capital letters alike, compares characters
// only.
class FoldedItems
{
public:
    FoldedItems() = default;
    // Folds `items` once; implicit, since a list of items is all it needs.
    FoldedItems(QStringList items);

    const QStringList &items() const { return m_items; }
    qsizetype size() const { return m_items.size(); }

    // `text` folded as the items are: each character as Qt compares it when
    // told to ignore case, so that lengths and positions stay the same.
    static QString fold(QStringView text);

    struct Hit {
        qsizetype item = -1; // -1: none
        qsizetype at = -1;   // where in the item
    };
    // The first item from index `from` on that holds `folded` (a fold() of a
    // text that is not empty), and where it first stands in that item.
    Hit find(QStringView folded, qsizetype from) const;
    // The first item from index `from` on that starts with `folded`.
    Hit findStart(QStringView folded, qsizetype from) const;

private:
    qsizetype start(qsizetype item) const { return item == 0 ? 0 : m_ends[item - 1]; }
    // Where `folded` first stands in the folded text from `from` on, or -1.
    qsizetype findText(qsizetype from, QStringView folded) const;

    QStringList m_items;
    QString m_folded;        // every item folded, one after the other
    QList<qsizetype> m_ends; // where item n ends in m_folded
};

} // namespace Nimbrel
