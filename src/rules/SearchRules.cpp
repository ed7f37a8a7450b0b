#include "rules/SearchRules.h"

namespace Nimbrel::SearchRules
{

namespace
{
const QChar DashChar = u'-';
}

bool dashAllowed(const QString &text, int caret)
{
    if (caret <= 0 || caret > text.size())
        return false;
    if (text.at(caret - 1) == DashChar)
        return false;
    if (caret < text.size() && text.at(caret) == DashChar)
        return false;
    // Exactly two, not two or more: a text that came from a history item may
    // already hold more, and then one more dash is still accepted.
    return text.count(DashChar) != 2;
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
    QString current = text;
    int caret = selectionStart;
    int selected = selectionLength;
    QString inserted;
    for (const QChar ch : typed) {
        const char16_t code = filterKeyAscii(ch.unicode(), current, caret);
        // Backspace is an editing key, not text to insert.
        if (code == KeyAscii::Discard || code == KeyAscii::Backspace)
            continue;
        const QChar accepted{code};
        current.replace(caret, selected, accepted);
        ++caret;
        selected = 0;
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
