#include "app/CommandLine.h"
#include "app/Launcher.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Nimbrel::Launcher launcher(Nimbrel::CommandLine::arguments(argc, argv));
    // A second start ends here, before the window system is even contacted.
    if (const std::optional<int> status = launcher.handOver())
        return *status;

    // The words were read above; Qt sees only the program's name, so no
    // search word is taken for one of its own options.
    int qtArgc = 1;
    launcher.expectDisplay();
    QApplication app(qtArgc, argv);
    launcher.open();
    return launcher.exec();
}
