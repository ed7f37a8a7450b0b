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

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDesign();
    void connectSearchHandlers();
    void connectListSelection();
    void connectInfoButton();

    bool m_unloaded = false;
};
