#pragma once

#include "rules/HistoryMerge.h"
#include "rules/SafeFile.h"

#include <QList>
#include <QString>
#include <QtGlobal>

namespace Nimbrel::Module1
{

// The two options keep, besides on/off, whether the user changed them during
// this run, so that the exit handler writes back only what was changed. The
// numbers are the ones the settings store holds.
enum class OptionFlag : qint16 {
    Off = 0,          // as read from the settings store
    On = 1,           // as read from the settings store
    SwitchedOff = 10, // changed in the Info window during this run
    SwitchedOn = 11,  // changed in the Info window during this run
};

// A flag as read from the store: 1 is on; 0, and any other number a hand-edited
// store may hold, is off. Only a switched flag is ever written back, so such a
// number stays in the store as it is.
OptionFlag optionFlagFromStored(qint16 stored);

// On and SwitchedOn mean on.
bool isOn(OptionFlag flag);

// Whether the user changed the option during this run.
bool isSwitched(OptionFlag flag);

// The value a switched flag is written back as at exit: the flag minus 10.
qint16 storedOptionValue(OptionFlag flag);

// The flag for a check box the user just set or cleared.
OptionFlag switchedFlag(bool on);

// What the run knows of the selected list's file since it last read or wrote
// it (HistoryList keeps this).
struct HistoryFileRecord {
    QString path;            // empty until the file has been read
    bool unreadable = false; // the read failed: the file is never written over
    SafeFile::Stamp stamp;   // the file then, to notice another program's change
    qint64 readBytes = 0;    // the start of the file the list came from,
    QByteArray digest;       // and its digest, to notice a change the stamp missed
    qint64 unreadFrom = -1;  // where the lines an unbounded list did not load start
    // This run's changes to the list since, to be made again on the file's
    // new content should another program change it.
    QList<HistoryChange> changes;
};

// The state both windows share for the whole run. Who writes what:
// - MainForm's load handler sets every field from the store and the data
//   folder; its list selection writes SelectedSavedList, HistoryFilePath and
//   SavedListChanged;
// - the search launch sets HistoryChanged; every load and save of the list
//   (HistoryList) clears it;
// - InfoForm writes CloseWhenBrowserOpen and MoveItemToTop (as switched flags)
//   and HistoryListMaxItems;
// - MainForm's unload handler reads the flags and writes the changed values back.
struct ApplicationState {
    QString WikiPath;
    QString Homepage;
    QString HistoryFilePath; // the selected list's file
    QString AppVersion;
    qint16 HistoryListMaxItems = 0;
    qint16 SelectedSavedList = 0; // 1 to 3
    OptionFlag CloseWhenBrowserOpen = OptionFlag::Off;
    OptionFlag MoveItemToTop = OptionFlag::Off;
    bool HistoryChanged = false;   // the list box holds changes its file lacks
    bool SavedListChanged = false; // the user picked a list during this run
    HistoryFileRecord HistoryFile;
};

extern ApplicationState State;

} // namespace Nimbrel::Module1
