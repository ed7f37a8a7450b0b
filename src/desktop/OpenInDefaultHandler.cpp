#include "desktop/OpenInDefaultHandler.h"

#include "desktop/Desktop.h"

namespace Nimbrel
{

MaybeFailure openInDefaultHandler(const QString &file, const QString &parameters, int showCommand)
{
    return desktop().openInDefaultHandler(file, parameters, showCommand);
}

} // namespace Nimbrel
