// Benchmark modes of the launcher. Each run is a fresh process that does one
// thing, prints one line of key=value figures and ends by itself; bench/run
// starts them interleaved and turns the lines into a table.

#include "FloorWindow.h"
#include "LocalServer.h"
#include "ShownAndIdle.h"

#include "app/Launcher.h"
#include "desktop/SystemDesktop.h"
#include "rules/DataFolder.h"
#include "rules/EarlierSearchMatch.h"
#include "rules/FoldedItems.h"
#include "rules/LauncherSession.h"
#include "rules/SearchRules.h"
#include "windows/HistoryList.h"
#include "windows/MainForm.h"
#include "windows/UpdateCheck.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
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

#include <algorithm>
#include <cstdio>
#include <limits>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace Nimbrel;

namespace
{

// The main window's controls by their design names, as a user's tools see them.
template <class Control = QWidget> Control *control(const MainForm &form, const char *name)
{
    return form.findChild<Control *>(QLatin1String(name));
}

QLineEdit *searchBox(const MainForm &form)
{
    return control<QLineEdit>(form, "Text_SearchData");
}

QListWidget *historyList(const MainForm &form)
{
    return control<QListWidget>(form, "List_History");
}

QList<const QWidget *> mainFormControls(const MainForm &form)
{
    QList<const QWidget *> controls;
    for (const char *name :
         {"Text_SearchData", "List_History", "Label_SearchData", "Command_OpenBrowser",
          "Command_Exit", "Command_Help", "Command_OpenWikiMain", "Option_HistoryList0",
          "Option_HistoryList1", "Option_HistoryList2"})
        controls << control(form, name);
    return controls;
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

// The real main window, as main() starts it; `then` runs once it is shown and idle.
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
               QString::number(historyList(form)->count()));
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
    QTest::keyPress(searchBox(form), Qt::Key_Return);
    const qint64 ns = timer.nsecsElapsed();
    QTest::keyRelease(searchBox(form), Qt::Key_Return);

    const QListWidgetItem *top = historyList(form)->item(0);
    if (!top || top->text() != term || !searchBox(form)->text().isEmpty()) {
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
        QTest::keyClicks(searchBox(form), term);
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

// Processor time the whole process has used so far, in ms.
double processorMs()
{
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
#else
    return 0;
#endif
}

// The threads of this process, as the kernel counts them (0 where unknown).
qsizetype threadCount()
{
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

// The update check from the shown main window against `url`, with the limits
// the program ships with, timed until it asks to show its message. Then one
// more second, to see what still runs once the check is over: the processor
// time used in it and the threads the check left behind.
int updateMode(const QString &url)
{
    return showLauncher([url](MainForm &form) {
        MessageClock clock;
        setDesktop(&clock);
        UpdateCheckOptions options;
        options.versionsUrl = QUrl(url);
        LauncherSession session;
        session.readSettings();
        const qsizetype threadsBefore = threadCount();
        clock.timer.start();
        runUpdateCheck(&form, session, options);
        setDesktop(nullptr);
        if (clock.ns < 0) {
            fail(QStringLiteral("the update check showed no message"));
            std::_Exit(EXIT_FAILURE);
        }
        const QString line = QStringLiteral("ns=") + QString::number(clock.ns) +
                             QStringLiteral(" message=") +
                             QString(clock.firstLine).replace(u' ', u'_');
        const double processorAtMessage = processorMs();
        QTimer::singleShot(std::chrono::seconds(1), [=] {
            finish(line + QStringLiteral(" after_ms=") +
                   QString::number(processorMs() - processorAtMessage, 'f', 1) +
                   QStringLiteral(" threads_left=") +
                   QString::number(threadCount() - threadsBefore));
        });
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
        {QStringLiteral("flood"), LocalServer::Answer::HeaderFlood},
        {QStringLiteral("endless-header"), LocalServer::Answer::EndlessHeader},
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

// Text for the paste benchmarks: `megabytes` MB (in UTF-16 characters, as
// the box holds them) of capitals and digits, or of "A-" pairs whose dashes
// the rules have to judge one by one.
QString pasteText(const QString &kind, int megabytes)
{
    const qsizetype size = qsizetype(megabytes) * 1024 * 1024;
    const QString unit = kind == u"dashes" ? QStringLiteral("A-")
                                           : QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString text = unit.repeated(size / unit.size() + 1);
    text.truncate(size);
    return text;
}

// The paste filter on its own: what of the text gets into an empty box.
int filterMode(const QString &kind, int megabytes)
{
    const QString text = pasteText(kind, megabytes);
    QElapsedTimer timer;
    timer.start();
    const QString inserted = SearchRules::typedInsertion(QString(), 0, 0, text);
    const qint64 ns = timer.nsecsElapsed();
    finish(QStringLiteral("ns=") + QString::number(ns) + QStringLiteral(" inserted=") +
           QString::number(inserted.size()));
}

// Ctrl+V of the text into `box`, timed until the box has painted the result.
[[noreturn]] void pasteInto(QLineEdit *box, const QString &text, qsizetype expected)
{
    QGuiApplication::clipboard()->setText(text);
    box->setFocus();
    QElapsedTimer timer;
    timer.start();
    QTest::keySequence(box, QKeySequence::Paste);
    box->repaint();
    const qint64 ns = timer.nsecsElapsed();
    if (box->text().size() != expected) {
        fail(QStringLiteral("the paste left %1 characters, not %2")
                 .arg(box->text().size())
                 .arg(expected));
        std::_Exit(EXIT_FAILURE);
    }
    finish(QStringLiteral("ns=") + QString::number(ns));
}

// The launcher's search box takes a paste the user makes.
int pasteMode(const QString &kind, int megabytes)
{
    return showLauncher([kind, megabytes](MainForm &form) {
        const QString text = pasteText(kind, megabytes);
        pasteInto(form.findChild<QLineEdit *>(QStringLiteral("Text_SearchData")), text,
                  SearchRules::typedInsertion(QString(), 0, 0, text).size());
    });
}

// The toolkit's floor: the same paste into the floor window's plain box, as
// long as the launcher's (which sets no length limit).
int pasteFloorMode(const QString &geometry, const QString &kind, int megabytes)
{
    return showFloor(geometry, [kind, megabytes](QWidget *window) {
        auto *box = window->findChild<QLineEdit *>();
        box->setMaxLength(std::numeric_limits<int>::max());
        const QString text = pasteText(kind, megabytes);
        pasteInto(box, text, text.size());
    });
}

QString loadLine(qint64 ns, int lines)
{
    return QStringLiteral("ns=") + QString::number(ns) + QStringLiteral(" lines=") +
           QString::number(lines);
}

// The history list's load on its own, filling a list box from `path` up to
// `maxItems`.
int loadMode(const QString &path, qint16 maxItems)
{
    if (!QFile::exists(path))
        return fail(QStringLiteral("no history file at %1").arg(path));
    LauncherSession session;
    session.setHistoryFilePath(path);
    session.setHistoryListMaxItems(maxItems);
    QListWidget list;
    QElapsedTimer timer;
    timer.start();
    loadHistoryList(session, list);
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

// `count` items of list `list`, as a person's searches look; the history
// files of the offers-window profile hold the same lines.
QStringList offerItems(int count, qint16 list)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QStringLiteral("TERM %1 OF LIST %2 NUMBER").arg(i).arg(list);
    return items;
}

// The median of `runs` timings of `work`, in nanoseconds.
template <typename Work> qint64 medianNs(int runs, Work work)
{
    QList<qint64> times;
    qsizetype kept = 0; // used, so that the work is not left out
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        kept += work();
        times.append(timer.nsecsElapsed());
    }
    if (kept < 0)
        std::abort();
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// The matching of earlier searches on its own, three lists of `count` items
// folded beforehand, as the offers keep them: a text no item holds (every
// item is looked at) and one that many hold; and the folding of one list,
// paid once whenever a list's items change.
int offersMode(int count)
{
    QList<EarlierSearchMatch::SourceList> lists;
    for (qint16 list = 1; list <= 3; ++list)
        lists.append({list, offerItems(count, list)});
    const auto matching = [&lists](const QString &text) {
        return medianNs(1001, [&] { return EarlierSearchMatch::offers(text, lists).size(); });
    };
    const QStringList items = offerItems(count, 1);
    const qint64 fold = medianNs(101, [&items] { return FoldedItems(items).size(); });
    finish(QStringLiteral("ns_none=") + QString::number(matching(QStringLiteral("QQ"))) +
           QStringLiteral(" ns_many=") + QString::number(matching(QStringLiteral("TERM 1"))) +
           QStringLiteral(" ns_fold=") + QString::number(fold));
}

// Two keystrokes in the real window: the first builds the offers and reads
// lists 2 and 3 from their files, the second matches only. The profile must
// hold those files already: this mode only reads. `keys` are the two keys,
// such as "qq".
int offersWindowMode(const QString &keys)
{
    for (qint16 list = 2; list <= 3; ++list) {
        if (!QFile::exists(DataFolder::historyFilePath(list)))
            return fail(
                QStringLiteral("no history file at %1").arg(DataFolder::historyFilePath(list)));
    }
    return showLauncher([keys](MainForm &form) {
        afterUserPause([&form, keys] {
            const bool builtBefore = form.findChild<QWidget *>(QStringLiteral("EarlierSearches"));
            QLineEdit *box = searchBox(form);
            box->setFocus();
            QElapsedTimer timer;
            timer.start();
            QTest::keyClicks(box, keys.left(1));
            const qint64 first = timer.nsecsElapsed();
            timer.restart();
            QTest::keyClicks(box, keys.mid(1, 1));
            const qint64 next = timer.nsecsElapsed();
            const auto *popup = form.findChild<QListWidget *>(QStringLiteral("EarlierSearches"));
            finish(QStringLiteral("built_before_typing=") + QString::number(int(builtBefore)) +
                   QStringLiteral(" ns_first=") + QString::number(first) +
                   QStringLiteral(" ns_next=") + QString::number(next) + QStringLiteral(" rows=") +
                   QString::number(popup && popup->isVisible() ? popup->count() : 0));
        });
    });
}

int usage()
{
    std::fputs("usage: nimbrel-bench floor GEOMETRY | launcher | launch TERM |\n"
               "                     spawn GEOMETRY URL | load FILE MAX | load-floor FILE |\n"
               "                     update URL |\n"
               "                     serve versions|stall|huge|flood|endless-header |\n"
               "                     filter plain|dashes MB | paste plain|dashes MB |\n"
               "                     paste-floor GEOMETRY plain|dashes MB |\n"
               "                     offers ITEMS | offers-window KEYS\n",
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
    if (mode == u"filter" && args.size() == 3)
        return filterMode(args[1], args[2].toInt());
    if (mode == u"paste" && args.size() == 3)
        return pasteMode(args[1], args[2].toInt());
    if (mode == u"paste-floor" && args.size() == 4)
        return pasteFloorMode(args[1], args[2], args[3].toInt());
    if (mode == u"offers" && args.size() == 2)
        return offersMode(args[1].toInt());
    if (mode == u"offers-window" && args.size() == 2 && args[1].size() == 2)
        return offersWindowMode(args[1]);
    return usage();
}
