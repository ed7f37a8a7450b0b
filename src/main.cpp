#include "core/DesktopIdentity.h"
#include "core/MainForm.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DesktopIdentity::apply();
    MainForm form;
    form.show();
    return app.exec();
}
