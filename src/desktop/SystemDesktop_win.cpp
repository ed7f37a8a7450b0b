#include "desktop/SystemDesktop.h"

#include <qt_windows.h>
#include <shellapi.h>

namespace Nimbrel
{

int SystemDesktop::openInDefaultHandler(const QString &file, const QString &parameters,
                                        int showCommand)
{
    const std::wstring target = file.toStdWString();
    const std::wstring arguments = parameters.toStdWString();
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", target.c_str(),
                      parameters.isNull() ? nullptr : arguments.c_str(), nullptr, showCommand);
    return int(reinterpret_cast<INT_PTR>(result));
}

} // namespace Nimbrel
