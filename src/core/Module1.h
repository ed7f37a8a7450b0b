#pragma once

#include <QString>
#include <QtGlobal>

// The state both windows share for the whole run.
namespace Module1 {

// Flags are 16-bit: true is -1, false is 0, and any non-zero value counts as true.
constexpr qint16 True = -1;
constexpr qint16 False = 0;

// The two options keep, besides on/off, whether the user changed them during this
// run, so that the exit handler writes back only what was changed.
namespace OptionFlag {
constexpr qint16 Off = 0;          // as read from the settings store
constexpr qint16 On = 1;           // as read from the settings store
constexpr qint16 SwitchedOff = 10; // changed in the Info window during this run
constexpr qint16 SwitchedOn = 11;  // changed in the Info window during this run
} // namespace OptionFlag

// 1 and 11 mean on; 0, 10 and anything else mean off.
bool isOn(qint16 optionFlag);

// The value an option flag is written back as at exit: the flag minus 10.
qint16 storedOptionValue(qint16 optionFlag);

struct ApplicationState {
    QString WikiPath;
    QString Homepage;
    QString HistoryFilePath; // the data folder during start-up, then the selected list's file
    QString AppVersion;
    qint16 HistoryListMaxItems = 0;
    qint16 SelectedSavedList = 0;    // 1 to 3
    qint16 CloseWhenBrowserOpen = 0; // option flag
    qint16 MoveItemToTop = 0;        // option flag
    qint16 HistoryChanged = False;   // the list box holds changes its file lacks
    qint16 SavedListChanged = False; // the user picked a list during this run
};

extern ApplicationState State;

} // namespace Module1
