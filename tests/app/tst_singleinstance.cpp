// The launcher as a user starts it: the built program, run as processes. The
// running launcher uses the offscreen platform; every other start is given a
// display that does not exist, so a start that built any window would fail.
#include "rules/InstanceMessage.h"
#include "support/TestEnvironment.h"
#include "support/TestMounts.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// No X server answers here: a start that reached for the display fails.
const QString NoDisplay = QStringLiteral(":4242");

struct Finished {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

bool waitFor(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QTest::qWait(20);
    }
    return true;
}

QString socketPath()
{
    return TestEnvironment::runtimeFolder() + QStringLiteral("/nimbrel-launcher.x11-4242");
}

QString settingsText(const QByteArray &extra = QByteArray())
{
    return QString::fromLatin1("[Settings]\nWikiPath=https://w.example/wiki/\n"
                               "HistoryListMaxItems=10\nCloseWhenBrowserOpen=0\n" +
                               extra);
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_bin;
    QString m_log;
    QList<std::shared_ptr<QProcess>> m_running;
    // What a test changes in every start's environment.
    std::function<void(QProcessEnvironment &)> m_adjustEnvironment;

    QProcessEnvironment environment(bool runningLauncher) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   runningLauncher ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), NoDisplay);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        env.insert(QStringLiteral("PATH"), m_bin.path() + u':' + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("NIMBREL_TEST_LOG"), m_log);
        if (m_adjustEnvironment)
            m_adjustEnvironment(env);
        return env;
    }

    // A start that is expected to become the running launcher.
    std::shared_ptr<QProcess> startLauncher(const QStringList &arguments = {})
    {
        auto process = std::make_shared<QProcess>();
        process->setProcessEnvironment(environment(true));
        process->start(QStringLiteral(NIMBREL_LAUNCHER), arguments);
        m_running << process;
        return process;
    }

    std::shared_ptr<QProcess> startRunningLauncher(const QStringList &arguments = {})
    {
        auto process = startLauncher(arguments);
        if (!waitFor([] { return QFileInfo::exists(socketPath()); }))
            qWarning("no socket; the launcher said: %s",
                     process->readAllStandardError().constData());
        return process;
    }

    // A start that is expected to end by itself.
    Finished run(const QStringList &arguments, bool offscreen = false)
    {
        QProcess process;
        process.setProcessEnvironment(environment(offscreen));
        process.start(QStringLiteral(NIMBREL_LAUNCHER), arguments);
        Finished result;
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished();
            result.err = "did not end: " + process.readAllStandardError();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    QStringList opened() const
    {
        QString text = QString::fromUtf8(readBytes(m_log));
        text.chop(1); // the last line's end
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }

    bool waitForOpened(qsizetype count)
    {
        return waitFor([&] { return opened().size() >= count; });
    }

    // Ends a running launcher as a session's end does, and waits for it.
    static bool endWith(QProcess &process, int signalNumber)
    {
        ::kill(pid_t(process.processId()), signalNumber);
        return process.waitForFinished(10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid());
        // The browser: one line for each URL it is handed.
        const QString standIn = m_bin.path() + QStringLiteral("/xdg-open");
        writeBytes(standIn, "#!/bin/sh\nprintf '%s\\n' \"$1\" >>\"$NIMBREL_TEST_LOG\"\n");
        QFile::setPermissions(standIn, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X4242")),
                 "an X server runs on the display the tests take for absent");
    }

    void init()
    {
        TestEnvironment::reset();
        writeBytes(TestEnvironment::settingsFile(), settingsText().toUtf8());
        m_log = TestEnvironment::root() + QStringLiteral("/opened.log");
        m_adjustEnvironment = nullptr;
        QFile::remove(m_log);
    }

    void cleanup()
    {
        for (const auto &process : std::as_const(m_running)) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
        m_running.clear();
        for (const QString &folder : {TestEnvironment::root(), TestEnvironment::runtimeFolder()})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(socketPath());
    }

    // Help, version and mistakes are answered without any window: these
    // starts have no display to open one on.
    void commandLineAnswersWithoutWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("Usage: nimbrel-launcher [OPTION]... [TERM]...\n");
        const QString version = QStringLiteral("Nimbrel Launcher, v1.25 (file version 1.2.0.5)\n");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0 << usage << QString();
        QTest::newRow("-h after a term")
            << QStringList{QStringLiteral("ab"), QStringLiteral("-h")} << 0 << usage << QString();
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << 0 << version << QString();
        QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << 0 << version << QString();
        QTest::newRow("unknown long option")
            << QStringList{QStringLiteral("--bogus")} << 2 << QString()
            << QStringLiteral("nimbrel-launcher: Unknown option 'bogus'.\n"
                              "Try 'nimbrel-launcher --help' for more information.\n");
        QTest::newRow("unknown short option before a term")
            << QStringList{QStringLiteral("-x"), QStringLiteral("ab")} << 2 << QString()
            << QStringLiteral("nimbrel-launcher: Unknown option 'x'.\n"
                              "Try 'nimbrel-launcher --help' for more information.\n");
        QTest::newRow("Qt's own option")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen")} << 2
            << QString()
            << QStringLiteral("nimbrel-launcher: Unknown option "
                              "'platform'.\n"
                              "Try 'nimbrel-launcher --help' for more "
                              "information.\n");
        QTest::newRow("term over the limit")
            << QStringList{QString(Nimbrel::InstanceMessage::MaxTermLength, u'a'),
                           QStringLiteral("b")}
            << 2 << QString()
            << QStringLiteral("nimbrel-launcher: the search term is longer than 16384 characters.\n"
                              "Try 'nimbrel-launcher --help' for more information.\n");
    }
    void commandLineAnswersWithoutWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Finished result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        if (out == QStringLiteral("Usage: nimbrel-launcher [OPTION]... [TERM]...\n"))
            QVERIFY2(result.out.startsWith(out.toUtf8()), result.out.constData());
        else
            QCOMPARE(QString::fromUtf8(result.out), out);
        QCOMPARE(QString::fromUtf8(result.err), err);
        QVERIFY(!QFileInfo::exists(socketPath()));
    }

    // A start with no display to open its window on says so in one line and
    // ends with status 1, leaving no lock or socket behind; help and version
    // need no display.
    void noDisplayIsOneLineAndLeavesNothing_data()
    {
        QTest::addColumn<bool>("unset");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("err");
        const QString unset = QStringLiteral(
            "nimbrel-launcher: no display could be opened: neither DISPLAY nor WAYLAND_DISPLAY "
            "is set.\n");
        const QString absent =
            QStringLiteral("nimbrel-launcher: no display could be opened (DISPLAY=:4242).\n");
        QTest::newRow("no DISPLAY") << true << QStringList() << unset;
        QTest::newRow("no DISPLAY, with a term") << true << QStringList{u"ab"_qs} << unset;
        QTest::newRow("display that does not answer") << false << QStringList() << absent;
    }
    void noDisplayIsOneLineAndLeavesNothing()
    {
        QFETCH(bool, unset);
        QFETCH(QStringList, arguments);
        QFETCH(QString, err);
        if (unset)
            m_adjustEnvironment = [](QProcessEnvironment &env) {
                env.remove(QStringLiteral("DISPLAY"));
            };
        const Finished result = run(arguments);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err), err);
        QCOMPARE(
            QDir(TestEnvironment::runtimeFolder())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System),
            QStringList());
        QCOMPARE(opened(), QStringList());
        QCOMPARE(run({QStringLiteral("--version")}).exitCode, 0);
        QCOMPARE(run({QStringLiteral("--help")}).exitCode, 0);
    }

    // A term handed to the running launcher is searched as if typed into its
    // search box and entered: the box's rules, then the launch.
    void handedOverTermIsSearchedAsTyped_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("searched"); // empty: nothing searched
        QTest::newRow("small letters become capitals")
            << QStringList{QStringLiteral("ab-12")} << QStringLiteral("AB-12");
        QTest::newRow("words joined by one blank")
            << QStringList{QStringLiteral("two"), QStringLiteral("words")}
            << QStringLiteral("TWO WORDS");
        QTest::newRow("blanks inside a word stay")
            << QStringList{QStringLiteral("a  b ")} << QStringLiteral("A  B ");
        QTest::newRow("leading blanks go")
            << QStringList{QStringLiteral("   ab")} << QStringLiteral("AB");
        QTest::newRow("other characters left out")
            << QStringList{QStringLiteral("a.b/c?d\u00e9")} << QStringLiteral("ABCD");
        QTest::newRow("dash rule after --")
            << QStringList{QStringLiteral("--"), QStringLiteral("-a--b-c-d")}
            << QStringLiteral("A-B-CD");
        QTest::newRow("nothing left") << QStringList{QStringLiteral("!?.")} << QString();
        QTest::newRow("only a dash")
            << QStringList{QStringLiteral("--"), QStringLiteral("-")} << QString();
    }
    void handedOverTermIsSearchedAsTyped()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, searched);
        auto launcher = startRunningLauncher();

        const Finished result = run(words);
        QCOMPARE(result.exitCode, 0);
        if (searched.isEmpty()) {
            QVERIFY2(result.err.startsWith("nimbrel-launcher: nothing to search: "),
                     result.err.constData());
            // The running launcher is asked again, so the first answer had
            // nothing to wait for.
            QCOMPARE(run({QStringLiteral("LAST")}).exitCode, 0);
            QVERIFY(waitForOpened(1));
            QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/LAST")});
        } else {
            QCOMPARE(QString::fromUtf8(result.err), QString());
            QVERIFY(waitForOpened(1));
            QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/") + searched});
        }
        QCOMPARE(launcher->state(), QProcess::Running);
    }

    // Searches from the command line change the history as typed ones do,
    // and the running launcher saves them when the session ends it.
    void handedOverSearchesKeepHistoryRules()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   settingsText("MoveSearchedtItemToTop=1\n").toUtf8());
        writeBytes(listFile(1), "A\r\nB\r\nC\r\n");
        auto launcher = startRunningLauncher({QStringLiteral("b")}); // a start with a term
        QVERIFY(waitForOpened(1));
        QCOMPARE(run({QStringLiteral("new")}).exitCode, 0);
        QCOMPARE(run({}).exitCode, 0); // only brings the window forward
        QCOMPARE(run({QStringLiteral("a")}).exitCode, 0);
        QVERIFY(waitForOpened(3));
        QVERIFY(endWith(*launcher, SIGTERM));
        QCOMPARE(launcher->exitCode(), 0);
        QCOMPARE(readBytes(listFile(1)), QByteArray("A\r\nNEW\r\nB\r\nC\r\n"));
    }

    // With the close-after-launch option, a handed-over search ends the
    // running launcher as a typed one does, and the next start takes over.
    void closeAfterLaunchEndsRunningLauncher()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   settingsText()
                       .replace(QStringLiteral("CloseWhenBrowserOpen=0"),
                                QStringLiteral("CloseWhenBrowserOpen=1"))
                       .toUtf8());
        auto launcher = startRunningLauncher();
        QCOMPARE(run({QStringLiteral("one")}).exitCode, 0);
        QVERIFY(launcher->waitForFinished(10000));
        QCOMPARE(launcher->exitCode(), 0);
        QCOMPARE(readBytes(listFile(1)), QByteArray("ONE\r\n"));

        auto next = startLauncher({QStringLiteral("two")});
        QVERIFY(next->waitForFinished(10000));
        QCOMPARE(readBytes(listFile(1)), QByteArray("TWO\r\nONE\r\n"));
    }

    // Twenty starts at the same moment with close-after-launch on: a launcher
    // that is about to end still searches what the starts already waiting
    // hand it, and every term is searched and recorded exactly once.
    void simultaneousStartsWithCloseAfterLaunchLoseNothing()
    {
        writeBytes(TestEnvironment::settingsFile(),
                   settingsText()
                       .replace(QStringLiteral("HistoryListMaxItems=10"),
                                QStringLiteral("HistoryListMaxItems=50"))
                       .replace(QStringLiteral("CloseWhenBrowserOpen=0"),
                                QStringLiteral("CloseWhenBrowserOpen=1"))
                       .toUtf8());
        QList<std::shared_ptr<QProcess>> starts;
        QStringList expected;
        for (int i = 0; i < 20; ++i) {
            starts << startLauncher({QStringLiteral("term%1").arg(i, 2, 10, QChar(u'0'))});
            expected << QStringLiteral("TERM%1").arg(i, 2, 10, QChar(u'0'));
        }
        for (const auto &process : std::as_const(starts)) {
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        QStringList urls = opened();
        urls.sort();
        QStringList expectedUrls;
        for (const QString &term : std::as_const(expected))
            expectedUrls << QStringLiteral("https://w.example/wiki/") + term;
        QCOMPARE(urls, expectedUrls);
        QStringList saved = QString::fromUtf8(readBytes(listFile(1))).split(QStringLiteral("\r\n"));
        QCOMPARE(saved.takeLast(), QString());
        saved.sort();
        QCOMPARE(saved, expected);
    }

    // A start that gave up reports its term as not searched, so the running
    // launcher must not search it afterwards; one still waiting is served.
    void requestAfterItsDeadlineIsNotTaken()
    {
        using Nimbrel::InstanceMessage::Request;
        auto launcher = startRunningLauncher();
        const auto send = [](const QString &term, qint64 deadline) {
            Request request;
            request.action = Request::Action::Search;
            request.term = term;
            request.deadline = deadline;
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            if (!socket.waitForConnected(5000))
                return QByteArray("not connected");
            socket.write(Nimbrel::InstanceMessage::encodeRequest(request));
            QByteArray answer;
            waitFor(
                [&] {
                    answer += socket.readAll();
                    return socket.state() == QLocalSocket::UnconnectedState;
                },
                8000);
            return answer;
        };
        const qint64 now = QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
        QCOMPARE(send(QStringLiteral("late"), now - 1), QByteArray());
        QCOMPARE(send(QStringLiteral("in time"), now + 10'000'000'000),
                 Nimbrel::InstanceMessage::encodeReply(Nimbrel::InstanceMessage::Reply::Done));
        QVERIFY(waitForOpened(1));
        QTest::qWait(300);
        QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/IN TIME")});
    }

    // Ten starts at the same moment: one becomes the launcher, the others
    // hand over, and every search arrives.
    void simultaneousStartsMakeOneLauncher()
    {
        QList<std::shared_ptr<QProcess>> starts;
        QSet<QString> expected;
        for (int i = 0; i < 10; ++i) {
            starts << startLauncher({QStringLiteral("T%1").arg(i)});
            expected << QStringLiteral("https://w.example/wiki/T%1").arg(i);
        }
        QVERIFY(waitFor(
            [&] {
                return std::count_if(starts.begin(), starts.end(), [](const auto &p) {
                           return p->state() == QProcess::NotRunning;
                       }) >= 9;
            },
            30000));
        QTest::qWait(500); // a tenth that ended late would show now
        std::shared_ptr<QProcess> launcher;
        for (const auto &process : starts) {
            if (process->state() != QProcess::NotRunning) {
                QVERIFY2(!launcher, "two launchers run");
                launcher = process;
                continue;
            }
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        QVERIFY(launcher);
        QVERIFY(waitForOpened(10));
        const QStringList urls = opened();
        QCOMPARE(QSet<QString>(urls.begin(), urls.end()), expected);
        QVERIFY(endWith(*launcher, SIGTERM));
        QCOMPARE(readBytes(listFile(1)).count("\r\n"), 10);
    }

    // A launcher killed outright leaves its socket behind; the next start
    // still becomes the launcher, and the one after hands over to it.
    void socketOfKilledLauncherDoesNotBlock()
    {
        auto killed = startRunningLauncher();
        QVERIFY(endWith(*killed, SIGKILL));
        QVERIFY(QFileInfo::exists(socketPath()));

        auto launcher = startLauncher({QStringLiteral("after")});
        QVERIFY(waitForOpened(1));
        QCOMPARE(launcher->state(), QProcess::Running);
        QCOMPARE(run({QStringLiteral("again")}).exitCode, 0);
        QVERIFY(waitForOpened(2));
        QCOMPARE(opened(), (QStringList{QStringLiteral("https://w.example/wiki/AFTER"),
                                        QStringLiteral("https://w.example/wiki/AGAIN")}));
    }

    // A start killed while it held the election lock leaves the lock file
    // behind; the next start sees that its owner is gone and goes on.
    void lockOfKilledStartDoesNotBlock()
    {
        QProcess holder;
        holder.start(QStringLiteral(NIMBREL_PROBE),
                     {QStringLiteral("--hold-lock"), socketPath() + QStringLiteral(".lock")});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readAllStandardOutput(), QByteArray("locked\n"));
        QVERIFY(endWith(holder, SIGKILL));
        QVERIFY(QFileInfo::exists(socketPath() + QStringLiteral(".lock")));

        auto launcher = startLauncher({QStringLiteral("unlocked")});
        QVERIFY(waitForOpened(1));
        QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/UNLOCKED")});
        QCOMPARE(launcher->state(), QProcess::Running);
    }

    // Whatever else connects is dropped without an answer or any effect, and
    // the launcher goes on serving real starts.
    void untrustedBytesAreDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray request = Nimbrel::InstanceMessage::encodeRequest(
            {Nimbrel::InstanceMessage::Request::Action::Search, QStringLiteral("EVIL"), {}, {}});
        char huge[4];
        qToBigEndian(quint32(0x7fffffff), huge);
        QTest::newRow("nothing at all") << QByteArray();
        QTest::newRow("another protocol") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        QTest::newRow("half a request") << request.left(request.size() - 2);
        QTest::newRow("request and more") << request + "more";
        QTest::newRow("another version") << QByteArray("NLR\x02", 4) + request.mid(4);
        QTest::newRow("huge length") << QByteArray("NLR\x01", 4) + QByteArray(huge, 4);
        QTest::newRow("a flood") << QByteArray(4 * 1024 * 1024, 'N');
    }
    void untrustedBytesAreDropped()
    {
        QFETCH(QByteArray, bytes);
        auto launcher = startRunningLauncher();

        QLocalSocket socket;
        socket.connectToServer(socketPath());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(bytes);
        QByteArray answer;
        QVERIFY2(waitFor(
                     [&] {
                         answer += socket.readAll();
                         return socket.state() == QLocalSocket::UnconnectedState;
                     },
                     8000),
                 "the connection was kept open");
        QCOMPARE(answer, QByteArray());

        QCOMPARE(run({QStringLiteral("fine")}).exitCode, 0);
        QVERIFY(waitForOpened(1));
        QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/FINE")});
        QCOMPARE(launcher->state(), QProcess::Running);
    }

    // Connections that say nothing cannot lock real starts out for long.
    void silentConnectionsDoNotBlockStarts()
    {
        auto launcher = startRunningLauncher();
        QList<std::shared_ptr<QLocalSocket>> silent;
        for (int i = 0; i < 40; ++i) {
            silent << std::make_shared<QLocalSocket>();
            silent.last()->connectToServer(socketPath());
            QVERIFY(silent.last()->waitForConnected(5000));
        }
        QCOMPARE(run({QStringLiteral("through")}).exitCode, 0);
        QVERIFY(waitForOpened(1));
        QVERIFY(waitFor([&] {
            return std::all_of(silent.begin(), silent.end(), [](const auto &socket) {
                socket->waitForReadyRead(0);
                return socket->state() == QLocalSocket::UnconnectedState;
            });
        }));
        QCOMPARE(launcher->state(), QProcess::Running);
    }

    // Only the launcher's own user gets in: another user is kept out by the
    // folder, by the socket's mode and, should both be opened up, by the
    // launcher checking who connected.
    void otherUserIsKeptOut_data()
    {
        QTest::addColumn<bool>("openFolder");
        QTest::addColumn<bool>("openSocket");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("user-only folder") << false << false << QStringLiteral("refused");
        QTest::newRow("user-only socket") << true << false << QStringLiteral("refused");
        QTest::newRow("socket open to all") << true << true << QStringLiteral("dropped");
    }
    void otherUserIsKeptOut()
    {
        QFETCH(bool, openFolder);
        QFETCH(bool, openSocket);
        QFETCH(QString, outcome);
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (::getuid() != 0 || setpriv.isEmpty()) {
            if (qEnvironmentVariable("CI") == u"true")
                QFAIL("needs root and setpriv to act as another user");
            QSKIP("needs root and setpriv to act as another user");
        }
        // Another user must be able to run a program here at all: in a chroot
        // whose root folder is root's alone, not even the C library loads for
        // anyone else. The machine, not the launcher, rules the case out then.
        QProcess anyProgram;
        anyProgram.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                   QStringLiteral("--clear-groups"),
                                   QStandardPaths::findExecutable(QStringLiteral("true"))});
        QVERIFY(anyProgram.waitForFinished(15000));
        if (anyProgram.exitStatus() != QProcess::NormalExit || anyProgram.exitCode() != 0)
            QSKIP(qPrintable(QStringLiteral("another user cannot run programs on this machine: ") +
                             QString::fromLocal8Bit(anyProgram.readAllStandardError())));

        // The probe where the other user can run it.
        QTemporaryDir shared(QStringLiteral("/tmp/nimbrel-probe-XXXXXX"));
        QVERIFY(QFile::setPermissions(shared.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString probe = shared.path() + QStringLiteral("/instance_probe");
        QVERIFY(QFile::copy(QStringLiteral(NIMBREL_PROBE), probe));
        QVERIFY(QFile::setPermissions(probe, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther));

        auto launcher = startRunningLauncher();
        const auto traverse = QFile::ExeOther | QFile::ExeGroup;
        const auto own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        // The test's own root on the way is the user's alone as well.
        if (openFolder) {
            QFile::setPermissions(TestEnvironment::root(), own | traverse);
            QFile::setPermissions(TestEnvironment::runtimeFolder(), own | traverse);
        }
        if (openSocket)
            QVERIFY(::chmod(QFile::encodeName(socketPath()).constData(), 0777) == 0);

        QProcess other;
        other.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), probe, socketPath(),
                              QStringLiteral("intruder")});
        QVERIFY(other.waitForFinished(15000));
        const QString said = QString::fromUtf8(other.readAllStandardOutput());
        QVERIFY2(said.startsWith(outcome),
                 qPrintable(said + QString::fromUtf8(other.readAllStandardError())));

        QTest::qWait(300);
        QCOMPARE(opened(), QStringList());
        // The owner's own starts refuse a runtime folder that others can enter.
        QFile::setPermissions(TestEnvironment::runtimeFolder(), own);
        QCOMPARE(run({QStringLiteral("owner")}).exitCode, 0);
        QVERIFY(waitForOpened(1));
        QCOMPARE(launcher->state(), QProcess::Running);
    }

    // Without XDG_RUNTIME_DIR the socket goes to a folder of the user's own
    // in the temporary folder. When someone else has taken that name first,
    // the user's cache folder serves instead, so that single instance holds;
    // each start says on standard error where the socket is and why.
    void takenTemporaryFolderIsPassedBy_data()
    {
        QTest::addColumn<bool>("otherUser");
        QTest::newRow("folder of another user") << true;
        QTest::newRow("file in its place") << false;
    }
    void takenTemporaryFolderIsPassedBy()
    {
        QFETCH(bool, otherUser);
        if (otherUser && ::getuid() != 0) {
            if (qEnvironmentVariable("CI") == u"true")
                QFAIL("needs root to give a folder to another user");
            QSKIP("needs root to give a folder to another user");
        }
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString taken = temp.filePath(QStringLiteral("nimbrel-launcher-%1").arg(::getuid()));
        if (otherUser) {
            QVERIFY(::mkdir(QFile::encodeName(taken).constData(), 0700) == 0);
            QVERIFY(::chown(QFile::encodeName(taken).constData(), 65534, 65534) == 0);
        } else {
            writeBytes(taken, "");
        }
        m_adjustEnvironment = [&temp](QProcessEnvironment &env) {
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            env.insert(QStringLiteral("TMPDIR"), temp.path());
        };
        const QString folder = TestEnvironment::root() + QStringLiteral("/cache/nimbrel-launcher");

        auto launcher = startLauncher();
        QVERIFY2(waitFor([&] {
                     return QFileInfo::exists(folder +
                                              QStringLiteral("/nimbrel-launcher.x11-4242"));
                 }),
                 launcher->readAllStandardError().constData());
        const Finished second = run({QStringLiteral("once")});
        QVERIFY2(second.exitCode == 0, second.err.constData());
        const QString err = QString::fromUtf8(second.err);
        QVERIFY2(err.startsWith(QStringLiteral("nimbrel-launcher: XDG_RUNTIME_DIR is not set; ") +
                                taken + QStringLiteral(" is not used: ")),
                 qPrintable(err));
        QVERIFY2(err.endsWith(QStringLiteral("; the launcher's socket is in ") + folder +
                              QStringLiteral(".\n")),
                 qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY(waitForOpened(1));
        QCOMPARE(opened(), QStringList{QStringLiteral("https://w.example/wiki/ONCE")});
        QCOMPARE(launcher->state(), QProcess::Running);
        QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
    }

    // The signals that end a session run the same shut-down as closing the
    // window: the search is saved and the launcher ends with status 0.
    void endingSignalsSaveLikeClosing_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void endingSignalsSaveLikeClosing()
    {
        QFETCH(int, signalNumber);
        writeBytes(listFile(1), "OLD\r\n");
        auto launcher = startRunningLauncher({QStringLiteral("new")});
        QVERIFY(waitForOpened(1));
        QVERIFY(endWith(*launcher, signalNumber));
        QCOMPARE(launcher->exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcher->exitCode(), 0);
        QCOMPARE(readBytes(listFile(1)), QByteArray("NEW\r\nOLD\r\n"));
        QVERIFY(!QFileInfo::exists(socketPath()));
    }

    // A save that fails while the session ends is told on standard error:
    // a message box there would wait for no one.
    void failedSaveAtSessionEndGoesToStandardError()
    {
        REQUIRE_MOUNT_PRIVILEGE();
        writeBytes(listFile(1), "OLD\r\n");
        auto launcher = startRunningLauncher({QStringLiteral("new")});
        QVERIFY(waitForOpened(1));
        TestMounts mounts;
        QVERIFY2(mounts.readOnly(TestEnvironment::dataFolder()), qPrintable(mounts.error()));

        QVERIFY2(endWith(*launcher, SIGTERM), "the launcher waited, for a message box perhaps");
        QCOMPARE(launcher->exitCode(), 0);
        const QString err = QString::fromUtf8(launcher->readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("nimbrel-launcher: The history list could not be "
                                             "saved.: ") +
                              listFile(1)),
                 qPrintable(err));
        QCOMPARE(readBytes(listFile(1)), QByteArray("OLD\r\n"));
    }
};

NIMBREL_CORE_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
