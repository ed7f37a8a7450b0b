#include "support/WindowTest.h"

#include "windows/HistoryList.h"
#include "windows/TwipsLayout.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace
{

// The child of that name; a missing control ends the test run at once, as
// every later step would only fail on a null pointer.
template <class T> T *control(const QObject &window, const char *name)
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

namespace
{

// The part of a control that shows something: a label's or a check box's
// caption from its left edge, or the whole of any other control.
QRect shownArea(const QWidget *widget)
{
    if (qobject_cast<const QLabel *>(widget) || qobject_cast<const QCheckBox *>(widget))
        return QRect(widget->pos(), Nimbrel::TwipsLayout::captionSize(widget));
    return widget->geometry();
}

} // namespace

QString layoutFaults(const QWidget &window)
{
    QList<const QWidget *> controls;
    for (const QWidget *child : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->objectName() != u"Line4" &&
            child->objectName() != u"Line5")
            controls << child;
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget *a = controls[i];
        if (!window.rect().contains(a->geometry()))
            faults << a->objectName() + QStringLiteral(" sticks out of the window");
        const QSize needed = Nimbrel::TwipsLayout::captionSize(a);
        if (needed.width() > a->width() || needed.height() > a->height())
            faults << a->objectName() + QStringLiteral(" clips its caption");
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (shownArea(a).intersects(shownArea(controls[j])))
                faults << a->objectName() + QStringLiteral(" overlaps ") +
                              controls[j]->objectName();
        }
    }
    return faults.join(QStringLiteral("; "));
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
