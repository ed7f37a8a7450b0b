#include "core/MainForm.h"

#include "core/DataFolder.h"
#include "core/Desktop.h"
#include "core/Module1.h"
#include "history/HistoryList.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

using Module1::State;

namespace
{

QMessageBox::StandardButton askToSaveBeforeSwitching(QWidget *parent)
{
    MessageRequest request;
    request.parent = parent;
    request.title = QStringLiteral("Change List");
    request.text = QStringLiteral("The current list has chnaged.\n\n"
                                  "Do you want to save it before changing to abother list ?");
    request.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Yes;
    request.icon = QMessageBox::Question;
    return desktop().showMessage(request);
}

} // namespace

void MainForm::connectListSelection()
{
    // A button that becomes selected, by mouse, keyboard or the program, is the
    // group's click; the one losing its selection says nothing.
    for (qint16 index = 0; index < qint16(Option_HistoryList.size()); ++index)
        connect(Option_HistoryList[index], &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                Option_HistoryList_Click(index);
        });
}

void MainForm::Option_HistoryList_Click(qint16 index)
{
    if (!FormLoaded)
        return;

    if (State.HistoryChanged) {
        const QMessageBox::StandardButton answer = askToSaveBeforeSwitching(this);
        // Closing the box counts as Cancel; so does a save that failed (the user
        // has been told why), since switching would throw the unsaved list away.
        const bool keepCurrentList =
            (answer != QMessageBox::Yes && answer != QMessageBox::No) ||
            (answer == QMessageBox::Yes && !SaveHistoryList(*List_History));
        if (keepCurrentList) {
            FormLoaded = Module1::False;
            Option_HistoryList[State.SelectedSavedList - 1]->setChecked(true);
            Text_SearchData->setFocus();
            QCoreApplication::processEvents();
            FormLoaded = Module1::True;
            return;
        }
    }

    // The path keeps its folder; only the list's file name changes.
    State.HistoryFilePath.chop(DataFolder::historyFileName(State.SelectedSavedList).size());
    State.SelectedSavedList = qint16(index + 1);
    State.HistoryFilePath += DataFolder::historyFileName(State.SelectedSavedList);
    List_History->clear();
    // The old list's changes are gone with its items: should the new file prove
    // unreadable, the empty box must not be saved over it at exit.
    State.HistoryChanged = Module1::False;
    LoadHistoryList(*List_History);
    State.SavedListChanged = Module1::True;
    Text_SearchData->setFocus();
}
