#include "rules/SettingsStore.h"

#include "rules/IniEdit.h"
#include "rules/SafeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

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

QString notSaved(const QString &key)
{
    return QCoreApplication::translate("Nimbrel::SettingsStore",
                                       "The setting \"%1\" could not be saved.")
        .arg(key);
}

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
        return QCoreApplication::translate(
            "Nimbrel::SettingsStore",
            "The settings file is not a regular file, so it is not read; it is "
            "left as it is, and the launcher uses its defaults.");
    if (file.size() > MaxIniFileBytes)
        return QCoreApplication::translate(
                   "Nimbrel::SettingsStore",
                   "The settings file is larger than any the launcher writes (over "
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

#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
// Writes `key` into the INI file at `path` as a person would with an editor:
// only the key's line changes, so lines the launcher cannot parse (a key
// holding ";" or a quote), values in another encoding, a byte order mark and
// comments all stay as they were, and nothing is reported as unreadable that
// was not even read. The file is replaced atomically; a link to it is
// followed, and a read-only file is left alone.
MaybeFailure writeIniValue(const QString &path, const QString &key, const QString &text)
{
    const QString what = notSaved(key);
    QByteArray old;
    if (QFileInfo::exists(path)) {
        QFile file;
        if (const MaybeFailure refused = SafeFile::openForReading(file, path))
            return refused->as(what);
        old = file.read(MaxIniFileBytes + 1);
        if (file.error() != QFileDevice::NoError)
            return Failure{what, path, file.errorString()};
    }
    const QByteArray changed = IniEdit::withValue(old, Section, key, text);
    // The next start would refuse a larger file, and with it every setting.
    if (changed.size() > MaxIniFileBytes)
        return Failure{
            what, path,
            QCoreApplication::translate("Nimbrel::SettingsStore",
                                        "The settings file would grow beyond %1 KiB, which the "
                                        "launcher does not read; it is left as it is.")
                .arg(MaxIniFileBytes / 1024)};
    if (!QDir().mkpath(QFileInfo(path).path()))
        return Failure{what, path,
                       QCoreApplication::translate("Nimbrel::SettingsStore",
                                                   "The settings folder could not be created.")};
    const QFileInfo before(path);
    const QDateTime oldTime = before.lastModified();
    if (const MaybeFailure refused = SafeFile::replaceTarget(path, changed, nullptr))
        return refused->as(what);
    // Qt reads a settings file again only when its size or time changed; a
    // file system's clock can be too coarse to show a quick change.
    QFile written(path);
    if (before.exists() && before.size() == changed.size() &&
        QFileInfo(path).lastModified() == oldTime && written.open(QIODevice::Append))
        written.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
    return std::nullopt;
}
#else
QString statusReason(QSettings::Status status)
{
    switch (status) {
    case QSettings::AccessError:
        return QCoreApplication::translate(
            "Nimbrel::SettingsStore",
            "The settings could not be written (no permission, or the folder "
            "cannot be created).");
    case QSettings::FormatError:
        return QCoreApplication::translate("Nimbrel::SettingsStore",
                                           "The settings file is not in a form that can be read.");
    case QSettings::NoError:
        break;
    }
    return QCoreApplication::translate(
        "Nimbrel::SettingsStore",
        "The settings file was not written completely (the disk may be full).");
}

#endif

} // namespace

QString readSetting(const QString &key, const QString &defaultValue)
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

qint16 readNumberSetting(const QString &key, qint16 defaultValue)
{
    const QString text = readSetting(key, QString::number(defaultValue));
    bool ok = false;
    const short number = text.trimmed().toShort(&ok);
    return ok ? qint16(number) : defaultValue;
}

QString readSetting(const Settings::TextKey &key)
{
    return readSetting(key.name, key.defaultValue);
}

qint16 readNumberSetting(const Settings::NumberKey &key)
{
    const qint16 value = readNumberSetting(key.name, key.defaultValue);
    return value >= key.smallest && value <= key.largest ? value : key.defaultValue;
}

QString wikiPathLocation()
{
#ifdef Q_OS_WIN
    return QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Nimbrel\\Settings\\WikiPath");
#else
    Store store;
    return QCoreApplication::translate("Nimbrel::SettingsStore", "%1, key %2 in [%3]")
        .arg(store->fileName(), Settings::WikiPath.name, Section);
#endif
}

MaybeFailure writeSetting(const QString &key, const QString &text)
{
    if (const std::optional<QString> reason = unusableReason())
        return Failure{notSaved(key), iniFilePath(), *reason};
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
    return writeIniValue(iniFilePath(), key, text);
#else
    Store store;
    store->setValue(key, text);
    store->sync();
    const QString path = store->fileName();
    if (store->status() == QSettings::NoError)
        return std::nullopt;
    return Failure{notSaved(key), path, statusReason(store->status())};
#endif
}

MaybeFailure writeSetting(const Settings::TextKey &key, const QString &text)
{
    return writeSetting(key.name, text);
}

MaybeFailure writeSetting(const Settings::NumberKey &key, qint16 value)
{
    return writeSetting(key.name, QString::number(value));
}

} // namespace Nimbrel::SettingsStore
