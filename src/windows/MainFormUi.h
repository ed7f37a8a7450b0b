#pragma once

#include "windows/HistoryListBox.h"
#include "windows/SearchBox.h"
#include "windows/TwipsLayout.h"
#include "windows/WrappingButton.h"

#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <array>

namespace Nimbrel
{

// The main window's controls. As in a generated Ui class, each member is
// named as the control's object name, which screen readers and tests see.
struct MainFormUi {
    static constexpr QSize ClientTwips{4140, 3465};

    SearchBox *Text_SearchData = nullptr;
    HistoryListBox *List_History = nullptr;
    QLabel *Label_SearchData = nullptr;
    QPushButton *Command_OpenBrowser = nullptr;
    QPushButton *Command_Exit = nullptr;
    QPushButton *Command_Help = nullptr;
    WrappingButton *Command_OpenWikiMain = nullptr;
    std::array<QRadioButton *, 3> Option_HistoryList{}; // index i stands for list i + 1

    // Creates the controls as designed, with their captions and tab order.
    void setupUi(QWidget *window);
    // Where the layout puts each control.
    QList<DesignedControl> designedControls() const;

    // The controls of a window set up by setupUi, found by their object names.
    static MainFormUi find(const QWidget &window);
    // The object names of the controls find() did not find.
    QStringList missingControls() const;
};

} // namespace Nimbrel
