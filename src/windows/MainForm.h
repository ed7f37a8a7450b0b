#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace Nimbrel
{

class HistoryListBox;
class LauncherSession;
class SearchBox;
class SearchRecall;

// The launcher's main window: the search box, the history list and its three
// lists, the launch buttons and the way into the Info & Settings window.
// Controls carry their design names as object names.
class MainForm : public QWidget
{
    Q_OBJECT
public:
    // The window reads and changes `session`, which must outlive it.
    explicit MainForm(LauncherSession &session, QWidget *parent = nullptr);
    ~MainForm() override;

    // True once the load handler has run to its end.
    bool formLoaded() const { return FormLoaded; }

    // Requests from outside the window: another start of the program, the
    // command line, the end of the session.

    // Shows the window the user can work in (an open modal window, otherwise
    // this one with the focus in the search box) in front, active, restored
    // if it was minimised.
    void bringToFront();
    // Searches `term` as if the user had emptied the search box, typed the
    // term into it and pressed Enter. False, with nothing searched and the box
    // as it was, when the box's rules leave nothing of the term. What the box
    // held comes back with Down.
    bool searchFromOutside(const QString &term);
    // Writes back what closing would write, and keeps running: for a logout
    // that may still be called off.
    void saveChanges();
    // Runs the unload handler, once, without closing the window: for ends
    // that do not go through the window system.
    void unload();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Start-up and shut-down.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Command_Exit_Click();

    // The search launch and the search box.
    void Command_OpenBrowser_Click();
    void Command_OpenWikiMain_Click();
    void Text_SearchData_Change();
    void Text_SearchData_DblClick();
    void Text_SearchData_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);

    // The history list and the choice among the three lists.
    void List_History_Click();
    void List_History_DblClick();
    void List_History_ItemRemoved();
    void List_History_RemovalUndone();
    void Option_HistoryList_Click(qint16 Index);

    // The Info & Settings window.
    void Command_Help_Click();

private:
    enum class Picked { Nothing, DashItem, Term };

    void buildDesign();
    void connectHandlers();
    // Copies the selected history item into the search box, unfiltered.
    Picked pickSelectedItem();
    // Closes once the handler just started has not failed.
    void closeAfterHandOff();
    // Writes the changed options and the changed list, as the unload does.
    void writeBackChanges();

    LauncherSession &m_session;
    SearchBox *Text_SearchData;
    HistoryListBox *List_History;
    SearchRecall *m_recall;
    QLabel *Label_SearchData;
    QPushButton *Command_OpenBrowser;
    QPushButton *Command_Exit;
    QPushButton *Command_Help;
    QPushButton *Command_OpenWikiMain;
    std::array<QRadioButton *, 3> Option_HistoryList; // index i stands for list i + 1

    // While false, the option buttons' click handler does nothing.
    bool FormLoaded = false;
    bool m_unloaded = false;
    // HistoryChanged as it was before the last removal from the list.
    bool m_changedBeforeRemoval = false;
    bool m_activatedOnce = false;
    bool m_closingAfterHandOff = false;
    // Counts the runs of the option buttons' click handler that got past
    // FormLoaded, so that a key can tell whether it chose a list.
    int m_listChoices = 0;
};

} // namespace Nimbrel
