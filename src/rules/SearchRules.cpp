#include "rules/SearchRules.h"

#include <algorithm>

namespace Nimbrel::SearchRules
{

namespace
{
const QChar DashChar = u'-';

// The dash rule on all it looks at: whether the caret is at the start, the
// characters in front of and after it (a null character where there is none)
// and the number of dashes in the text.
bool dashFits(bool atStart, QChar before, QChar after, qsizetype dashes)
{
    if (atStart || before == DashChar || after == DashChar)
        return false;
    // Exactly two, not two or more: a text that came from a history item may
    // already hold more, and then one more dash is still accepted.
    return dashes != 2;
}

} // namespace

bool dashAllowed(const QString &text, int caret)
{
    if (caret <= 0 || caret > text.size())
        return false;
    return dashFits(false, text.at(caret - 1), caret < text.size() ? text.at(caret) : QChar(),
                    text.count(DashChar));
}

char16_t filterKeyAscii(char16_t keyAscii, const QString &text, int caret)
{
    if (keyAscii == KeyAscii::Backspace || keyAscii == KeyAscii::Space)
        return keyAscii;
    if ((keyAscii >= u'0' && keyAscii <= u'9') || (keyAscii >= u'A' && keyAscii <= u'Z'))
        return keyAscii;
    if (keyAscii >= u'a' && keyAscii <= u'z')
        return char16_t(keyAscii - (u'a' - u'A'));
    if (keyAscii == KeyAscii::Dash && dashAllowed(text, caret))
        return keyAscii;
    return KeyAscii::Discard;
}

QString typedInsertion(const QString &text, int selectionStart, int selectionLength,
                       const QString &typed)
{
    // The text as it would be after each character is never built: the rules
    // look only at the characters beside the caret and at the number of
    // dashes, which are kept as characters go in. Every character then costs
    // the same however long the text, so a paste of any size takes time in
    // proportion to its length.
    const qsizetype start = std::clamp<qsizetype>(selectionStart, 0, text.size());
    const qsizetype selected = std::clamp<qsizetype>(selectionLength, 0, text.size() - start);
    const auto at = [&text](qsizetype i) { return i < text.size() ? text.at(i) : QChar(); };

    bool atStart = start == 0;
    QChar before = atStart ? QChar() : text.at(start - 1);
    // Until a first character goes in and replaces it, the selection is part
    // of the text: the rule sees its first character after the caret and
    // counts its dashes.
    QChar after = at(start);
    qsizetype dashes = text.count(DashChar);
    bool selectionReplaced = selected == 0;
    // Once the selection has gone, this much more fits.
    const qsizetype room = std::max<qsizetype>(0, MaxTermLength - (text.size() - selected));

    QString inserted;
    for (const QChar ch : typed) {
        if (inserted.size() >= room)
            break;
        const char16_t typedCode = ch.unicode();
        const char16_t code =
            typedCode == KeyAscii::Dash
                ? (dashFits(atStart, before, after, dashes) ? KeyAscii::Dash : KeyAscii::Discard)
                : filterKeyAscii(typedCode, QString(), 0);
        // Backspace is an editing key, not text to insert.
        if (code == KeyAscii::Discard || code == KeyAscii::Backspace)
            continue;
        if (!selectionReplaced) {
            dashes -= QStringView(text).sliced(start, selected).count(DashChar);
            after = at(start + selected);
            selectionReplaced = true;
        }
        const QChar accepted{code};
        if (accepted == DashChar)
            ++dashes;
        atStart = false;
        before = accepted;
        inserted += accepted;
    }
    return inserted;
}

int leadingSpaces(const QString &text)
{
    int count = 0;
    while (count < text.size() && text.at(count) == u' ')
        ++count;
    return count;
}

bool isDashItem(const QString &item)
{
    return item.startsWith(DashChar);
}

int findHistoryItem(const QStringList &items, const QString &term)
{
    return int(items.indexOf(term));
}

HistoryEdit historyEditForLaunch(const QStringList &items, const QString &term, qint16 maxItems,
                                 bool moveToTop)
{
    HistoryEdit edit;
    const int found = findHistoryItem(items, term);
    if (found >= 0) {
        if (found > 0 && moveToTop)
            edit.moveToTopFrom = found;
        return edit;
    }
    if (maxItems >= 1 && items.size() == maxItems)
        edit.removeAt = maxItems - 1;
    edit.insertTerm = true;
    return edit;
}

} // namespace Nimbrel::SearchRules
