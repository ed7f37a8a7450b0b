#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace Nimbrel
{

// The versions data file lists programs and their current versions, one entry
// per line, for example "Nimbrel Launcher:1.3". It is read as delimited fields:
// blanks before a field are skipped; a field that begins with a double quote
// runs to the next double quote (commas and line ends inside belong to it; a
// quote that never closes holds the rest of its line); any other field runs to
// the next comma or line end, without its trailing blanks. CR, LF and CR LF all
// end a line.
class DelimitedFieldReader
{
public:
    explicit DelimitedFieldReader(QStringView text) : m_text(text) {}

    // The next field, or nothing once the text is used up.
    std::optional<QString> next();

private:
    void skipPastDelimiter();

    QStringView m_text;
    qsizetype m_pos = 0;
};

// The first field, in file order, that contains `title` in any letter case.
std::optional<QString> findProgramEntry(const QString &fileText, const QString &title);

// The version an entry publishes: the text after its first ":", or the whole
// entry when it has none. Kept as it stands, leading blanks included, because
// the message shows it unchanged.
QString publishedVersionText(const QString &entry);

// Versions compare by their leading numbers, so "1.3" is newer than "1.25" and
// "1.25.1" is the same as "1.25". Only a strictly greater number is newer.
bool isNewerVersion(QStringView published, QStringView own);

// Version texts up to this length are shown as they are.
inline constexpr qsizetype MaxShownVersionLength = 256;

// The version text as a message shows it: unchanged up to
// MaxShownVersionLength characters, and a longer one cut to that length by
// leaving out its middle, marked with "…". A published text of a megabyte
// would otherwise make a message box tens of thousands of pixels tall, with its
// buttons off the screen.
QString shownVersionText(const QString &version);

} // namespace Nimbrel
