#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The modal "General Info & Settings" window. It acts on the main window's
// history list box, which it is given. Settings editing and history
// maintenance live in infowindow/; the update check and the e-mail link in
// update/.
class InfoForm : public QDialog
{
    Q_OBJECT
public:
    explicit InfoForm(QListWidget &historyList, QWidget *parent = nullptr);
    ~InfoForm() override;

    // Controls, named as the design names them.
    QLabel *Label_Info;
    QPushButton *Command_Exit;
    QPushButton *Command_CopyKey;
    QLabel *lblEmail;
    QPushButton *CheckUpdate;
    QLabel *Label_AppTitle;
    QLabel *Label_AppVersion;
    QCheckBox *Check_CloseProgram;
    QLabel *Label1;
    QLineEdit *Text_HistoryListMaxItems;
    QPushButton *Command_Apply;
    QPushButton *Command_EditHistory;
    QPushButton *Command_ClearHistoryList;
    QCheckBox *Check_MoveItemToTop;
    QFrame *Line5; // the separator: a 1-pixel line in the window-text colour,
    QFrame *Line4; // with a 2-pixel white line drawn over it

    // True (-1) from the end of Form_Load on; while false the check boxes and
    // the history-size box ignore their change notifications.
    qint16 FormLoaded = 0;

    // Settings editing (infowindow/).
    void Form_Load();
    void Check_CloseProgram_Click();
    void Check_MoveItemToTop_Click();
    void Text_HistoryListMaxItems_Change();
    void Text_HistoryListMaxItems_DblClick();
    void Command_Apply_Click();
    void Command_Exit_Click();

    // History maintenance (infowindow/).
    void Command_EditHistory_Click();
    void Command_ClearHistoryList_Click();
    void Command_CopyKey_Click();

    // Update check and contact (update/).
    void CheckUpdate_Click();
    void lblEmail_Click();
    qint16 OpenEmail(const QString &EmailAddress, const QString &Subject, const QString &Body);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildDesign();
    void layOut();
    void nameForAccessibility();
    void connectHandlers();

    QListWidget &m_historyList;
};
