#include "desktop/SystemDesktop.h"

#include "desktop/HandlerLaunch.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace Nimbrel
{

namespace
{

constexpr int Opened = 33;
constexpr int NotOpened = 0;

// A program reads an argument that begins with a dash as an option of its
// own: xdg-open given "--manual" shows its manual page instead of opening
// anything. Such an argument is never handed on.
bool looksLikeOption(const QString &argument)
{
    return argument.startsWith(u'-');
}

int refuseOption(const QString &target)
{
    HandlerLaunch::reportNotOpened(
        target, QStringLiteral("It begins with \"-\", which the program that opens it would take "
                               "for an option."));
    return NotOpened;
}

// xdg-open finds the desktop's default application for a URL or a file, and
// it is watched, so that the user learns when it finds none. Without it Qt
// may still know a way ($BROWSER, the desktop's own opener, a portal), though
// not whether that worked.
int openTarget(const QString &target, const QUrl &url)
{
    // Both the text itself and the URL Qt makes of it ("%2D" becomes "-")
    // reach a program as its first argument.
    if (looksLikeOption(target) || looksLikeOption(url.toString(QUrl::FullyEncoded)))
        return refuseOption(target);
    const std::optional<QString> notStarted =
        HandlerLaunch::start(QStringLiteral("xdg-open"), {target}, target);
    if (!notStarted || QDesktopServices::openUrl(url))
        return Opened;
    HandlerLaunch::reportNotOpened(
        target,
        QStringLiteral("No program to open it was found: xdg-open could not be started (%1).")
            .arg(*notStarted));
    return NotOpened;
}

} // namespace

void SystemDesktop::whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled)
{
    HandlerLaunch::whenSettled(context, std::move(settled));
}

// Never waits and never involves a shell: a program gets `parameters` as its
// one argument.
int SystemDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                        int showCommand)
{
    Q_UNUSED(showCommand) // window placement is the handler's business here

    if (parameters.isNull())
        return openTarget(file, QUrl(file, QUrl::TolerantMode));

    // There is no Notepad here: the file goes to the desktop's default
    // application for it instead. A relative path (a data folder under an
    // "AppData" of "--manual") is made absolute, so it starts with "/".
    if (file.compare(NotepadProgram, Qt::CaseInsensitive) == 0) {
        const QString path = QDir::isRelativePath(parameters) && !parameters.isEmpty()
                                 ? QFileInfo(parameters).absoluteFilePath()
                                 : parameters;
        return openTarget(path, QUrl::fromLocalFile(path));
    }

    if (looksLikeOption(parameters))
        return refuseOption(parameters);
    if (const std::optional<QString> notStarted = HandlerLaunch::start(file, {parameters}, file)) {
        HandlerLaunch::reportNotOpened(
            file, QStringLiteral("The program could not be started (%1).").arg(*notStarted));
        return NotOpened;
    }
    return Opened;
}

} // namespace Nimbrel
