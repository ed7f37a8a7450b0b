#include "search/OpenInDefaultHandler.h"

#include "core/Desktop.h"

int OpenInDefaultHandler(const QString &file, const QString &parameters, int showCommand)
{
    return desktop().openInDefaultHandler(file, parameters, showCommand);
}
