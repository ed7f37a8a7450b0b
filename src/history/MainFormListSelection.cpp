#include "core/MainForm.h"

void MainForm::connectListSelection() {}
