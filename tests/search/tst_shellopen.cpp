#include "search/OpenInDefaultHandler.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The real default-handler path, with a stand-in xdg-open first on PATH that
// writes each argument it got, NUL-terminated, to a log file. Under the
// offscreen platform Qt has no URL service, so every open reaches it.
class TestShellOpen : public QObject
{
    Q_OBJECT
    QTemporaryDir bin;
    QByteArray originalPath;

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
        const QString script = bin.filePath(QStringLiteral("xdg-open"));
        writeBytes(script,
                   "#!/bin/sh\n"
                   "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$STANDIN_LOG.tmp\"\n"
                   "mv \"$STANDIN_LOG.tmp\" \"$STANDIN_LOG\"\n");
        QVERIFY(
            QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        originalPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + originalPath);
        qputenv("STANDIN_LOG", QFile::encodeName(logFile()));
    }
    void cleanupTestCase() { qputenv("PATH", originalPath); }
    void init() { QFile::remove(logFile()); }

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
        QTest::newRow("Notepad opens the file with the default editor")
            << QStringLiteral("Notepad") << QStringLiteral("/tmp/a b; c/SearchHistory-1.dat")
            << QStringLiteral("/tmp/a b; c/SearchHistory-1.dat");
        QTest::newRow("program gets its parameters as one argument")
            << bin.filePath(QStringLiteral("xdg-open")) << QStringLiteral("a b \"c\" $(d)")
            << QStringLiteral("a b \"c\" $(d)");
    }
    void targetReachesHandlerAsOneArgument()
    {
        QFETCH(QString, file);
        QFETCH(QString, parameters);
        QFETCH(QString, expected);
        QVERIFY(OpenInDefaultHandler(file, parameters, ShowCommand::Normal) > 32);
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
        QCOMPARE(OpenInDefaultHandler(file, parameters, ShowCommand::Normal), 0);
        QTest::qWait(300); // a handler started all the same would have logged by now
        QVERIFY(!QFile::exists(logFile()));
    }

    // A data folder under a relative "AppData" of "--manual" reaches the
    // editor as an absolute path.
    void relativeFilePathBecomesAbsolute()
    {
        const QString relative = QStringLiteral("--manual/Nimbrel Launcher/SearchHistory-1.dat");
        QVERIFY(OpenInDefaultHandler(QStringLiteral("Notepad"), relative, ShowCommand::Normal) >
                32);
        QCOMPARE(loggedArguments(), QStringList{QDir::currentPath() + u'/' + relative});
    }

    void missingProgramReportsFailure()
    {
        QCOMPARE(OpenInDefaultHandler(bin.filePath(QStringLiteral("no-such-program")),
                                      QStringLiteral("x"), ShowCommand::Normal),
                 0);
    }
};

NIMBREL_TEST_MAIN(TestShellOpen)
#include "tst_shellopen.moc"
