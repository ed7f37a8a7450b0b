#pragma once

#include "windows/MainFormUi.h"

#include <QWidget>

namespace Nimbrel
{

class LauncherSession;
class SearchRecall;

// The launcher's main window: the search box, the history list and its three
// lists, the launch buttons and the way into the Info & Settings window.
class MainForm : public QWidget
{
    Q_OBJECT
public:
    // The window reads and changes `session`, which must outlive it.
    explicit MainForm(LauncherSession &session, QWidget *parent = nullptr);
    ~MainForm() override;

    // True once loading has run to its end.
    bool formLoaded() const { return m_loaded; }

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
    // Writes back what closing writes, once, without closing the window: for
    // ends that do not go through the window system.
    void unload();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // The search launch and the search box.
    void launchSearch();
    void openMainPage();
    void followSearchText();
    void launchOnEnter(int key);

    // The history list and the choice among the three lists.
    void copySelectedItem();
    void searchSelectedItem();
    void noteRemoval();
    void noteRemovalUndone();
    void chooseList(qint16 index);

    // The Info & Settings window.
    void openInfoWindow();

private:
    enum class Picked { Nothing, DashItem, Term };

    void setUpControls();
    void connectHandlers();
    void load();
    // Puts the focus into the search box when the list offers nothing to pick.
    void focusSearchBoxIfListEmpty();
    // Copies the selected history item into the search box, unfiltered.
    Picked pickSelectedItem();
    // Closes once the handler just started has not failed.
    void closeAfterHandOff();

    LauncherSession &m_session;
    MainFormUi m_ui;
    SearchRecall *m_recall = nullptr;

    // While false, choosing a list does nothing.
    bool m_loaded = false;
    bool m_unloaded = false;
    // HistoryChanged as it was before the last removal from the list.
    bool m_changedBeforeRemoval = false;
    bool m_activatedOnce = false;
    bool m_closingAfterHandOff = false;
    // Counts the list choices that got past m_loaded, so that a key can tell
    // whether it chose a list.
    int m_listChoices = 0;
};

} // namespace Nimbrel
