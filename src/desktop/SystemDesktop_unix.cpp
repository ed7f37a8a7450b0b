#include "desktop/SystemDesktop.h"

#include "desktop/HandlerLaunch.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace Nimbrel
{

namespace
{

// A program reads an argument that begins with a dash as an option of its
// own: xdg-open given "--manual" shows its manual page instead of opening
// anything. Such an argument is never handed on.
bool looksLikeOption(const QString &argument)
{
    return argument.startsWith(u'-');
}

Failure refuseOption(const QString &target)
{
    return HandlerLaunch::reportNotOpened(
        target,
        QCoreApplication::translate(
            "Nimbrel::Desktop",
            "It begins with \"-\", which the program that opens it would take for an option."));
}

// xdg-open finds the desktop's default application for a URL or a file, and
// it is watched, so that the user learns when it finds none. Without it Qt
// may still know a way ($BROWSER, the desktop's own opener, a portal), though
// not whether that worked.
MaybeFailure openTarget(const QString &target, const QUrl &url)
{
    // Both the text itself and the URL Qt makes of it ("%2D" becomes "-")
    // reach a program as its first argument.
    if (looksLikeOption(target) || looksLikeOption(url.toString(QUrl::FullyEncoded)))
        return refuseOption(target);
    const MaybeFailure notStarted =
        HandlerLaunch::start(QStringLiteral("xdg-open"), {target}, target);
    if (!notStarted || QDesktopServices::openUrl(url))
        return std::nullopt;
    return HandlerLaunch::reportNotOpened(
        target, QCoreApplication::translate(
                    "Nimbrel::Desktop",
                    "No program to open it was found: xdg-open could not be started (%1).")
                    .arg(notStarted->reason));
}

} // namespace

void SystemDesktop::whenHandOffsSettled(QObject *context, std::function<void(bool failed)> settled)
{
    HandlerLaunch::whenSettled(context, std::move(settled));
}

// Never waits and never involves a shell: a program gets `parameters` as its
// one argument.
MaybeFailure SystemDesktop::openInDefaultHandler(const QString &target, const QString &parameters,
                                                 int showCommand)
{
    Q_UNUSED(showCommand) // window placement is the handler's business here

    if (parameters.isNull())
        return openTarget(target, QUrl(target, QUrl::TolerantMode));
    if (looksLikeOption(parameters))
        return refuseOption(parameters);
    if (const MaybeFailure notStarted = HandlerLaunch::start(target, {parameters}, target))
        return HandlerLaunch::reportNotOpened(
            target, QCoreApplication::translate("Nimbrel::Desktop",
                                                "The program could not be started (%1).")
                        .arg(notStarted->reason));
    return std::nullopt;
}

// The desktop's default application for the file is the editor here. A
// relative path (a data folder under an "AppData" of "--manual") is made
// absolute, so it starts with "/".
MaybeFailure SystemDesktop::openInEditor(const QString &path, int showCommand)
{
    Q_UNUSED(showCommand)
    const QString absolute =
        QDir::isRelativePath(path) && !path.isEmpty() ? QFileInfo(path).absoluteFilePath() : path;
    return openTarget(absolute, QUrl::fromLocalFile(absolute));
}

} // namespace Nimbrel
