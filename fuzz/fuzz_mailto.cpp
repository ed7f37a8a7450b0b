// The mailto: URL is built from an address, a subject and a body. Today only
// constants go in, but the builder takes any text, so any text must give the
// one URL of the documented shape.
#include "FuzzInput.h"

#include "rules/Mailto.h"

#include <QList>

using namespace Nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // The three parts are separated by byte 1, which the parts do not need.
    const QList<QByteArray> parts = input.rest().split('\x01');
    const QString address = QString::fromUtf8(parts.value(0));
    const QString subject = QString::fromUtf8(parts.value(1));
    const QString body = QString::fromUtf8(parts.value(2));

    const QString url = mailtoUrl(address, subject, body);

    // The prefix is added exactly when the first seven characters, lowered,
    // are not already "mailto:"; nothing is escaped or dropped.
    const bool hasPrefix = address.left(7).toLower() == QStringLiteral("mailto:");
    QString expected = (hasPrefix ? QString() : QStringLiteral("mailto:")) + address;
    if (!subject.isEmpty())
        expected += QStringLiteral("?subject=") + subject;
    if (!body.isEmpty())
        expected +=
            (subject.isEmpty() ? QStringLiteral("?body=") : QStringLiteral("&body=")) + body;
    FUZZ_CHECK(url == expected, url + QStringLiteral(" | ") + expected);
    return 0;
}
