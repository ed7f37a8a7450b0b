#include "rules/IniEdit.h"

#include <QList>

#include <optional>

namespace Nimbrel::IniEdit
{

namespace
{

struct Line {
    QByteArray text; // without its line end
    QByteArray end;  // "\r\n", "\n", "\r" or nothing (the last line)
};

QList<Line> splitLines(const QByteArray &file)
{
    QList<Line> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file.at(i);
        if (c != '\r' && c != '\n')
            continue;
        const qsizetype endLength =
            c == '\r' && i + 1 < file.size() && file.at(i + 1) == '\n' ? 2 : 1;
        lines.append({file.mid(start, i - start), file.mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < file.size())
        lines.append({file.mid(start), QByteArray()});
    return lines;
}

const QByteArray ByteOrderMark("\xef\xbb\xbf");

// The name of the section a line opens, or nothing when it opens none.
std::optional<QByteArray> sectionOf(QByteArray text)
{
    if (text.startsWith(ByteOrderMark))
        text = text.mid(ByteOrderMark.size());
    text = text.trimmed();
    if (!text.startsWith('[') || !text.contains(']'))
        return std::nullopt;
    return text.mid(1, text.indexOf(']') - 1).trimmed();
}

bool isKeyLine(const QByteArray &text, const QByteArray &key)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.startsWith(';') || trimmed.startsWith('#'))
        return false;
    const qsizetype equals = trimmed.indexOf('=');
    return equals > 0 && trimmed.left(equals).trimmed() == key;
}

} // namespace

QByteArray valueText(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    bool quoted = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    QByteArray escaped;
    // An "@" first would be read as a type name.
    if (utf8.startsWith('@'))
        escaped += '@';
    // A character code's hex digits run on into a hex digit after it, which
    // therefore is given as a code too.
    bool afterCode = false;
    // Qt's reader decodes each run of plain bytes on its own and drops a byte
    // order mark that starts one, so U+FEFF is always given as a code.
    const QByteArray byteOrderMark("\xEF\xBB\xBF");
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        if (QByteArrayView(utf8).sliced(i).startsWith(byteOrderMark)) {
            escaped += "\\xfeff";
            afterCode = true;
            i += byteOrderMark.size() - 1;
            continue;
        }
        const bool hexDigit =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        const bool code = uchar(c) < 0x20 || c == 0x7f || (afterCode && hexDigit);
        afterCode = false;
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (code) {
            escaped += "\\x" + QByteArray::number(uchar(c), 16);
            afterCode = true;
        } else {
            quoted = quoted || c == ';' || c == ',';
            escaped += c;
        }
    }
    return quoted ? '"' + escaped + '"' : escaped;
}

QByteArray withValue(const QByteArray &file, const QString &section, const QString &key,
                     const QString &value)
{
    const QByteArray sectionName = section.toLatin1();
    const QByteArray keyName = key.toLatin1();
    const QByteArray newLine = keyName + '=' + valueText(value);
    QList<Line> lines = splitLines(file);
    const QByteArray lineEnd =
        lines.isEmpty() || lines.front().end.isEmpty() ? QByteArray("\n") : lines.front().end;

    bool inSection = false;
    bool found = false;
    qsizetype sectionEnd = -1; // the index after the section's last line with text
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<QByteArray> name = sectionOf(lines[i].text)) {
            inSection = *name == sectionName;
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            sectionEnd = i + 1;
        if (isKeyLine(lines[i].text, keyName)) {
            lines[i].text = newLine;
            found = true;
        }
    }
    if (!found) {
        if (sectionEnd < 0) {
            if (!lines.isEmpty() && lines.last().end.isEmpty())
                lines.last().end = lineEnd;
            lines.append({'[' + sectionName + ']', lineEnd});
            sectionEnd = lines.size();
        }
        // The line before the new one must end, or the two would run together.
        if (sectionEnd > 0 && lines[sectionEnd - 1].end.isEmpty())
            lines[sectionEnd - 1].end = lineEnd;
        lines.insert(sectionEnd, {newLine, lineEnd});
    }
    QByteArray result;
    result.reserve(file.size() + newLine.size() + 16);
    for (const Line &line : std::as_const(lines))
        result += line.text + line.end;
    return result;
}

} // namespace Nimbrel::IniEdit
