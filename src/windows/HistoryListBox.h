#pragma once

#include <QListWidget>

#include <memory>
#include <optional>

namespace Nimbrel
{

// The history list box. Besides picking items it lets the user remove one
// (Delete, or the context menu) and take the last removal back (Ctrl+Z), and
// shows an item too long for the box whole in a tooltip. What a pick, a search
// or a removal means for the window is the window's business: the box asks
// through its signals.
class HistoryListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit HistoryListBox(QWidget *parent = nullptr);
    ~HistoryListBox() override;

    QStringList texts() const;

    // Selects `row` and asks for it to go into the search box, as a click on
    // it does.
    void copyToSearchBox(int row);

    // Takes the selected item out of the list. It is kept, so that the removal
    // can be undone for as long as nothing else changes the list.
    void removeSelectedItem();
    // Puts the last removed item back at its place and selects it.
    void undoRemoval();
    // The text of the item the last removal took out, while it can be undone.
    QString removedText() const;

signals:
    void searchRequested();          // the item selected is to be searched, as on a double-click
    void copyToSearchBoxRequested(); // the item selected is to go into the search box
    void itemRemoved();
    void removalUndone();
    // Any change to the items, whoever made it.
    void itemsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    class ItemDelegate;

    void showMenuFor(QListWidgetItem *item, const QPoint &globalPos);
    // Whether the item's whole text fits the width the box gives it.
    bool showsWhole(const QListWidgetItem &item) const;
    void forgetRemoval();

    ItemDelegate *m_delegate;
    QList<QMetaObject::Connection> m_watching; // the model's signals of any change
    std::unique_ptr<QListWidgetItem> m_removed;
    int m_removedRow = -1;
    // While true, changes to the items are the box's own removal or undo.
    bool m_editing = false;
    // The current item while the focus is elsewhere.
    QPersistentModelIndex m_currentWhileAway;
    // The items' texts until the items change.
    mutable std::optional<QStringList> m_texts;
};

} // namespace Nimbrel
