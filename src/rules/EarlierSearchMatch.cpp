#include "rules/EarlierSearchMatch.h"

#include "rules/SearchRules.h"

#include <algorithm>

namespace Nimbrel::EarlierSearchMatch
{

QString termOf(const QString &item)
{
    const QString typed = SearchRules::typedInsertion(QString(), 0, 0, item);
    return typed.mid(SearchRules::leadingSpaces(typed));
}

QList<Offer> offers(const QString &text, const QList<SourceList> &lists, qsizetype limit)
{
    QList<Offer> result;
    if (text.isEmpty() || limit < 1)
        return result;

    struct Hit {
        const SourceList *list;
        const QString *item;
    };
    // One pass finds both kinds; a term is worked out only for what may be
    // shown, since a list without a size limit can hold thousands of items.
    QList<Hit> starting;
    QList<Hit> within;
    for (const SourceList &list : lists) {
        for (const QString &item : list.items) {
            if (SearchRules::isDashItem(item))
                continue;
            const qsizetype at = item.indexOf(text, 0, Qt::CaseInsensitive);
            if (at == 0)
                starting.append({&list, &item});
            else if (at > 0)
                within.append({&list, &item});
        }
    }

    for (const QList<Hit> *hits : {&starting, &within}) {
        for (const Hit &hit : *hits) {
            if (result.size() == limit)
                return result;
            QString term = termOf(*hit.item);
            const bool known = std::any_of(result.cbegin(), result.cend(),
                                           [&](const Offer &offer) { return offer.term == term; });
            if (!known)
                result.append({*hit.item, std::move(term), hit.list->number});
        }
    }
    return result;
}

} // namespace Nimbrel::EarlierSearchMatch
