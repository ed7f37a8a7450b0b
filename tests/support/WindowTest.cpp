#include "support/WindowTest.h"

#include "windows/HistoryList.h"
#include "windows/TwipsLayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

namespace
{

template <class Ui> Ui foundControls(const QWidget &window)
{
    const Ui found = Ui::find(window);
    if (const QStringList missing = found.missingControls(); !missing.isEmpty())
        qFatal("%s lacks %s", qPrintable(window.objectName()),
               qPrintable(missing.join(QStringLiteral(", "))));
    return found;
}

} // namespace

Nimbrel::MainFormUi ui(const Nimbrel::MainForm &form)
{
    return foundControls<Nimbrel::MainFormUi>(form);
}

Nimbrel::InfoFormUi ui(const Nimbrel::InfoForm &form)
{
    return foundControls<Nimbrel::InfoFormUi>(form);
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
