#include "core/MainForm.h"

#include "search/SearchRules.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace
{

enum class Picked { Nothing, DashItem, Term };

// Copies the selected history item into the search box, unfiltered. A dash item
// cannot be searched, so it empties the box and leaves the launch button off.
Picked pickSelectedItem(const QListWidget &list, QLineEdit &box, QPushButton &launchButton)
{
    const QList<QListWidgetItem *> selected = list.selectedItems();
    if (selected.isEmpty())
        return Picked::Nothing;
    const QString item = selected.front()->text();
    if (SearchRules::isDashItem(item)) {
        box.clear();
        launchButton.setEnabled(false);
        return Picked::DashItem;
    }
    box.setText(item);
    return Picked::Term;
}

} // namespace

void MainForm::List_History_Click()
{
    pickSelectedItem(*List_History, *Text_SearchData, *Command_OpenBrowser);
}

void MainForm::List_History_DblClick()
{
    // The launch reads the box after its change rule, so an item with leading
    // blanks is searched without them.
    if (pickSelectedItem(*List_History, *Text_SearchData, *Command_OpenBrowser) == Picked::Term)
        Command_OpenBrowser_Click();
}
