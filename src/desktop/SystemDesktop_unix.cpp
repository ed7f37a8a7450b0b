#include "desktop/SystemDesktop.h"

#include "desktop/HandlerLaunch.h"

#include <QDesktopServices>
#include <QUrl>

namespace Nimbrel {

namespace {

constexpr int Opened = 33;
constexpr int NotOpened = 0;

// xdg-open finds the desktop's default application for a URL or a file, and
// it is watched, so that the user learns when it finds none. Without it Qt
// may still know a way ($BROWSER, the desktop's own opener, a portal), though
// not whether that worked.
int openTarget(const QString &target, const QUrl &url)
{
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

// Never waits and never involves a shell: a program gets `parameters` as its
// one argument. A failure is told to the user here, at once or, when the
// handler gives up shortly after, once it has.
int SystemDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                        int showCommand)
{
    Q_UNUSED(showCommand) // window placement is the handler's business here

    if (parameters.isNull())
        return openTarget(file, QUrl(file, QUrl::TolerantMode));

    // There is no Notepad here: the file goes to the desktop's default
    // application for it instead.
    if (file.compare(NotepadProgram, Qt::CaseInsensitive) == 0)
        return openTarget(parameters, QUrl::fromLocalFile(parameters));

    if (const std::optional<QString> notStarted = HandlerLaunch::start(file, {parameters}, file)) {
        HandlerLaunch::reportNotOpened(
            file, QStringLiteral("The program could not be started (%1).").arg(*notStarted));
        return NotOpened;
    }
    return Opened;
}

} // namespace Nimbrel
