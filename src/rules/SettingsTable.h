#pragma once

#include "rules/AppInfo.h"

#include <QString>
#include <QtGlobal>

#include <limits>

// Every key of the settings store, with its default and the values it may hold.
namespace Nimbrel::Settings
{

// A text setting: its key and the text an absent key reads as.
struct TextKey {
    QString name;
    QString defaultValue;
};

// A number setting, stored as decimal text. A value that is not a whole number
// from `smallest` to `largest` reads as the default.
struct NumberKey {
    QString name;
    qint16 defaultValue;
    qint16 smallest = std::numeric_limits<qint16>::min();
    qint16 largest = std::numeric_limits<qint16>::max();
};

// Empty until first-run seeding stores the default address.
inline const TextKey WikiPath{QStringLiteral("WikiPath"), QString()};
inline const TextKey Homepage{QStringLiteral("Homepage"), AppInfo::DefaultHomepage};
inline const NumberKey CloseWhenBrowserOpen{QStringLiteral("CloseWhenBrowserOpen"), 0};
inline const NumberKey MoveItemToTop{QStringLiteral("MoveSearchedtItemToTop"), 0};
// Below 1 (only by hand) means no bound; the Info window offers 10 to 50.
inline const NumberKey HistoryListMaxItems{QStringLiteral("HistoryListMaxItems"), 10};
inline const NumberKey SelectedSavedList{QStringLiteral("SelectedSavedList"), 1, 1, 3};

} // namespace Nimbrel::Settings
