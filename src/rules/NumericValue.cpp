#include "rules/NumericValue.h"

#include <QLocale>
#include <QString>

namespace Nimbrel
{

namespace
{

QString withoutBlanks(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            kept += c;
    }
    return kept;
}

int digitValue(QChar c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c.unicode() - u'A' + 10;
    return value < base ? value : -1;
}

// Accumulated in a double, so a value beyond 64 bits loses precision or
// becomes infinite instead of wrapping around.
double wholeNumber(QStringView digits, int base)
{
    double value = 0;
    for (const QChar c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return value;
}

bool isDigit(const QString &text, qsizetype i)
{
    return i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9';
}

qsizetype skipDigits(const QString &text, qsizetype i)
{
    while (isDigit(text, i))
        ++i;
    return i;
}

double decimalNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        negative = text.at(i++) == u'-';

    const qsizetype integerStart = i;
    i = skipDigits(text, i);
    const QStringView integer = QStringView(text).sliced(integerStart, i - integerStart);
    QStringView fraction;
    if (i < text.size() && text.at(i) == u'.') {
        const qsizetype fractionStart = ++i;
        i = skipDigits(text, i);
        fraction = QStringView(text).sliced(fractionStart, i - fractionStart);
    }
    if (integer.isEmpty() && fraction.isEmpty())
        return 0;

    // An "E" counts only when digits follow it, with or without a sign.
    QString exponent;
    if (i < text.size() && (text.at(i) == u'E' || text.at(i) == u'e')) {
        qsizetype j = i + 1;
        const bool exponentNegative = j < text.size() && text.at(j) == u'-';
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        QStringView digits = QStringView(text).sliced(j, skipDigits(text, j) - j);
        while (digits.size() > 1 && digits.front() == u'0')
            digits = digits.sliced(1);
        if (!digits.isEmpty()) {
            // An exponent of more than six digits takes any mantissa of
            // sensible length out of range already; capping it keeps the
            // conversion away from exponents that do not fit an int.
            exponent = digits.size() > 6 ? QStringLiteral("999999") : digits.toString();
            if (exponentNegative)
                exponent.prepend(u'-');
        }
    }

    // Rebuilt in one fixed shape, so the conversion never depends on how a
    // locale spells signs or omitted digits.
    QString normalized;
    normalized.reserve(integer.size() + fraction.size() + exponent.size() + 5);
    if (negative)
        normalized += u'-';
    normalized += integer.isEmpty() ? QStringView(u"0") : integer;
    normalized += u'.';
    normalized += fraction.isEmpty() ? QStringView(u"0") : fraction;
    if (!exponent.isEmpty())
        normalized += u'e' + exponent;

    // Overflow comes back as an infinity and underflow as 0: the nearest
    // doubles to the number, which is what the callers want.
    return QLocale::c().toDouble(normalized);
}

} // namespace

double numericValue(QStringView text)
{
    const QString kept = withoutBlanks(text);
    if (kept.size() >= 2 && kept.at(0) == u'&') {
        const QChar prefix = kept.at(1).toUpper();
        if (prefix == u'H')
            return wholeNumber(QStringView(kept).sliced(2), 16);
        if (prefix == u'O')
            return wholeNumber(QStringView(kept).sliced(2), 8);
    }
    return decimalNumber(kept);
}

} // namespace Nimbrel
