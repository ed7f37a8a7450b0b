#include "windows/ControlTable.h"

#include "windows/Caption.h"

#include <QAbstractButton>
#include <QLabel>

namespace Nimbrel::ControlTable
{

void nameByCaptions(QWidget &window)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        button->setAccessibleName(shownCaption(button->text()));
    for (QLabel *label : window.findChildren<QLabel *>()) {
        label->setAccessibleName(label->text());
        if (QWidget *buddy = label->buddy())
            buddy->setAccessibleName(label->text());
    }
}

} // namespace Nimbrel::ControlTable
