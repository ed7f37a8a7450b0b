#pragma once

#include "app/ConsoleMessages.h"

#include <QObject>

#include <optional>

class QSessionManager;
class QSocketNotifier;

namespace Nimbrel
{

class MainForm;

// Ends the run in order however the session ends, so that no search and no
// changed option is lost: SIGTERM, SIGHUP and SIGINT close the window as the
// user would (any modal window first, with its safe answer); the session
// manager's logout saves; a quit from anywhere else still runs the unload;
// and when the display connection breaks, the unload runs before Qt ends the
// process. Messages go to standard error then, since no one would answer a box.
class SessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit SessionEnd(MainForm &form, QObject *parent = nullptr);
    ~SessionEnd() override;

    // Whether the run is ending, for whatever reason: no new work is taken then.
    bool isEnding() const { return m_ending; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void installSignalHandlers();
    void readSignal();
    void closeEverything();
    void saveForLogout(QSessionManager &manager);
    void unloadBeforeQuit();
    void useConsoleMessages();
    static void displayLostWatch(QtMsgType type, const QMessageLogContext &context,
                                 const QString &message);

    MainForm &m_form;
    QSocketNotifier *m_signalNotifier = nullptr;
    std::optional<ConsoleMessages> m_console;
    bool m_ending = false;
    int m_closeAttempts = 0;
};

} // namespace Nimbrel
