#include "app/CommandLine.h"

#include "rules/AppInfo.h"
#include "rules/AppVersion.h"
#include "rules/InstanceMessage.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#endif

namespace Nimbrel
{

namespace
{

const QString ProgramName = QStringLiteral("nimbrel-launcher");

QString helpText()
{
    return QCoreApplication::translate(
               "Nimbrel::CommandLine",
               "Usage: %1 [OPTION]... [TERM]...\n"
               "Opens the wiki page for TERM in the default browser, exactly as if TERM had been\n"
               "typed into the search box and Enter pressed. Without TERM, opens the window.\n"
               "\n"
               "One launcher runs per user and display. When one is running already, a new\n"
               "start hands TERM to it (or, without TERM, brings its window to the front) and\n"
               "ends at once.\n"
               "\n"
               "Options:\n"
               "  -h, --help     show this help and end\n"
               "  -v, --version  show the version and end\n"
               "\n"
               "The words of TERM are joined by single blanks. The search box's rules apply:\n"
               "small letters become capitals, characters the box does not take are left out,\n"
               "and dashes follow its rules. A TERM that leaves nothing to search searches\n"
               "nothing. Put -- before a TERM that starts with a dash.\n"
               "\n"
               "Exit status: 0 when done, 1 when the running launcher could not take the\n"
               "request, 2 for a mistake on the command line.\n")
        .arg(ProgramName);
}

QString versionText()
{
    // The version as the window's caption shows it, then the file's version.
    return QCoreApplication::translate("Nimbrel::CommandLine", "%1, v%2 (file version %3)\n")
        .arg(AppInfo::ApplicationTitle, executableVersionText(),
             QStringLiteral(NIMBREL_FILE_VERSION));
}

CommandLine error(const QString &what)
{
    return {CommandLine::Action::Error, QString(),
            QCoreApplication::translate("Nimbrel::CommandLine",
                                        "%1: %2\nTry '%1 --help' for more information.\n")
                .arg(ProgramName, what)};
}

} // namespace

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("term"), QString(), QStringLiteral("[TERM]..."));
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (parser.isSet(help))
        return {Action::Help, QString(), helpText()};
    if (parser.isSet(version))
        return {Action::Version, QString(), versionText()};

    const QString term = parser.positionalArguments().join(u' ');
    if (term.size() > InstanceMessage::MaxTermLength)
        return error(QCoreApplication::translate("Nimbrel::CommandLine",
                                                 "the search term is longer than %1 characters.")
                         .arg(InstanceMessage::MaxTermLength));
    return {Action::Start, term, QString()};
}

QStringList CommandLine::arguments(int argc, char *argv[])
{
    QStringList list;
#ifdef Q_OS_WIN
    // argv holds the ANSI code page's approximation; the wide command line
    // holds what the user typed.
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            list << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
#endif
    return list;
}

} // namespace Nimbrel
