#include "desktop/DesktopIdentity.h"
#include "windows/MainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Nimbrel::DesktopIdentity::apply();
    Nimbrel::MainForm form;
    form.show();
    return app.exec();
}
