#include "rules/EarlierSearchMatch.h"

#include "rules/SearchRules.h"

#include <algorithm>

namespace Nimbrel::EarlierSearchMatch
{

namespace
{

bool hasTerm(const QList<Offer> &offers, const QString &term)
{
    return std::any_of(offers.cbegin(), offers.cend(),
                       [&](const Offer &offer) { return offer.term == term; });
}

bool hasItem(const QList<Offer> &offers, const QString &item)
{
    return std::any_of(offers.cbegin(), offers.cend(),
                       [&](const Offer &offer) { return offer.item == item; });
}

} // namespace

QString termOf(const QString &item)
{
    const QString typed = SearchRules::typedInsertion(QString(), 0, 0, item);
    return typed.mid(SearchRules::leadingSpaces(typed));
}

QList<Offer> offers(const QString &text, const QList<SourceList> &lists, qsizetype limit)
{
    if (text.isEmpty() || limit < 1)
        return {};
    const QString folded = FoldedItems::fold(text);

    // Each kind in the order found, without repeats; a term is worked out
    // only for an item that may be shown. An item holding the text further on
    // gives way to one starting with it, wherever that is found.
    QList<Offer> starting;
    QList<Offer> within;
    for (const SourceList &list : lists) {
        for (qsizetype from = 0; from < list.items.size();) {
            // Once `limit` items hold the text further on, only those that
            // start with it can still be shown, and they are quicker to find.
            const FoldedItems::Hit hit = within.size() < limit ? list.items.find(folded, from)
                                                               : list.items.findStart(folded, from);
            if (hit.item < 0)
                break;
            from = hit.item + 1;
            const QString &item = list.items.items().at(hit.item);
            if (SearchRules::isDashItem(item))
                continue;
            const bool starts = hit.at == 0;
            // The same item is the same term; a list of repeats costs no more.
            if (hasItem(starting, item) || (!starts && hasItem(within, item)))
                continue;
            QString term = termOf(item);
            if (hasTerm(starting, term) || (!starts && hasTerm(within, term)))
                continue;
            (starts ? starting : within).append({item, std::move(term), list.number});
            // Nothing found after that many could be shown.
            if (starting.size() == limit)
                return starting;
        }
    }

    QList<Offer> result = std::move(starting);
    for (Offer &offer : within) {
        if (result.size() == limit)
            break;
        if (!hasTerm(result, offer.term))
            result.append(std::move(offer));
    }
    return result;
}

} // namespace Nimbrel::EarlierSearchMatch
