#include "rules/FoldedItems.h"

#include <algorithm>
#include <cstring>

namespace Nimbrel
{

namespace
{

bool equalAt(const char16_t *text, QStringView folded)
{
    return std::memcmp(text, folded.utf16(), size_t(folded.size()) * sizeof(char16_t)) == 0;
}

} // namespace

FoldedItems::FoldedItems(QStringList items) : m_items(std::move(items))
{
    qsizetype length = 0;
    for (const QString &item : std::as_const(m_items))
        length += item.size();
    m_folded.reserve(length);
    m_ends.reserve(m_items.size());
    for (const QString &item : std::as_const(m_items)) {
        m_folded += fold(item);
        m_ends.append(m_folded.size());
    }
}

QString FoldedItems::fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // Folding keeps a character in its plane, so the pair stays a pair.
            const char32_t pair =
                QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            out[i] = QChar::highSurrogate(pair);
            out[++i] = QChar::lowSurrogate(pair);
        } else {
            out[i] = c.toCaseFolded().unicode();
        }
    }
    return folded;
}

FoldedItems::Hit FoldedItems::find(QStringView folded, qsizetype from) const
{
    // One scan over all the items from `from` on: far cheaper than starting
    // a search in each item, most of which hold nothing.
    const qsizetype length = folded.size();
    const char16_t *text = reinterpret_cast<const char16_t *>(m_folded.constData());
    const char16_t first = folded.front().unicode();
    const char16_t last = folded.back().unicode();
    qsizetype item = std::max(from, qsizetype(0));
    qsizetype at = item < size() ? start(item) : m_folded.size();
    for (const qsizetype lastAt = m_folded.size() - length; at <= lastAt; ++at) {
        if (text[at] != first || text[at + length - 1] != last || !equalAt(text + at, folded))
            continue;
        item = std::upper_bound(m_ends.cbegin() + item, m_ends.cend(), at) - m_ends.cbegin();
        if (at + length <= m_ends[item])
            return {item, at - start(item)};
        // Found across the end of one item into the next: that item holds
        // it nowhere further on, the next may start with it.
        at = m_ends[item] - 1;
    }
    return {};
}

FoldedItems::Hit FoldedItems::findStart(QStringView folded, qsizetype from) const
{
    const char16_t *text = reinterpret_cast<const char16_t *>(m_folded.constData());
    for (qsizetype item = std::max(from, qsizetype(0)); item < size(); ++item) {
        const qsizetype at = start(item);
        if (m_ends[item] - at >= folded.size() && equalAt(text + at, folded))
            return {item, 0};
    }
    return {};
}

} // namespace Nimbrel
