#include "search/ShellOpen.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {

constexpr int Success = 33;
constexpr int Failure = 0;

int openTarget(const QString &target)
{
    // Under a desktop session Qt finds the handler itself; where it has no URL
    // service (a bare X server, the offscreen platform) xdg-open does the job.
    if (QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode)))
        return Success;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {target}) ? Success : Failure;
}

} // namespace

int shellOpen(const QString &file, const QString &parameters, int showCommand)
{
    Q_UNUSED(showCommand) // window placement is the handler's business here

    if (parameters.isNull())
        return openTarget(file);

    // There is no Notepad here: the file goes to the desktop's default
    // application for it instead.
    if (file.compare(NotepadProgram, Qt::CaseInsensitive) == 0)
        return QProcess::startDetached(QStringLiteral("xdg-open"), {parameters}) ? Success
                                                                                 : Failure;

    return QProcess::startDetached(file, {parameters}) ? Success : Failure;
}
