#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace Nimbrel
{

class LauncherSession;
class LinkLabel;

// The modal "General Info & Settings" window: the program's title and
// version, the three settings, history maintenance, the update check and the
// e-mail link. It acts on the main window's history list box, which it is
// given, and on the session's settings. Controls carry their design names as object names.
class InfoForm : public QDialog
{
    Q_OBJECT
public:
    explicit InfoForm(LauncherSession &session, QListWidget &historyList,
                      QWidget *parent = nullptr);
    ~InfoForm() override;

    // Opens a new message to `EmailAddress` in the default mail program; true
    // when the mail program was started.
    bool OpenEmail(const QString &EmailAddress, const QString &Subject, const QString &Body);

    // True once the load handler has run to its end.
    bool formLoaded() const { return FormLoaded; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Settings editing.
    void Form_Load();
    void Check_CloseProgram_Click();
    void Check_MoveItemToTop_Click();
    void Text_HistoryListMaxItems_Change();
    void Text_HistoryListMaxItems_DblClick();
    void Command_Apply_Click();
    void Command_Exit_Click();

    // History maintenance.
    void Command_EditHistory_Click();
    void Command_ClearHistoryList_Click();
    void Command_CopyKey_Click();

    // Update check and contact.
    void CheckUpdate_Click();
    void lblEmail_Click();

private:
    void buildDesign();
    void layOut();
    void showLocation();
    void nameForAccessibility();
    void connectHandlers();

    QLabel *Label_Info;
    QPushButton *Command_Exit;
    QPushButton *Command_CopyKey;
    LinkLabel *lblEmail;
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
    QFrame *Line4; // with a 2-pixel light line drawn over it

    // While false, the check boxes and the history-size box ignore their
    // change notifications.
    bool FormLoaded = false;

    LauncherSession &m_session;
    QListWidget &m_historyList;
    // Where the wiki URL is kept, whole, however the window shows it.
    QString m_location;
};

} // namespace Nimbrel
