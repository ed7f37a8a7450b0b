#include "infowindow/InfoForm.h"

// Filled in with the update check and the e-mail link.
void InfoForm::CheckUpdate_Click() {}

void InfoForm::lblEmail_Click() {}

qint16 InfoForm::OpenEmail(const QString &, const QString &, const QString &)
{
    return 0;
}
