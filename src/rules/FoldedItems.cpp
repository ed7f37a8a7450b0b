#include "rules/FoldedItems.h"

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace Nimbrel
{

namespace
{

bool equalAt(const char16_t *text, QStringView folded)
{
    return std::memcmp(text, folded.utf16(), size_t(folded.size()) * sizeof(char16_t)) == 0;
}

// Writes `text` folded to `out`, one character for each: as Qt compares
// characters when told to ignore case.
void foldInto(QStringView text, char16_t *out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            // Folding keeps a character in its plane, so the pair stays a pair.
            const char32_t pair =
                QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            out[i] = QChar::highSurrogate(pair);
            out[++i] = QChar::lowSurrogate(pair);
        } else {
            out[i] = char16_t(QChar::toCaseFolded(char32_t(c)));
        }
    }
}

} // namespace

FoldedItems::FoldedItems(QStringList items) : m_items(std::move(items))
{
    qsizetype length = 0;
    for (const QString &item : std::as_const(m_items))
        length += item.size();
    m_folded = QString(length, Qt::Uninitialized);
    m_ends.reserve(m_items.size());
    char16_t *out = reinterpret_cast<char16_t *>(m_folded.data());
    qsizetype end = 0;
    for (const QString &item : std::as_const(m_items)) {
        foldInto(item, out + end);
        end += item.size();
        m_ends.append(end);
    }
}

QString FoldedItems::fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    foldInto(text, reinterpret_cast<char16_t *>(folded.data()));
    return folded;
}

FoldedItems::Hit FoldedItems::find(QStringView folded, qsizetype from) const
{
    const qsizetype length = folded.size();
    qsizetype item = std::max(from, qsizetype(0));
    for (qsizetype at = item < size() ? start(item) : m_folded.size();;) {
        at = findText(at, folded);
        if (at < 0)
            return {};
        item = std::upper_bound(m_ends.cbegin() + item, m_ends.cend(), at) - m_ends.cbegin();
        if (at + length <= m_ends[item])
            return {item, at - start(item)};
        // Found across the end of one item into the next: that item holds
        // it nowhere further on, the next may start with it.
        at = m_ends[item];
    }
}

qsizetype FoldedItems::findText(qsizetype from, QStringView folded) const
{
    // One scan over all the items from `from` on, far cheaper than a search
    // started in each item: a place is compared in full only where the
    // first and the last character fit.
    const qsizetype length = folded.size();
    const qsizetype lastAt = m_folded.size() - length;
    const char16_t *text = reinterpret_cast<const char16_t *>(m_folded.constData());
    const char16_t first = folded.front().unicode();
    const char16_t last = folded.back().unicode();
    qsizetype at = from;
#ifdef __SSE2__
    // Eight places at a time.
    const __m128i firsts = _mm_set1_epi16(short(first));
    const __m128i lasts = _mm_set1_epi16(short(last));
    for (; at + 7 <= lastAt; at += 8) {
        const auto starts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
        const auto ends =
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + length - 1));
        // Two bits, one for each byte, for each place where both fit.
        auto fits = unsigned(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi16(starts, firsts), _mm_cmpeq_epi16(ends, lasts))));
        while (fits != 0) {
            const int bit = std::countr_zero(fits);
            if (equalAt(text + at + bit / 2, folded))
                return at + bit / 2;
            fits &= ~(3U << bit);
        }
    }
#endif
    for (; at <= lastAt; ++at) {
        if (text[at] == first && text[at + length - 1] == last && equalAt(text + at, folded))
            return at;
    }
    return -1;
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
