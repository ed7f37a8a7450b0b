#pragma once

#include "rules/Failure.h"
#include "rules/HistoryFile.h"
#include "rules/HistoryMerge.h"
#include "rules/SafeFile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace Nimbrel
{

// An on/off setting, and whether the user switched it during this run. Only a
// switched option is written back at exit, so a number other than 0 or 1 that
// a hand-edited store holds stays there as it is.
struct OptionSetting {
    bool on = false;
    bool switched = false;
    friend bool operator==(const OptionSetting &, const OptionSetting &) = default;
};

// What both windows share from the start of the run to its end: the settings
// in force, the selected history list and its file, and what the user changed
// during the run. The application owns one and hands it to the windows; a test
// makes its own.
class LauncherSession : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString wikiPath READ wikiPath WRITE setWikiPath NOTIFY wikiPathChanged)
    Q_PROPERTY(qint16 historyListMaxItems READ historyListMaxItems WRITE setHistoryListMaxItems
                   NOTIFY historyListMaxItemsChanged)
    Q_PROPERTY(qint16 selectedList READ selectedList NOTIFY selectedListChanged)
    Q_PROPERTY(bool historyModified READ historyModified WRITE setHistoryModified NOTIFY
                   historyModifiedChanged)

public:
    explicit LauncherSession(QObject *parent = nullptr);
    ~LauncherSession() override;

    // Takes every setting from the store, as it is at the start of the run.
    void readSettings();
    // On the first run (no wiki address stored yet) puts the default address
    // in force and stores the defaults. The first write that failed: the
    // others would fail the same way, so they are not tried.
    MaybeFailure storeDefaultsOnFirstRun();
    // Writes back what the user changed during the run: the switched options
    // and the list chosen. Each write that failed.
    QList<Failure> writeBackSettings();

    QString appVersion() const { return m_appVersion; }
    void setAppVersion(const QString &version) { m_appVersion = version; }
    QString wikiPath() const { return m_wikiPath; }
    void setWikiPath(const QString &path);
    QString homepage() const { return m_homepage; }
    void setHomepage(const QString &homepage) { m_homepage = homepage; }

    // Below 1 means no bound.
    qint16 historyListMaxItems() const { return m_historyListMaxItems; }
    void setHistoryListMaxItems(qint16 maxItems);
    // Stores a new maximum and puts it in force.
    MaybeFailure applyHistoryListMaxItems(qint16 maxItems);

    OptionSetting closeWhenBrowserOpen() const { return m_closeWhenBrowserOpen; }
    void setCloseWhenBrowserOpen(OptionSetting option);
    OptionSetting moveItemToTop() const { return m_moveItemToTop; }
    void setMoveItemToTop(OptionSetting option);

    // The selected list, 1 to 3, and its file.
    qint16 selectedList() const { return m_selectedList; }
    QString historyFilePath() const { return m_historyFilePath; }
    void setHistoryFilePath(const QString &path) { m_historyFilePath = path; }
    // The user picked list `list` (1 to 3): it is written back at exit.
    void chooseList(qint16 list);
    // Whether the user picked a list during this run.
    bool listChosen() const { return m_listChosen; }
    void setListChosen(bool chosen) { m_listChosen = chosen; }

    // Whether the list box holds changes its file lacks.
    bool historyModified() const { return m_historyModified; }
    void setHistoryModified(bool modified);

    // Reads the selected list's file, handing `take` each line up to the
    // maximum, and ends any claim that the list holds unsaved changes. A
    // missing file hands over nothing and leaves `fileFound` false. A file
    // that cannot be read is never written over afterwards.
    MaybeFailure loadList(const std::function<void(HistoryLine &&)> &take,
                          bool *fileFound = nullptr);
    // Replaces the selected list's file with `lines`, atomically, and ends the
    // claim of unsaved changes. Should another program have changed the file
    // since it was read, this run's changes are made again on its new content:
    // `lines` becomes that, and `rebased` turns true, whether or not the write
    // then succeeds. On a failure the old file stays whole and the claim stays.
    MaybeFailure saveList(QList<HistoryLine> &lines, bool *rebased = nullptr);
    // Notes a change the user made to the list, to be made again should the
    // file turn out changed by another program at the next save.
    void recordChange(const HistoryChange &change);
    // The last removal was taken back.
    void forgetLastRemoval();

signals:
    void wikiPathChanged(const QString &path);
    void historyListMaxItemsChanged(qint16 maxItems);
    void optionsChanged();
    void selectedListChanged(qint16 list);
    void historyModifiedChanged(bool modified);

private:
    // What the run knows of the selected list's file since it last read or
    // wrote it.
    struct FileRecord {
        QString path;            // empty until the file has been read
        bool unreadable = false; // the read failed: the file is never written over
        SafeFile::Stamp stamp;   // the file then, to notice another program's change
        qint64 readBytes = 0;    // the start of the file the list came from,
        QByteArray digest;       // and its digest, to notice a change the stamp missed
        qint64 unreadFrom = -1;  // where the lines an unbounded list did not load start
        // This run's changes to the list since.
        QList<HistoryChange> changes;
    };

    bool changedSinceRead() const;

    QString m_appVersion;
    QString m_wikiPath;
    QString m_homepage;
    QString m_historyFilePath;
    qint16 m_historyListMaxItems = 0;
    qint16 m_selectedList = 1;
    OptionSetting m_closeWhenBrowserOpen;
    OptionSetting m_moveItemToTop;
    bool m_historyModified = false;
    bool m_listChosen = false;
    FileRecord m_file;
};

} // namespace Nimbrel
