#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The launcher's main window. Its handlers are spread over the subsystems they
// belong to: start-up and shut-down here, the search box, the launch and the
// history list in search/, the list selection in history/, the Info window's
// button in infowindow/.
class MainForm : public QWidget
{
    Q_OBJECT
public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    // Controls, named as the design names them.
    QLineEdit *Text_SearchData;
    QListWidget *List_History;
    QLabel *Label_SearchData;
    QPushButton *Command_OpenBrowser;
    QPushButton *Command_Exit;
    QPushButton *Command_Help;
    QPushButton *Command_OpenWikiMain;
    std::array<QRadioButton *, 3> Option_HistoryList; // index i stands for list i + 1

    // True (-1) from the end of Form_Load on; while false the option buttons'
    // click handler does nothing.
    qint16 FormLoaded = 0;

    // Start-up and shut-down.
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void Command_Exit_Click();

    // Search launch, search box and history list.
    void Command_OpenBrowser_Click();
    void Command_OpenWikiMain_Click();
    void Text_SearchData_Change();
    void Text_SearchData_DblClick();
    void Text_SearchData_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    void Text_SearchData_KeyPress(qint16 &keyAscii);
    void List_History_Click();
    void List_History_DblClick();

    // History list selection.
    void Option_HistoryList_Click(qint16 index);

    // The Info & Settings window.
    void Command_Help_Click();

    // Requests from outside the window: another start of the program, the
    // command line, the end of the session.
    // Shows the window the user can work in (an open modal window, otherwise
    // this one with the focus in the search box) in front, active, restored
    // if it was minimised.
    void bringToFront();
    // Searches `term` as if the user had emptied the search box, typed the
    // term into it and pressed Enter. False, with nothing searched, when the
    // box's rules leave nothing of the term.
    bool searchFromOutside(const QString &term);
    // Writes back what closing would write, and keeps running: for a logout
    // that may still be called off.
    void saveChanges();
    // Runs the unload handler, once, without closing the window: for ends
    // that do not go through the window system.
    void unload();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDesign();
    void connectSearchHandlers();
    void connectListSelection();
    void connectInfoButton();
    void writeBackChanges();

    bool m_unloaded = false;
};
