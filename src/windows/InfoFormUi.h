#pragma once

#include "windows/LinkLabel.h"
#include "windows/SeparatorLine.h"
#include "windows/TwipsLayout.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QStringList>

namespace Nimbrel
{

// The Info & Settings window's controls. As in a generated Ui class, each
// member is named as the control's object name, which screen readers and
// tests see.
struct InfoFormUi {
    static constexpr QSize ClientTwips{7560, 4905};

    QLabel *Label_Info = nullptr;
    QPushButton *Command_Exit = nullptr;
    QPushButton *Command_CopyKey = nullptr;
    LinkLabel *lblEmail = nullptr;
    QPushButton *CheckUpdate = nullptr;
    QLabel *Label_AppTitle = nullptr;
    QLabel *Label_AppVersion = nullptr;
    QCheckBox *Check_CloseProgram = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text_HistoryListMaxItems = nullptr;
    QPushButton *Command_Apply = nullptr;
    QPushButton *Command_EditHistory = nullptr;
    QPushButton *Command_ClearHistoryList = nullptr;
    QCheckBox *Check_MoveItemToTop = nullptr;
    SeparatorLine *Line5 = nullptr; // the separator: a 1-pixel line in the window-text colour,
    SeparatorLine *Line4 = nullptr; // with a 2-pixel light line drawn over it

    // Creates the controls as designed, with their captions and tab order.
    void setupUi(QWidget *window);
    // Where the layout puts each control whose caption sets the scale, and
    // each control that then takes the room its caption needs.
    QList<DesignedControl> designedControls() const;
    QList<DesignedControl> controlsWidenedToCaption() const;

    // The controls of a window set up by setupUi, found by their object names.
    static InfoFormUi find(const QWidget &window);
    // The object names of the controls find() did not find.
    QStringList missingControls() const;
};

} // namespace Nimbrel
