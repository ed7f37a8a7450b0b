// Opens its one argument with the default handler and ends at once, as the
// launcher does with "Exit Program when the Browser is opened".
#include "desktop/OpenInDefaultHandler.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    return Nimbrel::openInDefaultHandler(QString::fromLocal8Bit(argv[1])) ? 1 : 0;
}
