#include "support/WindowTest.h"

#include "windows/HistoryList.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The child of that name; a missing control ends the test run at once, as
// every later step would only fail on a null pointer.
template <class T>
T *control(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window.objectName()),
               T::staticMetaObject.className(), name);
    return found;
}

} // namespace

MainFormUi ui(const Nimbrel::MainForm &form)
{
    return {
        control<QLineEdit>(form, "Text_SearchData"),
        control<QListWidget>(form, "List_History"),
        control<QLabel>(form, "Label_SearchData"),
        control<QPushButton>(form, "Command_OpenBrowser"),
        control<QPushButton>(form, "Command_Exit"),
        control<QPushButton>(form, "Command_Help"),
        control<QPushButton>(form, "Command_OpenWikiMain"),
        {control<QRadioButton>(form, "Option_HistoryList0"),
         control<QRadioButton>(form, "Option_HistoryList1"),
         control<QRadioButton>(form, "Option_HistoryList2")},
    };
}

InfoFormUi ui(const Nimbrel::InfoForm &form)
{
    return {
        control<QLabel>(form, "Label_Info"),
        control<QPushButton>(form, "Command_Exit"),
        control<QPushButton>(form, "Command_CopyKey"),
        control<QLabel>(form, "lblEmail"),
        control<QPushButton>(form, "CheckUpdate"),
        control<QLabel>(form, "Label_AppTitle"),
        control<QLabel>(form, "Label_AppVersion"),
        control<QCheckBox>(form, "Check_CloseProgram"),
        control<QLabel>(form, "Label1"),
        control<QLineEdit>(form, "Text_HistoryListMaxItems"),
        control<QPushButton>(form, "Command_Apply"),
        control<QPushButton>(form, "Command_EditHistory"),
        control<QPushButton>(form, "Command_ClearHistoryList"),
        control<QCheckBox>(form, "Check_MoveItemToTop"),
        control<QFrame>(form, "Line5"),
        control<QFrame>(form, "Line4"),
    };
}

QStringList listTexts(const QListWidget &list)
{
    QStringList result;
    for (int i = 0; i < list.count(); ++i)
        result << list.item(i)->text();
    return result;
}

void fillList(QListWidget &list, const QStringList &texts)
{
    list.clear();
    for (const QString &text : texts)
        list.addItem(Nimbrel::makeHistoryItem(text));
}
