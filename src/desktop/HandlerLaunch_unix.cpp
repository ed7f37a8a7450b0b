#include "desktop/HandlerLaunch.h"

#include "desktop/Desktop.h"
#include "rules/TextElision.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <utility>

namespace Nimbrel::HandlerLaunch
{

namespace
{

// Waiting for the start is waiting for the exec, not for the handler.
constexpr int StartWaitMs = 5000;
// The end of the handler's error output is where its reason stands; a
// handler that hands its output on to a chatty browser can write megabytes.
constexpr qint64 ErrorOutputTail = 4096;
// Outside text in a message: a search term, and with it a URL, has no limit.
constexpr qsizetype ShownCharacters = 600;

QString elided(const QString &text)
{
    return elidedInTheMiddle(text, ShownCharacters, ShownCharacters * 2 / 3);
}

// One handler that runs, with the file its error output goes to. It goes
// away once the handler has ended; one that outlives the launcher stays,
// since destroying a QProcess kills its process.
class Watch : public QObject
{
public:
    Watch(const QString &program, const QString &target) : m_program(program), m_target(target) {}

    QProcess process;
    QTemporaryFile errorOutput;
    QElapsedTimer clock;

    void ended();

private:
    QString reason();

    QString m_program;
    QString m_target;
};

// The handlers that still run. Held through a pointer that is never freed:
// a handler left running at exit is meant to be, and is no leak.
QList<Watch *> &running()
{
    static auto *watches = new QList<Watch *>;
    return *watches;
}

// Who waits for the verdict of the handlers that run.
struct Waiter {
    QPointer<QObject> context;
    std::function<void(bool failed)> settled;
};

QList<Waiter> &waiters()
{
    static auto *list = new QList<Waiter>;
    return *list;
}

// A handler still within its watch time: its verdict is yet to come.
bool anyUndecided()
{
    return std::any_of(running().begin(), running().end(), [](const Watch *watch) {
        return !watch->clock.hasExpired(std::chrono::milliseconds(WatchTime).count());
    });
}

void settleWaiters(bool failed)
{
    if (!failed && anyUndecided())
        return;
    const QList<Waiter> settling = std::exchange(waiters(), {});
    for (const Waiter &waiter : settling) {
        if (waiter.context)
            waiter.settled(failed);
    }
}

QString Watch::reason()
{
    errorOutput.seek(std::max<qint64>(0, errorOutput.size() - ErrorOutputTail));
    const QString said = QString::fromUtf8(errorOutput.read(ErrorOutputTail)).trimmed();
    if (!said.isEmpty())
        return elided(said);
    if (process.exitStatus() == QProcess::CrashExit || process.error() == QProcess::FailedToStart)
        return QCoreApplication::translate("Nimbrel::Desktop", "%1 ended unexpectedly.")
            .arg(m_program);
    return QCoreApplication::translate("Nimbrel::Desktop", "%1 ended with exit code %2.")
        .arg(m_program, QString::number(process.exitCode()));
}

void Watch::ended()
{
    running().removeOne(this);
    deleteLater();
    const bool failed = (process.error() == QProcess::FailedToStart ||
                         process.exitStatus() == QProcess::CrashExit || process.exitCode() != 0) &&
                        clock.elapsed() <= std::chrono::milliseconds(WatchTime).count();
    settleWaiters(failed);
    if (!failed)
        return;
    const QString target = m_target;
    const QString why = reason();
    reportNotOpened(target, why);
}

} // namespace

MaybeFailure start(const QString &program, const QStringList &arguments, const QString &target)
{
    auto *watch = new Watch(program, target);
    QProcess &process = watch->process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    // A file rather than a pipe: the handler may pass its error output on to
    // a browser or an editor that runs for hours, and a pipe whose reading
    // end went away with the launcher would kill it at its next message.
    watch->errorOutput.setFileTemplate(QDir::tempPath() +
                                       QStringLiteral("/nimbrel-handler-XXXXXX"));
    process.setStandardErrorFile(watch->errorOutput.open() ? watch->errorOutput.fileName()
                                                           : QProcess::nullDevice());
    // A session of its own, as a detached start gives: closing the terminal
    // the launcher was started from must not end the browser.
    process.setChildProcessModifier([] { ::setsid(); });

    process.start();
    if (!process.waitForStarted(StartWaitMs) && process.state() == QProcess::NotRunning) {
        Failure notStarted{
            QCoreApplication::translate("Nimbrel::Desktop", "This could not be started:"), program,
            process.errorString()};
        delete watch;
        return notStarted;
    }
    // The handler holds the file open; its name is not needed any more.
    if (watch->errorOutput.isOpen())
        QFile::remove(watch->errorOutput.fileName());
    watch->errorOutput.setAutoRemove(false);

    QObject::connect(&process, &QProcess::finished, watch, [watch] { watch->ended(); });
    QObject::connect(&process, &QProcess::errorOccurred, watch,
                     [watch](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             watch->ended();
                     });
    watch->clock.start();
    running().append(watch);
    return std::nullopt;
}

void whenSettled(QObject *context, std::function<void(bool failed)> settled)
{
    if (!anyUndecided()) {
        settled(false);
        return;
    }
    waiters().append({context, std::move(settled)});
    // A handler that runs on past its watch time has opened its target.
    qint64 left = 0;
    for (const Watch *watch : std::as_const(running()))
        left =
            std::max(left, std::chrono::milliseconds(WatchTime).count() - watch->clock.elapsed());
    QTimer::singleShot(std::chrono::milliseconds(left + 1), context, [] { settleWaiters(false); });
}

Failure reportNotOpened(const QString &target, const QString &reason)
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    const Failure failure{
        QCoreApplication::translate("Nimbrel::Desktop", "This could not be opened:"),
        elided(target), reason};
    reportFailure(parent, failure);
    return failure;
}

} // namespace Nimbrel::HandlerLaunch
