// Benchmark modes of the launcher. Each run is a fresh process that does one
// thing, prints one line of key=value figures and ends by itself; bench/run
// starts them interleaved and turns the lines into a table.

#include "FloorWindow.h"
#include "LocalServer.h"
#include "ShownAndIdle.h"

#include "app/Launcher.h"
#include "core/MainForm.h"
#include "core/Module1.h"
#include "core/SystemDesktop.h"
#include "history/HistoryList.h"
#include "update/UpdateCheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace
{

QList<const QWidget *> mainFormControls(const MainForm &form)
{
    return {form.Text_SearchData,      form.List_History,          form.Label_SearchData,
            form.Command_OpenBrowser,  form.Command_Exit,          form.Command_Help,
            form.Command_OpenWikiMain, form.Option_HistoryList[0], form.Option_HistoryList[1],
            form.Option_HistoryList[2]};
}

QString geometryLine(const QWidget *window, const QList<const QWidget *> &controls)
{
    return QStringLiteral("geometry=") + WindowGeometry::of(window, controls).toText();
}

int fail(const QString &why)
{
    std::fprintf(stderr, "nimbrel-bench: %s\n", qPrintable(why));
    return 2;
}

// The floor window, shown; `then` runs once it is shown and idle.
int showFloor(const QString &geometryText, std::function<void(QWidget *)> then)
{
    const WindowGeometry geometry = WindowGeometry::fromText(geometryText);
    if (geometry.client.isEmpty())
        return fail(QStringLiteral("the floor needs the main window's geometry, not \"%1\"")
                        .arg(geometryText));
    QWidget *window = makeFloorWindow(geometry);
    window->show();
    whenShownAndIdle(window, [window, then] { then(window); });
    return QApplication::exec();
}

// The real main window, started as main() starts it, after looking for a
// running launcher to hand over to; `then` runs once it is shown and idle.
int showLauncher(std::function<void(MainForm &)> then)
{
    Launcher launcher({QStringLiteral("nimbrel-launcher")});
    if (launcher.handOver())
        return fail(QStringLiteral("a launcher is running already for this profile"));
    MainForm &form = launcher.open();
    whenShownAndIdle(&form, [&form, then] { then(form); });
    return launcher.exec();
}

int floorMode(const QString &geometry)
{
    return showFloor(geometry,
                     [](QWidget *window) { finish(geometryLine(window, floorControls(window))); });
}

int launcherMode()
{
    return showLauncher([](MainForm &form) {
        finish(geometryLine(&form, mainFormControls(form)) + QStringLiteral(" items=") +
               QString::number(form.List_History->count()));
    });
}

// No one types a term and presses Enter within this time of the window
// appearing. Waiting it out also lets the window system finish drawing, which
// would otherwise compete for the processor with the moment measured.
void afterUserPause(std::function<void()> then)
{
    QTimer::singleShot(std::chrono::milliseconds(500), then);
}

// Enter in the search box, timed from the key press until its handler returns.
void pressEnterToLaunch(MainForm &form, const QString &term)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyPress(form.Text_SearchData, Qt::Key_Return);
    const qint64 ns = timer.nsecsElapsed();
    QTest::keyRelease(form.Text_SearchData, Qt::Key_Return);

    const QListWidgetItem *top = form.List_History->item(0);
    if (!top || top->text() != term || !form.Text_SearchData->text().isEmpty()) {
        fail(QStringLiteral("Enter did not launch \"%1\"").arg(term));
        std::_Exit(EXIT_FAILURE);
    }
    finish(QStringLiteral("ns=") + QString::number(ns));
}

// The search launch as the user starts it: the term typed into the search box,
// then Enter.
int launchMode(const QString &term)
{
    return showLauncher([term](MainForm &form) {
        QTest::keyClicks(form.Text_SearchData, term);
        afterUserPause([&form, term] { pressEnterToLaunch(form, term); });
    });
}

// The toolkit's floor for the launch: handing the URL straight to xdg-open.
int spawnMode(const QString &geometry, const QString &url)
{
    return showFloor(geometry, [url](QWidget *) {
        afterUserPause([url] {
            QElapsedTimer timer;
            timer.start();
            const bool started = QProcess::startDetached(QStringLiteral("xdg-open"), {url});
            const qint64 ns = timer.nsecsElapsed();
            if (!started) {
                fail(QStringLiteral("xdg-open could not be started"));
                std::_Exit(EXIT_FAILURE);
            }
            finish(QStringLiteral("ns=") + QString::number(ns));
        });
    });
}

// The real desktop, except that a message is noted, answered No and not shown:
// the clock stops when the program asks for the message.
class MessageClock : public SystemDesktop
{
public:
    QElapsedTimer timer;
    qint64 ns = -1;
    QString firstLine;

    QMessageBox::StandardButton showMessage(const MessageRequest &request) override
    {
        ns = timer.nsecsElapsed();
        firstLine = request.text.section(u'\n', 0, 0);
        return QMessageBox::No;
    }
};

// The update check from the shown main window against `url`, with the limits
// the program ships with, timed until it asks to show its message.
int updateMode(const QString &url)
{
    return showLauncher([url](MainForm &form) {
        MessageClock clock;
        setDesktop(&clock);
        UpdateCheckOptions options;
        options.versionsUrl = QUrl(url);
        clock.timer.start();
        runUpdateCheck(&form, options);
        setDesktop(nullptr);
        if (clock.ns < 0) {
            fail(QStringLiteral("the update check showed no message"));
            std::_Exit(EXIT_FAILURE);
        }
        finish(QStringLiteral("ns=") + QString::number(clock.ns) + QStringLiteral(" message=") +
               QString(clock.firstLine).replace(u' ', u'_'));
    });
}

// A local web server for the update check; prints its port and runs until
// it is ended.
int serveMode(const QString &kind)
{
    const QMap<QString, LocalServer::Answer> answers = {
        {QStringLiteral("versions"), LocalServer::Answer::Versions},
        {QStringLiteral("stall"), LocalServer::Answer::Stall},
        {QStringLiteral("huge"), LocalServer::Answer::Huge},
    };
    if (!answers.contains(kind))
        return fail(QStringLiteral("no server of the kind \"%1\"").arg(kind));
    LocalServer server(answers[kind]);
    if (!server.listen(QHostAddress::LocalHost))
        return fail(server.errorString());
    std::printf("port=%d\n", int(server.serverPort()));
    std::fflush(stdout);
    return QApplication::exec();
}

QString loadLine(qint64 ns, int lines)
{
    return QStringLiteral("ns=") + QString::number(ns) + QStringLiteral(" lines=") +
           QString::number(lines);
}

// LoadHistoryList on its own, filling a list box from `path` up to `maxItems`.
int loadMode(const QString &path, qint16 maxItems)
{
    if (!QFile::exists(path))
        return fail(QStringLiteral("no history file at %1").arg(path));
    Module1::State.HistoryFilePath = path;
    Module1::State.HistoryListMaxItems = maxItems;
    QListWidget list;
    QElapsedTimer timer;
    timer.start();
    LoadHistoryList(list);
    finish(loadLine(timer.nsecsElapsed(), list.count()));
}

// The toolkit's floor for loading: every line of the file read with QFile and
// added to a list box, with no line-end rules and no care for odd bytes.
int loadFloorMode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(path));
    QListWidget list;
    QElapsedTimer timer;
    timer.start();
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        if (line.endsWith('\n'))
            line.chop(line.endsWith("\r\n") ? 2 : 1);
        list.addItem(QString::fromLocal8Bit(line));
    }
    finish(loadLine(timer.nsecsElapsed(), list.count()));
}

int usage()
{
    std::fputs("usage: nimbrel-bench floor GEOMETRY | launcher | launch TERM |\n"
               "                     spawn GEOMETRY URL | load FILE MAX | load-floor FILE |\n"
               "                     update URL | serve versions|stall|huge\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const QString mode = args.value(0);

    if (mode == u"floor" && args.size() == 2)
        return floorMode(args[1]);
    if (mode == u"launcher" && args.size() == 1)
        return launcherMode();
    if (mode == u"launch" && args.size() == 2)
        return launchMode(args[1]);
    if (mode == u"spawn" && args.size() == 3)
        return spawnMode(args[1], args[2]);
    if (mode == u"load" && args.size() == 3)
        return loadMode(args[1], qint16(args[2].toInt()));
    if (mode == u"load-floor" && args.size() == 2)
        return loadFloorMode(args[1]);
    if (mode == u"update" && args.size() == 2)
        return updateMode(args[1]);
    if (mode == u"serve" && args.size() == 2)
        return serveMode(args[1]);
    return usage();
}
