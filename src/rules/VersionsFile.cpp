#include "rules/VersionsFile.h"

#include "rules/NumericValue.h"
#include "rules/TextElision.h"

namespace Nimbrel
{

namespace
{

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

std::optional<QString> DelimitedFieldReader::next()
{
    if (m_pos >= m_text.size())
        return std::nullopt;

    while (m_pos < m_text.size() && m_text.at(m_pos) == u' ')
        ++m_pos;

    if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
        const qsizetype start = m_pos + 1;
        qsizetype end = m_text.indexOf(u'"', start);
        if (end >= 0) {
            m_pos = end + 1;
        } else {
            // A quote that never closes holds the rest of its line, not the
            // rest of the file: the line ends are no part of a version.
            end = start;
            while (end < m_text.size() && !isLineEnd(m_text.at(end)))
                ++end;
            m_pos = end;
        }
        // Anything between the closing quote and the delimiter is not part of
        // the field; a stray character there should not start a field of its own.
        skipPastDelimiter();
        return m_text.sliced(start, end - start).toString();
    }

    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
        ++m_pos;
    qsizetype end = m_pos;
    // Trailing blanks would otherwise end up inside the "( ... )" of the message.
    while (end > start && m_text.at(end - 1) == u' ')
        --end;
    skipPastDelimiter();
    return m_text.sliced(start, end - start).toString();
}

void DelimitedFieldReader::skipPastDelimiter()
{
    while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
        ++m_pos;
    if (m_pos >= m_text.size())
        return;
    if (m_text.at(m_pos) == u'\r' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'\n')
        ++m_pos;
    ++m_pos;
}

std::optional<QString> findProgramEntry(const QString &fileText, const QString &title)
{
    const QString wanted = title.toLower();
    DelimitedFieldReader reader(fileText);
    while (const std::optional<QString> field = reader.next()) {
        if (field->toLower().contains(wanted))
            return field;
    }
    return std::nullopt;
}

QString publishedVersionText(const QString &entry)
{
    const qsizetype colon = entry.indexOf(u':');
    return colon < 0 ? entry : entry.mid(colon + 1);
}

bool isNewerVersion(QStringView published, QStringView own)
{
    return numericValue(published) > numericValue(own);
}

QString shownVersionText(const QString &version)
{
    return elidedInTheMiddle(version, MaxShownVersionLength, MaxShownVersionLength / 2);
}

} // namespace Nimbrel
