#include "core/MainForm.h"

void MainForm::connectInfoButton() {}
