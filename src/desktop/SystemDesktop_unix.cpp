#include "desktop/SystemDesktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace Nimbrel {

namespace {

constexpr int Opened = 33;
constexpr int NotOpened = 0;

int openTarget(const QString &target)
{
    // Under a desktop session Qt finds the handler itself; where it has no URL
    // service (a bare X server, the offscreen platform) xdg-open does the job.
    if (QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode)))
        return Opened;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {target}) ? Opened : NotOpened;
}

} // namespace

// Never waits and never involves a shell: a program gets `parameters` as its
// one argument.
int SystemDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                        int showCommand)
{
    Q_UNUSED(showCommand) // window placement is the handler's business here

    if (parameters.isNull())
        return openTarget(file);

    // There is no Notepad here: the file goes to the desktop's default
    // application for it instead.
    if (file.compare(NotepadProgram, Qt::CaseInsensitive) == 0)
        return QProcess::startDetached(QStringLiteral("xdg-open"), {parameters}) ? Opened
                                                                                 : NotOpened;

    return QProcess::startDetached(file, {parameters}) ? Opened : NotOpened;
}

} // namespace Nimbrel
