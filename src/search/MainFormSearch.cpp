#include "core/MainForm.h"

#include "core/Module1.h"
#include "history/HistoryList.h"
#include "search/OpenInDefaultHandler.h"
#include "search/SearchRules.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

using Module1::State;

namespace
{

QStringList historyTexts(const QListWidget &list)
{
    QStringList texts;
    texts.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

// Items move as themselves rather than as their text, so that a line whose
// bytes the text cannot show is written back unchanged.
void applyHistoryEdit(QListWidget &list, const SearchRules::HistoryEdit &edit, const QString &term)
{
    if (edit.moveToTopFrom >= 0)
        list.insertItem(0, list.takeItem(edit.moveToTopFrom));
    if (edit.removeAt >= 0)
        delete list.takeItem(edit.removeAt);
    if (edit.insertTerm)
        list.insertItem(0, makeHistoryItem(term));
}

} // namespace

void MainForm::connectSearchHandlers()
{
    Text_SearchData->installEventFilter(this);
    connect(Text_SearchData, &QLineEdit::textChanged, this, &MainForm::Text_SearchData_Change);
    connect(Command_OpenBrowser, &QPushButton::clicked, this, &MainForm::Command_OpenBrowser_Click);
    connect(Command_OpenWikiMain, &QPushButton::clicked, this,
            &MainForm::Command_OpenWikiMain_Click);
    // Selecting by mouse or keyboard picks the item; so does a click on the item
    // already selected, which the user expects to copy it again after editing.
    connect(List_History, &QListWidget::itemSelectionChanged, this, &MainForm::List_History_Click);
    connect(List_History, &QListWidget::itemClicked, this, &MainForm::List_History_Click);
    connect(List_History, &QListWidget::itemDoubleClicked, this, &MainForm::List_History_DblClick);
}

void MainForm::Command_OpenBrowser_Click()
{
    const QString term = Text_SearchData->text();
    const SearchRules::HistoryEdit edit = SearchRules::historyEditForLaunch(
        historyTexts(*List_History), term, State.HistoryListMaxItems,
        Module1::isOn(State.MoveItemToTop));
    {
        // Moving or dropping the selected item is not the user picking another
        // one, which would put a different term into the box before it is read.
        const QSignalBlocker quiet(List_History);
        applyHistoryEdit(*List_History, edit, term);
        if (edit.changesList())
            State.HistoryChanged = Module1::True;

        OpenInDefaultHandler(State.WikiPath + Text_SearchData->text(), QString(),
                             ShowCommand::Normal);

        List_History->clearSelection();
        List_History->setCurrentItem(nullptr);
    }
    Text_SearchData->clear();
    Text_SearchData->setFocus();
    if (Module1::isOn(State.CloseWhenBrowserOpen))
        close();
}

void MainForm::Command_OpenWikiMain_Click()
{
    OpenInDefaultHandler(State.WikiPath, QString(), ShowCommand::Normal);
    Text_SearchData->setFocus();
    if (Module1::isOn(State.CloseWhenBrowserOpen))
        close();
}
