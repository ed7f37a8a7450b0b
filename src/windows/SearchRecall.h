#pragma once

#include <QObject>
#include <QString>

namespace Nimbrel
{

class HistoryListBox;
class SearchBox;

// Up and Down in the search box bring back earlier searches: Up the next
// older history item, Down the next newer one, and past the newest whatever
// the user had typed before the first Up. A recalled item goes into the box
// exactly as a click on it would put it there, and is selected in the list.
// Typing, or any change to the list, ends the walk; the next Up starts again
// at the top.
class SearchRecall : public QObject
{
    Q_OBJECT
public:
    SearchRecall(SearchBox &box, HistoryListBox &list, QObject *parent = nullptr);

    // Keeps what the user had typed but not sent when something else took
    // the box (a term from another start): Down in the box brings it back,
    // until the user types anew.
    void setAside(const QString &unsent);

private:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void moveTo(int position);
    void end();

    SearchBox &m_box;
    HistoryListBox &m_list;
    int m_position;    // where the walk stands; HistoryRecall::OwnText when not walking
    QString m_ownText; // what the box held before the first Up
    QString m_setAside;
    bool m_moving = false;
};

} // namespace Nimbrel
