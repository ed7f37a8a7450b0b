// The versions data file comes from a web server: any bytes at all may arrive.
// Its fields are read, the program's entry is looked up and its version is
// compared with the program's own.
#include "FuzzInput.h"

#include "rules/AppInfo.h"
#include "rules/VersionsFile.h"

#include <QStringDecoder>

using namespace Nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QStringDecoder decode(QStringConverter::System);
    const QString text = decode(input.rest());
    const QString &title = AppInfo::ApplicationTitle;

    // Every field is a piece of the text, and reading ends.
    DelimitedFieldReader reader(text);
    qsizetype fields = 0;
    qsizetype length = 0;
    std::optional<QString> firstMatch;
    while (const std::optional<QString> field = reader.next()) {
        FUZZ_CHECK(++fields <= text.size(), text);
        FUZZ_CHECK(text.contains(*field), *field);
        length += field->size();
        if (!firstMatch && field->toLower().contains(title.toLower()))
            firstMatch = field;
    }
    FUZZ_CHECK(length <= text.size(), text);

    // The entry is the first field that names the program, in any letter case.
    const std::optional<QString> entry = findProgramEntry(text, title);
    FUZZ_CHECK(entry == firstMatch, text);
    if (entry) {
        const QString version = publishedVersionText(*entry);
        const qsizetype colon = entry->indexOf(u':');
        FUZZ_CHECK(colon < 0 ? version == *entry : entry->mid(colon + 1) == version, *entry);
        FUZZ_CHECK(!isNewerVersion(version, version), version);
        FUZZ_CHECK(!(isNewerVersion(version, QStringLiteral("1.25")) &&
                     isNewerVersion(QStringLiteral("1.25"), version)),
                   version);
    }

    // A first line that names the program decides, whatever follows it.
    const QString first = title + QStringLiteral(":9.5");
    const std::optional<QString> leading = findProgramEntry(first + u"\r\n" + text, title);
    FUZZ_CHECK(leading == first, leading.value_or(QStringLiteral("<none>")));
    return 0;
}
