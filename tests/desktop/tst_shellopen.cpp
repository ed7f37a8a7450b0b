#include "desktop/OpenInDefaultHandler.h"
#include "desktop/SystemDesktop.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Nimbrel;

// The real way of opening things, with the messages it gives recorded rather
// than shown.
class RecordingDesktop : public SystemDesktop
{
public:
    QMessageBox::StandardButton showMessage(const MessageRequest &request) override
    {
        messages.append(request);
        return QMessageBox::Ok;
    }
    QList<MessageRequest> messages;
};

// The real default-handler path, with a stand-in xdg-open first on PATH that
// writes each argument it got, NUL-terminated, to a log file. The launcher
// hands every URL and file to the first xdg-open on PATH.
class TestShellOpen : public QObject
{
    Q_OBJECT
    QTemporaryDir bin;
    QByteArray originalPath;
    RecordingDesktop desktop;

    QString logFile() const { return bin.filePath(QStringLiteral("args.log")); }

    // The arguments the stand-in received, once it has written them.
    QStringList loggedArguments()
    {
        if (!QTest::qWaitFor([this] { return QFile::exists(logFile()); }, 10000))
            return {QStringLiteral("<stand-in never ran>")};
        QByteArray bytes = readBytes(logFile());
        QStringList arguments;
        if (!bytes.endsWith('\0'))
            return {QStringLiteral("<log unterminated>")};
        bytes.chop(1);
        for (const QByteArray &argument : bytes.split('\0'))
            arguments << QString::fromUtf8(argument);
        return arguments;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(bin.isValid());
        writeScript(bin.filePath(QStringLiteral("xdg-open")),
                    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$STANDIN_LOG.tmp\"\n"
                    "mv \"$STANDIN_LOG.tmp\" \"$STANDIN_LOG\"\n");
        originalPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + originalPath);
        qputenv("STANDIN_LOG", QFile::encodeName(logFile()));
        setDesktop(&desktop);
    }
    void cleanupTestCase()
    {
        setDesktop(nullptr);
        qputenv("PATH", originalPath);
    }
    void init()
    {
        QFile::remove(logFile());
        desktop.messages.clear();
    }

    void targetReachesHandlerAsOneArgument_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("expected");
        const QString wiki = QStringLiteral("https://w.example/wiki/");
        const QString canary = bin.filePath(QStringLiteral("shell-ran"));
        QTest::newRow("plain term")
            << wiki + QStringLiteral("AB-12") << QString() << wiki + QStringLiteral("AB-12");
        QTest::newRow("quote and semicolon") << wiki + QStringLiteral("\"; rm -rf ~") << QString()
                                             << wiki + QStringLiteral("\"; rm -rf ~");
        QTest::newRow("command substitution")
            << wiki + QStringLiteral("$(touch ") + canary + u')' << QString()
            << wiki + QStringLiteral("$(touch ") + canary + u')';
        QTest::newRow("backquotes, pipes, blanks")
            << wiki + QStringLiteral("`touch ") + canary + QStringLiteral("` | cat > x & y")
            << QString()
            << wiki + QStringLiteral("`touch ") + canary + QStringLiteral("` | cat > x & y");
        QTest::newRow("percent and hash") << wiki + QStringLiteral("100% #1 %41") << QString()
                                          << wiki + QStringLiteral("100% #1 %41");
        QTest::newRow("empty wiki path, term alone")
            << QStringLiteral("AB") << QString() << QStringLiteral("AB");
        QTest::newRow("program gets its parameters as one argument")
            << bin.filePath(QStringLiteral("xdg-open")) << QStringLiteral("a b \"c\" $(d)")
            << QStringLiteral("a b \"c\" $(d)");
    }
    void targetReachesHandlerAsOneArgument()
    {
        QFETCH(QString, file);
        QFETCH(QString, parameters);
        QFETCH(QString, expected);
        const MaybeFailure failure = openInDefaultHandler(file, parameters, ShowCommand::Normal);
        QVERIFY2(!failure, qPrintable(failure ? failure->message() : QString()));
        QCOMPARE(loggedArguments(), QStringList{expected});
        QVERIFY(!QFile::exists(bin.filePath(QStringLiteral("shell-ran"))));
    }

    // xdg-open takes an argument that begins with a dash for an option of
    // its own; nothing is started for such a target.
    void targetsThatLookLikeOptionsAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("parameters");
        QTest::newRow("wiki path --manual, with a term")
            << QStringLiteral("--manualAB-12") << QString();
        QTest::newRow("a lone dash") << QStringLiteral("-") << QString();
        QTest::newRow("a dash Qt's URL makes of %2D") << QStringLiteral("%2D-manual") << QString();
        QTest::newRow("a program given an option")
            << bin.filePath(QStringLiteral("xdg-open")) << QStringLiteral("--manual");
    }
    void targetsThatLookLikeOptionsAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, parameters);
        const MaybeFailure failure = openInDefaultHandler(file, parameters, ShowCommand::Normal);
        QTest::qWait(300); // a handler started all the same would have logged by now
        QVERIFY(!QFile::exists(logFile()));
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY(desktop.messages[0].text.contains(QStringLiteral("option")));
        // What the caller learns is what the user was told.
        QVERIFY(failure);
        QCOMPARE(failure->message(), desktop.messages[0].text);
    }

    // The editor is the desktop's default application for the file, which
    // gets the path as one argument; a data folder under a relative "AppData"
    // of "--manual" reaches it as an absolute path.
    void editorGetsTheFileAsOneAbsolutePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks and a semicolon")
            << QStringLiteral("/tmp/a b; c/SearchHistory-1.dat")
            << QStringLiteral("/tmp/a b; c/SearchHistory-1.dat");
        const QString relative = QStringLiteral("--manual/Nimbrel Launcher/SearchHistory-1.dat");
        QTest::newRow("relative, beginning with a dash")
            << relative << QDir::currentPath() + u'/' + relative;
    }
    void editorGetsTheFileAsOneAbsolutePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const MaybeFailure failure = desktop.openInEditor(path, ShowCommand::Normal);
        QVERIFY2(!failure, qPrintable(failure ? failure->message() : QString()));
        QCOMPARE(loggedArguments(), QStringList{expected});
    }

    void missingProgramReportsFailure()
    {
        const QString program = bin.filePath(QStringLiteral("no-such-program"));
        const MaybeFailure failure =
            openInDefaultHandler(program, QStringLiteral("x"), ShowCommand::Normal);
        QVERIFY(failure);
        QCOMPARE(failure->path, program);
        QCOMPARE(desktop.messages.size(), 1);
        const QString told = desktop.messages[0].text;
        QVERIFY2(told.startsWith(QStringLiteral("This could not be opened:\n\n") + program +
                                 QStringLiteral("\n\nThe program could not be started")),
                 qPrintable(told));
    }
};

NIMBREL_TEST_MAIN(TestShellOpen)
#include "tst_shellopen.moc"
