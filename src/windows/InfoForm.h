#pragma once

#include "windows/InfoFormUi.h"

#include <QDialog>

class QListWidget;

namespace Nimbrel
{

class LauncherSession;

// The modal "General Info & Settings" window: the program's title and
// version, the three settings, history maintenance, the update check and the
// e-mail link. It acts on the main window's history list box, which it is
// given, and on the session's settings.
class InfoForm : public QDialog
{
    Q_OBJECT
public:
    explicit InfoForm(LauncherSession &session, QListWidget &historyList,
                      QWidget *parent = nullptr);
    ~InfoForm() override;

    // True once loading has run to its end.
    bool formLoaded() const { return m_loaded; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    // Settings editing.
    void storeCloseProgram();
    void storeMoveItemToTop();
    void checkListSize();
    void applyListSize();

    // History maintenance.
    void editHistoryList();
    void clearHistoryList();
    void copyLocation();

    // Update check and contact.
    void checkForUpdates();
    void writeEmail();

private:
    void load();
    void layOut();
    void showLocation();
    void connectHandlers();

    InfoFormUi m_ui;
    // While false, the check boxes and the history-size box ignore their
    // change notifications.
    bool m_loaded = false;

    LauncherSession &m_session;
    QListWidget &m_historyList;
    // Where the wiki URL is kept, whole, however the window shows it.
    QString m_location;
};

} // namespace Nimbrel
