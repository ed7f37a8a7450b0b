#include "core/MainForm.h"

void MainForm::connectSearchHandlers() {}

bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}
