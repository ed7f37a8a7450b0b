// numericValue() reads whatever the user types into the history-size box and
// the version text of a downloaded file.
#include "FuzzInput.h"

#include "rules/NumericValue.h"

#include <cmath>

using namespace Nimbrel;

namespace
{

QString withBlankAfterEveryCharacter(const QString &text)
{
    static const QString blanks = QStringLiteral(" \t\n");
    QString spread;
    for (qsizetype i = 0; i < text.size(); ++i)
        spread += text.at(i) + blanks.at(i % blanks.size());
    return spread;
}

QString describe(const QString &text, double a, double b)
{
    return text + QStringLiteral(" | ") + QString::number(a, 'g', 17) + QStringLiteral(" vs ") +
           QString::number(b, 'g', 17);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = numericValue(text);
    FUZZ_CHECK(!std::isnan(value), text);

    // Blanks, tabs and line feeds count nowhere.
    const double spread = numericValue(withBlankAfterEveryCharacter(text));
    FUZZ_CHECK(spread == value, describe(text, value, spread));

    // "x" cannot continue any number, so nothing after it is read.
    const double cut = numericValue(QString(text + u'x' + text));
    FUZZ_CHECK(cut == value, describe(text, value, cut));

    // A sign in front of a number negates it exactly.
    QString kept = text;
    kept.remove(u' ').remove(u'\t').remove(u'\n');
    if (!kept.isEmpty() && kept.front() >= u'0' && kept.front() <= u'9') {
        const double negated = numericValue(QString(u'-' + text));
        FUZZ_CHECK(negated == -value, describe(text, -value, negated));
    }
    return 0;
}
