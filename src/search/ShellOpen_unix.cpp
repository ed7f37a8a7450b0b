#include "search/ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

constexpr int Success = 33;
constexpr int Failure = 0;

// A program reads an argument that begins with a dash as an option of its
// own: xdg-open given "--manual" shows its manual page instead of opening
// anything. Such an argument is never handed on.
bool looksLikeOption(const QString &argument)
{
    return argument.startsWith(u'-');
}

int openTarget(const QString &target)
{
    // Both the text itself and the URL Qt makes of it ("%2D" becomes "-")
    // reach a program as its first argument.
    const QUrl url(target, QUrl::TolerantMode);
    if (looksLikeOption(target) || looksLikeOption(url.toString(QUrl::FullyEncoded)))
        return Failure;
    // Under a desktop session Qt finds the handler itself; where it has no URL
    // service (a bare X server, the offscreen platform) xdg-open does the job.
    if (QDesktopServices::openUrl(url))
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
    // application for it instead. A relative path (a data folder under an
    // "AppData" of "--manual") is made absolute, so it starts with "/".
    if (file.compare(NotepadProgram, Qt::CaseInsensitive) == 0) {
        const QString path = QDir::isRelativePath(parameters) && !parameters.isEmpty()
                                 ? QFileInfo(parameters).absoluteFilePath()
                                 : parameters;
        return QProcess::startDetached(QStringLiteral("xdg-open"), {path}) ? Success : Failure;
    }

    if (looksLikeOption(parameters))
        return Failure;
    return QProcess::startDetached(file, {parameters}) ? Success : Failure;
}
