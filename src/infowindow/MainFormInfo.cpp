#include "core/MainForm.h"

#include "infowindow/InfoForm.h"

#include <QPushButton>

void MainForm::connectInfoButton()
{
    connect(Command_Help, &QPushButton::clicked, this, &MainForm::Command_Help_Click);
}

void MainForm::Command_Help_Click()
{
    // Built afresh at every opening, so it always starts from its design and
    // the current state.
    InfoForm form(*List_History, this);
    form.exec();
}
