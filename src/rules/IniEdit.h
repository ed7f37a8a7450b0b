#pragma once

#include <QByteArray>
#include <QString>

// Changes one value of an INI file the user may also edit by hand, leaving
// every other byte of it as it was: lines the launcher cannot parse, values
// in another encoding, comments and a byte order mark all stay.
namespace Nimbrel::IniEdit
{

// `value` as the text after "key=" that Qt's INI reader reads back as
// exactly `value`: quoted when it holds a separator (`;`, `,`) or blanks at
// either end, with backslash escapes for quotes, backslashes and control
// characters, in UTF-8.
QByteArray valueText(const QString &value);

// `file` with `key` in `[section]` set to `value`. Every line of that key in
// the section is rewritten, keeping its line end; without one, a line is added
// after the section's last line, and without the section, the section is
// added at the end. Section and key are plain ASCII names.
QByteArray withValue(const QByteArray &file, const QString &section, const QString &key,
                     const QString &value);

} // namespace Nimbrel::IniEdit
