#pragma once

#include <QString>
#include <QStringList>

namespace Nimbrel
{

// What the launcher was asked to do on its command line.
struct CommandLine {
    enum class Action {
        Start, // open the window (or bring the running one to the front) and search `term`, if any
        Help,  // print `output` to standard output and end
        Version, // likewise
        Error,   // print `output` to standard error and end with status 2
    };

    Action action = Action::Start;
    QString term;   // the words given, joined by single blanks; empty for none
    QString output; // what Help, Version and Error print

    // Reads `arguments`, the program's name first. Qt's own options are not
    // taken: they would reach the window system only after a second start
    // had already handed its request over.
    static CommandLine parse(const QStringList &arguments);

    // The program's arguments as text, decoded as the system decodes them.
    static QStringList arguments(int argc, char *argv[]);
};

} // namespace Nimbrel
