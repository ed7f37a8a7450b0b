#include "infowindow/InfoForm.h"

#include "core/AppInfo.h"
#include "core/Module1.h"
#include "core/SettingsStore.h"
#include "history/HistoryList.h"
#include "infowindow/HistorySize.h"
#include "infowindow/NumericValue.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

using Module1::State;

namespace
{

QString informationText()
{
    return QStringList{
        QStringLiteral("There is one default setting that should never need changing and that "
                       "is the Nimbrel URL."),
        QStringLiteral("However, should it for some reason be needed anyway it is in the Windows "
                       "Registry at:"),
        AppInfo::SettingsLocationText,
        QString(),
        QString(),
    }
        .join(u'\n');
}

qint16 switchedFlag(bool checked)
{
    return checked ? Module1::OptionFlag::SwitchedOn : Module1::OptionFlag::SwitchedOff;
}

} // namespace

void InfoForm::Form_Load()
{
    Label_AppTitle->setText(AppInfo::ApplicationTitle);
    Label_AppVersion->setText(QStringLiteral("Version ") + State.AppVersion);
    Label_Info->setText(informationText());
    if (Module1::isOn(State.MoveItemToTop))
        Check_MoveItemToTop->setChecked(true);
    if (Module1::isOn(State.CloseWhenBrowserOpen))
        Check_CloseProgram->setChecked(true);
    Text_HistoryListMaxItems->setText(QString::number(State.HistoryListMaxItems));
    FormLoaded = Module1::True;
}

void InfoForm::Check_CloseProgram_Click()
{
    if (!FormLoaded)
        return;
    State.CloseWhenBrowserOpen = switchedFlag(Check_CloseProgram->isChecked());
}

void InfoForm::Check_MoveItemToTop_Click()
{
    if (!FormLoaded)
        return;
    State.MoveItemToTop = switchedFlag(Check_MoveItemToTop->isChecked());
}

void InfoForm::Text_HistoryListMaxItems_Change()
{
    if (!FormLoaded)
        return;
    Command_Apply->setEnabled(
        HistorySize::acceptable(NumericValue(Text_HistoryListMaxItems->text())));
}

void InfoForm::Text_HistoryListMaxItems_DblClick()
{
    Text_HistoryListMaxItems->clear();
}

void InfoForm::Command_Apply_Click()
{
    const std::optional<qint16> size =
        HistorySize::applied(NumericValue(Text_HistoryListMaxItems->text()));
    if (!size)
        return; // only reachable from code: the button is disabled then

    State.HistoryListMaxItems = *size;
    SettingsStore::WriteSetting(SettingsStore::Key::HistoryListMaxItems,
                                QString::number(State.HistoryListMaxItems), this);
    // The reload replaces the list with the file's content; searches not yet
    // saved would vanish with it, so they go to the file first.
    if (!State.HistoryChanged || SaveHistoryList(m_historyList))
        LoadHistoryList(m_historyList);
    Command_Apply->setEnabled(false);
}

void InfoForm::Command_Exit_Click()
{
    close();
}
