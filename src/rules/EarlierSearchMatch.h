#pragma once

#include "rules/FoldedItems.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which earlier searches the search box offers for what is being typed into it.
namespace Nimbrel::EarlierSearchMatch
{

// The most offers shown at once.
constexpr qsizetype MaxOffers = 8;

// One history list's items, newest first, and the number the user knows it by.
// The items are folded for matching when the list is made, so a caller keeps
// a list for as long as its items stay the same.
struct SourceList {
    qint16 number = 0;
    FoldedItems items;
};

struct Offer {
    QString item; // as the list holds it
    QString term; // what choosing it searches: the item as if typed into the box
    qint16 list = 0;
    friend bool operator==(const Offer &, const Offer &) = default;
};

// The search term `item` becomes when typed into the empty search box.
QString termOf(const QString &item);

// Up to `limit` items of `lists` that hold `text`, small and capital letters
// alike (the box holds capitals only, a hand-edited list may not): those that
// start with it first, then those that hold it further on; within each, the
// lists in the order given and each list's items in its own order. Items that
// start with a dash are never offered, and an item whose term an earlier offer
// already searches is left out, so that a term in several lists comes once.
// Nothing for an empty text.
QList<Offer> offers(const QString &text, const QList<SourceList> &lists,
                    qsizetype limit = MaxOffers);

} // namespace Nimbrel::EarlierSearchMatch
