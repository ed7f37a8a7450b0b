#include "rules/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <optional>

namespace Nimbrel::SettingsStore
{

namespace
{

const QString Organization = QStringLiteral("VB and VBA Program Settings");
const QString Section = QStringLiteral("Settings");

// Qt's INI parser reads a value "@Variant(...)" under any key by recursion,
// one level per nesting of lists, and a file of a few MB nesting 200,000 deep
// overflows the stack at every start. A level takes at least 8 bytes of the
// file and (Qt 6.4.2) about 380 bytes of stack, so a file within this bound
// nests at most 2,048 deep and needs under 1 MB of stack, where 8 MB overflow
// at about 22,000. The launcher's own file holds a few hundred bytes.
constexpr qint64 MaxIniFileBytes = 16 * 1024;

// Where QSettings keeps the INI file on an XDG platform, worked out without
// opening it: opening is what parses it.
QString iniFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           Organization + u'/' + SettingsAppName + QStringLiteral(".conf");
}

// Why the store must not be opened, or nothing when it may be. A settings
// file that is not a regular file (a pipe would block the start) or is larger
// than the bound is treated as unreadable: nothing is read from it, and it is
// never written, so that it stays as the user left it.
std::optional<QString> unusableReason()
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return std::nullopt; // the registry or a property list, never an INI file
#else
    const QFileInfo file(iniFilePath());
    if (!file.exists())
        return std::nullopt;
    if (!file.isFile())
        return QStringLiteral("The settings file is not a regular file, so it is not read; it is "
                              "left as it is, and the launcher uses its defaults.");
    if (file.size() > MaxIniFileBytes)
        return QStringLiteral("The settings file is larger than any the launcher writes (over "
                              "%1 KiB), so it is not read; it is left as it is, and the "
                              "launcher uses its defaults.")
            .arg(MaxIniFileBytes / 1024);
    return std::nullopt;
#endif
}

// One store only: no fallback to system-wide files or other registry branches.
class Store
{
public:
    Store()
        : m_settings(QSettings::NativeFormat, QSettings::UserScope, Organization, SettingsAppName)
    {
        m_settings.setFallbacksEnabled(false);
        m_settings.beginGroup(Section);
    }
    QSettings *operator->() { return &m_settings; }
    QSettings &operator*() { return m_settings; }

private:
    QSettings m_settings;
};

bool isIniFile(const QString &path)
{
    return !path.isEmpty() && !path.startsWith(u'\\');
}

// The value text exactly as written in the INI file, for values that QSettings
// parses into a list. Quotes around the whole value are removed.
QString rawIniValue(const QString &path, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line == u'[' + Section + u']';
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0 || line.left(equals).trimmed() != key)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

// QSettings::sync() can report success on a full disk and leave a truncated
// file behind. Asking a second QSettings proves nothing: Qt answers it from
// its cache of the file, not from the disk. So the bytes on disk are parsed in
// a private copy, and every key must come back with the value the store holds.
// A complete file also ends with a line feed, since a value cut just before
// its closing quote still reads as the whole text.
bool iniFileHolds(const QString &path, QSettings &store)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    if (!content.endsWith('\n'))
        return false;

    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/nimbrel-settings-XXXXXX.conf"));
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return true; // nowhere to look closer; the file at least ends whole
    QSettings onDisk(copy.fileName(), QSettings::IniFormat);
    if (onDisk.status() != QSettings::NoError)
        return false;

    const QString group = store.group();
    store.endGroup();
    const QStringList keys = store.allKeys();
    bool same = onDisk.allKeys().size() == keys.size();
    for (qsizetype i = 0; same && i < keys.size(); ++i)
        same = onDisk.value(keys[i]) == store.value(keys[i]);
    store.beginGroup(group);
    return same;
}

QString statusReason(QSettings::Status status)
{
    switch (status) {
    case QSettings::AccessError:
        return QStringLiteral("The settings could not be written (no permission, or the folder "
                              "cannot be created).");
    case QSettings::FormatError:
        return QStringLiteral("The settings file is not in a form that can be read.");
    case QSettings::NoError:
        break;
    }
    return QStringLiteral("The settings file was not written completely (the disk may be full).");
}

} // namespace

QString ReadSetting(const QString &key, const QString &defaultValue)
{
    if (unusableReason())
        return defaultValue;
    Store store;
    const QVariant value = store->value(key);
    if (!value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QStringList) {
        const QString path = store->fileName();
        if (isIniFile(path))
            return rawIniValue(path, key);
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

qint16 ReadNumberSetting(const QString &key, qint16 defaultValue)
{
    const QString text = ReadSetting(key, QString::number(defaultValue));
    bool ok = false;
    const short number = text.trimmed().toShort(&ok);
    return ok ? qint16(number) : defaultValue;
}

QString ReadSetting(const Settings::TextKey &key)
{
    return ReadSetting(key.name, key.defaultValue);
}

qint16 ReadNumberSetting(const Settings::NumberKey &key)
{
    const qint16 value = ReadNumberSetting(key.name, key.defaultValue);
    return value >= key.smallest && value <= key.largest ? value : key.defaultValue;
}

QString WikiPathLocation()
{
#ifdef Q_OS_WIN
    return QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Nimbrel\\Settings\\WikiPath");
#else
    Store store;
    return store->fileName() + QStringLiteral(", key ") + Settings::WikiPath.name +
           QStringLiteral(" in [") + Section + u']';
#endif
}

MaybeFailure WriteSetting(const QString &key, const QString &text)
{
    if (const std::optional<QString> reason = unusableReason())
        return Failure{QStringLiteral("The setting \"%1\" could not be saved.").arg(key),
                       iniFilePath(), *reason};
    Store store;
    store->setValue(key, text);
    store->sync();
    const QString path = store->fileName();

    bool written = store->status() == QSettings::NoError;
    if (written && isIniFile(path))
        written = iniFileHolds(path, *store);
    if (written)
        return std::nullopt;
    return Failure{QStringLiteral("The setting \"%1\" could not be saved.").arg(key), path,
                   statusReason(store->status())};
}

} // namespace Nimbrel::SettingsStore
