#pragma once

#include "rules/ListFileSnapshot.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>

class QKeyEvent;

namespace Nimbrel
{

class EarlierSearchesPopup;
class SearchBox;

// What the offers of earlier searches need from the main window.
struct EarlierSearchesSource {
    std::function<qint16()> currentList;       // the selected list, 1 to 3
    std::function<QStringList()> currentItems; // its items in the list box, newest first
    std::function<QString(qint16)> listFile;   // the file of list n
    std::function<qint16()> maxItems;          // the lines loading a list reads
    std::function<void()> search;              // searches what the box holds, as Enter does
};

// Offers the earlier searches of all three lists while the user types into
// the search box. It only reads: the selected list from its list box, the
// others from their files, again once they change. Choosing an offer (Down
// and Enter, or a click) types it into the box and searches it; otherwise the
// box, its keys and the window's clicks work as they do without the offers.
class EarlierSearches : public QObject
{
    Q_OBJECT
public:
    // Offers earlier searches under `box` from its first edit on; nothing is
    // built or read before.
    static void attach(SearchBox &box, const EarlierSearchesSource &source);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EarlierSearches(SearchBox &box, const EarlierSearchesSource &source);

    void textChanged();
    void refresh();
    const FoldedItems &currentItems();
    void close();
    void searchOffer(const QString &term);
    bool keyPressed(const QKeyEvent &key);

    SearchBox &m_box;
    EarlierSearchesSource m_source;
    QPointer<EarlierSearchesPopup> m_popup;  // the window's child, which may go first
    std::array<ListFileSnapshot, 3> m_files; // index n - 1 for list n
    FoldedItems m_current;                   // the list box's items as last seen
    QString m_shownFor;                      // the box's text the shown offers are for
    bool m_edited = false;                   // the change under way was the user's editing
    bool m_choosing = false;                 // an offer is going into the box
};

} // namespace Nimbrel
