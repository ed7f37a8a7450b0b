#include "infowindow/InfoForm.h"

#include "core/AppInfo.h"
#include "core/Desktop.h"
#include "core/Module1.h"
#include "history/HistoryList.h"
#include "search/OpenInDefaultHandler.h"
#include "search/ShellOpen.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

using Module1::State;

namespace
{

MessageRequest question(QWidget *parent, const QString &title, const QString &text,
                        QMessageBox::Icon icon)
{
    MessageRequest request;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::Yes;
    request.icon = icon;
    return request;
}

// The editor is handed the path of a list that was never saved. An editor
// started through the desktop's file associations cannot open a file that is
// not there, so an empty one, which reads as an empty list, is put in place.
void makeSureFileExists(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

} // namespace

void InfoForm::Command_EditHistory_Click()
{
    if (State.HistoryChanged)
        SaveHistoryList(m_historyList);
    makeSureFileExists(State.HistoryFilePath);
    OpenInDefaultHandler(NotepadProgram, State.HistoryFilePath, ShowCommand::Normal);

    const QString prompt =
        QStringList{QStringLiteral("If changes were made to the History List a Refresh is needed"),
                    QStringLiteral("or the changes may be lost."), QString(),
                    QStringLiteral("Refresh now ?")}
            .join(u'\n');
    if (desktop().showMessage(question(this, QStringLiteral("Refresh"), prompt,
                                       QMessageBox::NoIcon)) == QMessageBox::Yes)
        LoadHistoryList(m_historyList);
    close();
}

void InfoForm::Command_ClearHistoryList_Click()
{
    if (desktop().showMessage(question(this, QStringLiteral("Clear History List"),
                                       QStringLiteral("Are you sure ?"), QMessageBox::Question)) ==
        QMessageBox::No)
        return;
    m_historyList.clear();
    SaveHistoryList(m_historyList);
    close();
}

void InfoForm::Command_CopyKey_Click()
{
    MessageRequest request;
    request.parent = this;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    if (desktop().setClipboardText(AppInfo::SettingsLocationText)) {
        request.title = QStringLiteral("Confirmation");
        request.text = QStringLiteral("Registry key copied to Clipboard.");
        request.icon = QMessageBox::Information;
    } else {
        request.title = AppInfo::ApplicationTitle;
        request.text = QStringLiteral("The registry key could not be copied to the Clipboard: "
                                      "another program may be holding it. Please try again.");
        request.icon = QMessageBox::Warning;
    }
    desktop().showMessage(request);
    Command_Exit->setFocus();
}
