#include "desktop/ShellAnswer.h"

#include <QCoreApplication>

namespace Nimbrel
{

namespace
{

// The answers ShellExecute documents; every one of them is 32 or less.
const char *documentedReason(qintptr answer)
{
    switch (answer) {
    case 0: // out of memory or resources
    case 8: // SE_ERR_OOM
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "The system is out of memory or resources.");
    case 2: // ERROR_FILE_NOT_FOUND, SE_ERR_FNF
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "The file was not found.");
    case 3: // ERROR_PATH_NOT_FOUND, SE_ERR_PNF
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "The path was not found.");
    case 5: // SE_ERR_ACCESSDENIED
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "Access was denied.");
    case 11: // ERROR_BAD_FORMAT
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "The program is not a valid Windows program.");
    case 26: // SE_ERR_SHARE
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "A sharing violation occurred.");
    case 27: // SE_ERR_ASSOCINCOMPLETE
    case 31: // SE_ERR_NOASSOC
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "No program is associated with it.");
    case 28: // SE_ERR_DDETIMEOUT
    case 29: // SE_ERR_DDEFAIL
    case 30: // SE_ERR_DDEBUSY
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "The program that opens it did not answer.");
    case 32: // SE_ERR_DLLNOTFOUND
        return QT_TRANSLATE_NOOP("Nimbrel::Desktop", "A library it needs was not found.");
    default:
        return nullptr;
    }
}

QString shellReason(qintptr answer)
{
    if (const char *reason = documentedReason(answer))
        return QCoreApplication::translate("Nimbrel::Desktop", reason);
    return QCoreApplication::translate("Nimbrel::Desktop", "The shell answered %1.").arg(answer);
}

} // namespace

MaybeFailure shellAnswer(qintptr answer, const QString &target)
{
    if (answer > 32)
        return std::nullopt;
    return Failure{QCoreApplication::translate("Nimbrel::Desktop", "This could not be opened:"),
                   target, shellReason(answer)};
}

} // namespace Nimbrel
