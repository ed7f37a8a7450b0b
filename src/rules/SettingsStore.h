#pragma once

#include "rules/Failure.h"
#include "rules/SettingsTable.h"

#include <QString>

// The per-user settings store: application "Nimbrel", section "Settings".
// The registry on Windows, an INI file under the XDG config home elsewhere.
namespace Nimbrel::SettingsStore
{

inline const QString SettingsAppName = QStringLiteral("Nimbrel");

// The stored text of the key, or `defaultValue` when the key is absent. A value
// that the store would hand back in another shape (an unquoted comma in a
// hand-edited file) is still read as the text that was written. A settings
// file that is not a regular file or is larger than 16 KiB is not read at all
// (Qt's parser can be made to overflow the stack): every key reads as its
// default, and writes are refused and reported, so the file stays as it is.
QString readSetting(const QString &key, const QString &defaultValue = QString());
QString readSetting(const Settings::TextKey &key);

// A number setting: its decimal text as a 16-bit integer, or `defaultValue`
// when the key is absent or its text is not a whole number in range.
qint16 readNumberSetting(const QString &key, qint16 defaultValue);
qint16 readNumberSetting(const Settings::NumberKey &key);

// Where the wiki URL is kept, as the Info window shows and copies it: the
// registry key and value on Windows; elsewhere the settings file's full path,
// the key and its section.
QString wikiPathLocation();

// Stores the text under the key. What went wrong, naming the store's location
// and the reason, when the text did not reach the store.
MaybeFailure writeSetting(const QString &key, const QString &text);
MaybeFailure writeSetting(const Settings::TextKey &key, const QString &text);
// A number is stored as its decimal text.
MaybeFailure writeSetting(const Settings::NumberKey &key, qint16 value);

} // namespace Nimbrel::SettingsStore
