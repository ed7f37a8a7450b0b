#include "desktop/SystemDesktop.h"

#include "desktop/ShellAnswer.h"

#include <qt_windows.h>
#include <shellapi.h>

namespace Nimbrel
{

// The shell shows its own message when it cannot open something (it offers
// to choose a program, or names the missing file), so the failure is only
// handed back here.
MaybeFailure SystemDesktop::openInDefaultHandler(const QString &target, const QString &parameters,
                                                 int showCommand)
{
    const std::wstring file = target.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    const HINSTANCE answer =
        ShellExecuteW(nullptr, L"open", file.c_str(),
                      parameters.isNull() ? nullptr : arguments.c_str(), nullptr, showCommand);
    return shellAnswer(qintptr(reinterpret_cast<INT_PTR>(answer)), target);
}

MaybeFailure SystemDesktop::openInEditor(const QString &path, int showCommand)
{
    return openInDefaultHandler(QStringLiteral("Notepad"), path, showCommand);
}

} // namespace Nimbrel
