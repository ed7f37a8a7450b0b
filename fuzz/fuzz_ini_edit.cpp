// The settings file is edited by hand and may hold any bytes; the launcher
// changes one line of it and must leave the rest as it was, and a value of
// any text must read back through Qt's INI reader as that text.
#include "FuzzInput.h"

#include "rules/IniEdit.h"

#include <QSettings>
#include <QTemporaryFile>

using namespace Nimbrel;

namespace
{

// The lines of `bytes` that are not `key=` lines, as the edit must keep them.
QList<QByteArray> otherLines(const QByteArray &bytes, const QByteArray &key)
{
    QList<QByteArray> lines;
    QByteArray normalised = bytes;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray &line : normalised.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed == "[Settings]" ||
            (trimmed.contains('=') && trimmed.left(trimmed.indexOf('=')).trimmed() == key))
            continue;
        lines.append(line);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // The value is the part before byte 1, the file the part after it.
    const QByteArray rest = input.rest();
    const qsizetype split = rest.indexOf('\x01');
    const QString value = QString::fromUtf8(split < 0 ? rest : rest.left(split));
    const QByteArray file = split < 0 ? QByteArray() : rest.mid(split + 1);
    const QString key = QStringLiteral("WikiPath");

    const QByteArray edited = IniEdit::withValue(file, QStringLiteral("Settings"), key, value);
    // Once is enough: a second edit with the same value changes nothing.
    FUZZ_CHECK(IniEdit::withValue(edited, QStringLiteral("Settings"), key, value) == edited,
               QString::fromLatin1(edited.toHex()));
    // Every other line is still there, in its order, byte for byte.
    const QList<QByteArray> kept = otherLines(file, key.toLatin1());
    const QList<QByteArray> now = otherLines(edited, key.toLatin1());
    FUZZ_CHECK(now == kept, QString::fromLatin1(edited.toHex()));

    // Qt's reader gives the value back from a file the edit made from nothing
    // (the fuzzed file may hold what Qt's parser must not be fed).
    if (!value.contains(QChar(0))) {
        QTemporaryFile ini;
        if (ini.open()) {
            const QByteArray fresh =
                IniEdit::withValue(QByteArray(), QStringLiteral("Settings"), key, value);
            ini.write(fresh);
            ini.close();
            QSettings settings(ini.fileName(), QSettings::IniFormat);
            const QString read = settings.value(QStringLiteral("Settings/") + key).toString();
            FUZZ_CHECK(read == value, read + QStringLiteral(" | ") + value);
        }
    }
    return 0;
}
