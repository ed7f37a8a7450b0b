#pragma once

#include "rules/EarlierSearchMatch.h"

#include <QListWidget>

namespace Nimbrel
{

// The rows of earlier searches under the search box: each item with, dimmed,
// the list it comes from. It is a child of the window, not a window of its
// own, so it never takes the focus or grabs the mouse: clicks beside it reach
// the controls they are aimed at, and keys stay with the search box.
class EarlierSearchesPopup : public QListWidget
{
    Q_OBJECT
public:
    explicit EarlierSearchesPopup(QWidget *window);

    // Shows `offers` under `box`, none of them chosen.
    void showOffers(const QList<EarlierSearchMatch::Offer> &offers, const QWidget &box);

    // The chosen row's term; empty when no row is chosen.
    QString chosenTerm() const;
    // The term of the row `item`.
    static QString termOf(const QListWidgetItem &item);
    // Moves the choice one row down (`step` 1) or up (-1); up from the first
    // row chooses none, down from none the first.
    void moveChoice(int step);

private:
    void place(const QWidget &box);
};

} // namespace Nimbrel
