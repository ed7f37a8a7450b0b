#include "rules/LauncherSession.h"

#include "rules/AppInfo.h"
#include "rules/AppVersion.h"
#include "rules/DataFolder.h"
#include "rules/SettingsStore.h"

#include <QCoreApplication>

namespace Nimbrel
{

namespace
{

// 1 is on; 0, and any other number a hand-edited store may hold, is off.
OptionSetting storedOption(const Settings::NumberKey &key)
{
    return {SettingsStore::readNumberSetting(key) == 1, false};
}

// Puts `value` into `member`; true when that changed it.
template <class T> bool assign(T &member, const T &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

LauncherSession::LauncherSession(QObject *parent)
    : QObject(parent), m_appVersion(executableVersionText())
{
}

LauncherSession::~LauncherSession() = default;

void LauncherSession::readSettings()
{
    m_selectedList = SettingsStore::readNumberSetting(Settings::SelectedSavedList);
    m_historyFilePath = DataFolder::historyFilePath(m_selectedList);
    m_wikiPath = SettingsStore::readSetting(Settings::WikiPath);
    m_homepage = SettingsStore::readSetting(Settings::Homepage);
    m_closeWhenBrowserOpen = storedOption(Settings::CloseWhenBrowserOpen);
    m_moveItemToTop = storedOption(Settings::MoveItemToTop);
    m_historyListMaxItems = SettingsStore::readNumberSetting(Settings::HistoryListMaxItems);
}

MaybeFailure LauncherSession::storeDefaultsOnFirstRun()
{
    if (!m_wikiPath.isEmpty())
        return std::nullopt;
    setWikiPath(AppInfo::DefaultWikiPath);
    if (MaybeFailure failure = SettingsStore::writeSetting(Settings::WikiPath, m_wikiPath))
        return failure;
    if (MaybeFailure failure =
            SettingsStore::writeSetting(Settings::HistoryListMaxItems, m_historyListMaxItems))
        return failure;
    if (MaybeFailure failure = SettingsStore::writeSetting(Settings::Homepage, m_homepage))
        return failure;
    return SettingsStore::writeSetting(Settings::CloseWhenBrowserOpen, 0);
}

QList<Failure> LauncherSession::writeBackSettings()
{
    QList<MaybeFailure> writes;
    if (m_closeWhenBrowserOpen.switched)
        writes << SettingsStore::writeSetting(Settings::CloseWhenBrowserOpen,
                                              m_closeWhenBrowserOpen.on ? 1 : 0);
    if (m_moveItemToTop.switched)
        writes << SettingsStore::writeSetting(Settings::MoveItemToTop, m_moveItemToTop.on ? 1 : 0);
    if (m_listChosen)
        writes << SettingsStore::writeSetting(Settings::SelectedSavedList, m_selectedList);
    QList<Failure> failures;
    for (const MaybeFailure &write : std::as_const(writes)) {
        if (write)
            failures << *write;
    }
    return failures;
}

void LauncherSession::setWikiPath(const QString &path)
{
    if (assign(m_wikiPath, path))
        emit wikiPathChanged(path);
}

void LauncherSession::setHistoryListMaxItems(qint16 maxItems)
{
    if (assign(m_historyListMaxItems, maxItems))
        emit historyListMaxItemsChanged(maxItems);
}

MaybeFailure LauncherSession::applyHistoryListMaxItems(qint16 maxItems)
{
    setHistoryListMaxItems(maxItems);
    return SettingsStore::writeSetting(Settings::HistoryListMaxItems, maxItems);
}

void LauncherSession::setCloseWhenBrowserOpen(OptionSetting option)
{
    if (assign(m_closeWhenBrowserOpen, option))
        emit optionsChanged();
}

void LauncherSession::setMoveItemToTop(OptionSetting option)
{
    if (assign(m_moveItemToTop, option))
        emit optionsChanged();
}

void LauncherSession::chooseList(qint16 list)
{
    m_historyFilePath = DataFolder::historyFilePath(list);
    m_listChosen = true;
    if (list == m_selectedList)
        return;
    m_selectedList = list;
    emit selectedListChanged(list);
}

void LauncherSession::setHistoryModified(bool modified)
{
    if (assign(m_historyModified, modified))
        emit historyModifiedChanged(modified);
}

// Whether another program wrote the file since the launcher last read or
// wrote it. A file system's clock can be too coarse to show a quick change
// of the same size, so the bytes the list came from are compared as well.
bool LauncherSession::changedSinceRead() const
{
    const SafeFile::Stamp now = SafeFile::stamp(m_file.path);
    if (now != m_file.stamp)
        return true;
    return now.exists && historyFileDigest(m_file.path, m_file.readBytes) != m_file.digest;
}

MaybeFailure LauncherSession::loadList(const std::function<void(HistoryLine &&)> &take,
                                       bool *fileFound)
{
    const HistoryLoadResult result =
        loadHistoryFile(m_historyFilePath, m_historyListMaxItems, take);
    if (fileFound)
        *fileFound = result.status == HistoryLoad::Read;
    m_file = {m_historyFilePath,
              result.status == HistoryLoad::Failed,
              result.stamp,
              result.readBytes,
              result.digest,
              result.unreadFrom,
              {}};
    // A missing or unreadable file leaves the list's items, and like a read it
    // ends any claim that the list holds changes the file lacks.
    setHistoryModified(false);
    if (result.status == HistoryLoad::Failed)
        return result.failure;
    return std::nullopt;
}

MaybeFailure LauncherSession::saveList(QList<HistoryLine> &lines, bool *rebased)
{
    const QString path = m_historyFilePath;
    const bool known = m_file.path == path;
    // Whatever the file holds, the launcher does not know it: writing the
    // list over it could destroy a whole list.
    if (known && m_file.unreadable)
        return Failure{
            QCoreApplication::translate("Nimbrel::LauncherSession",
                                        "The history list could not be saved."),
            path,
            QCoreApplication::translate("Nimbrel::LauncherSession",
                                        "It could not be read when the list was loaded, so it is "
                                        "left as it is. Your searches stay in the window.")};

    qint64 keepFrom = known ? m_file.unreadFrom : -1;
    if (known && changedSinceRead()) {
        // Another program changed the file since it was read: its content is
        // what this run's changes go on top of.
        QList<HistoryLine> current;
        const HistoryLoadResult reread =
            loadHistoryFile(path, m_historyListMaxItems,
                            [&](HistoryLine &&line) { current.append(std::move(line)); });
        if (reread.status == HistoryLoad::Failed)
            return Failure{QCoreApplication::translate("Nimbrel::LauncherSession",
                                                       "The history list could not be saved."),
                           path, reread.failure.reason};
        lines = replayHistoryChanges(current, m_file.changes, m_historyListMaxItems);
        keepFrom = reread.unreadFrom;
        if (rebased)
            *rebased = true;
    }
    qint64 listBytes = 0;
    if (MaybeFailure failure = saveHistoryFile(path, lines, keepFrom, &listBytes))
        return failure;
    m_file = {path,
              false,
              SafeFile::stamp(path),
              listBytes,
              historyFileDigest(path, listBytes),
              keepFrom >= 0 ? listBytes : -1,
              {}};
    setHistoryModified(false);
    return std::nullopt;
}

void LauncherSession::recordChange(const HistoryChange &change)
{
    m_file.changes.append(change);
}

void LauncherSession::forgetLastRemoval()
{
    if (!m_file.changes.isEmpty() && m_file.changes.last().kind == HistoryChange::Kind::Removal)
        m_file.changes.removeLast();
}

} // namespace Nimbrel
