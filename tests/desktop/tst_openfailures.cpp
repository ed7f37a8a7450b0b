#include "support/SessionOptions.h"
#include "support/SettingsFixture.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace Nimbrel;

using namespace SettingsFixture;

namespace
{

// What a message box said.
struct Seen {
    QString title;
    QString text;
    Qt::TextFormat format;
};

// Answers every message box that comes up while it lives, No where a box
// offers it and OK otherwise, and keeps what each one said.
class MessageBoxes
{
public:
    MessageBoxes()
    {
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.append({box->windowTitle(), box->text(), box->textFormat()});
            QAbstractButton *answer = box->button(QMessageBox::No);
            (answer ? answer : box->button(QMessageBox::Ok))->click();
        });
        m_poll.start(5);
    }

    QList<Seen> seen;

    // The texts of the boxes titled as the launcher's own failure reports.
    QStringList failures() const
    {
        QStringList texts;
        for (const Seen &box : seen) {
            if (box.title == u"Nimbrel Launcher")
                texts << box.text;
        }
        return texts;
    }

private:
    QTimer m_poll;
};

// Every way the launcher opens something.
const char *const Ways[] = {"search", "main page", "edit", "e-mail"};

// The main window, and the Info window over it for what is opened from
// there, shown as the user has them.
struct Launcher {
    explicit Launcher(const QString &how) : m_how(how)
    {
        main.show();
        if (fromInfo())
            info.show();
    }

    bool fromInfo() const { return m_how == u"edit" || m_how == u"e-mail"; }

    // Does what the user does to open something that way.
    void open()
    {
        if (m_how == u"search") {
            QTest::keyClicks(ui(main).Text_SearchData, QStringLiteral("ab"));
            QTest::keyClick(ui(main).Text_SearchData, Qt::Key_Return);
        } else if (m_how == u"main page") {
            QTest::mouseClick(ui(main).Command_OpenWikiMain, Qt::LeftButton);
        } else if (m_how == u"edit") {
            QTest::mouseClick(ui(info).Command_EditHistory, Qt::LeftButton);
        } else {
            QTest::mouseClick(ui(info).lblEmail, Qt::LeftButton, {}, QPoint(4, 4));
        }
    }

    LauncherSession session;
    MainForm main{session};
    InfoForm info{session, *ui(main).List_History, &main};

private:
    QString m_how;
};

} // namespace

// The real default-handler path of every way the launcher opens something,
// with a stand-in xdg-open first on PATH (under the offscreen platform Qt has
// no other way) or with none at all.
class TestOpenFailures : public QObject
{
    Q_OBJECT
    QTemporaryDir bin;
    QTemporaryDir noBin;
    QByteArray originalPath;

    QString log() const { return bin.filePath(QStringLiteral("opened.log")); }
    QString goFile() const { return bin.filePath(QStringLiteral("go")); }
    QString doneFile() const { return bin.filePath(QStringLiteral("done")); }

    static QString targetOf(const QString &how)
    {
        if (how == u"search")
            return Wiki + QStringLiteral("AB");
        if (how == u"main page")
            return Wiki;
        if (how == u"edit")
            return listFile(1);
        return QStringLiteral("mailto:author@nimbrel.example?subject=Nimbrel Launcher");
    }

    static void addWays()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : Ways)
            QTest::newRow(how) << QString::fromLatin1(how);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(bin.isValid() && noBin.isValid());
        writeScript(bin.filePath(QStringLiteral("xdg-open")),
                    "printf '%s\\n' \"$*\" >> \"$STANDIN_LOG\"\n"
                    "case \"$STANDIN_MODE\" in\n"
                    "fail) echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3 ;;\n"
                    "quiet-fail) exit 4 ;;\n"
                    "wait) i=0\n"
                    "    while [ ! -e \"$STANDIN_GO\" ] && [ $i -lt 400 ]; do sleep 0.05; "
                    "i=$((i+1)); done\n"
                    "    touch \"$STANDIN_DONE\" ;;\n"
                    "esac\n");
        originalPath = qgetenv("PATH");
        qputenv("STANDIN_LOG", QFile::encodeName(log()));
        qputenv("STANDIN_GO", QFile::encodeName(goFile()));
        qputenv("STANDIN_DONE", QFile::encodeName(doneFile()));
    }
    void cleanupTestCase() { qputenv("PATH", originalPath); }

    void init()
    {
        TestEnvironment::reset();
        writeSettings();
        writeBytes(listFile(1), "OLD\r\n");
        for (const QString &file : {log(), goFile(), doneFile()})
            QFile::remove(file);
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + originalPath);
    }

    // xdg-open starts but finds nothing to open with: once it gives up, the
    // user reads what could not be opened, and xdg-open's own words or, when
    // it said nothing, its exit code.
    void handlerThatGivesUpIsReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("reason");
        for (const char *how : Ways) {
            QTest::addRow("%s, error text", how)
                << QString::fromLatin1(how) << QByteArray("fail")
                << QStringLiteral("xdg-open: no method available for opening '%1'")
                       .arg(targetOf(QString::fromLatin1(how)));
            QTest::addRow("%s, exit code only", how)
                << QString::fromLatin1(how) << QByteArray("quiet-fail")
                << QStringLiteral("xdg-open ended with exit code 4.");
        }
    }
    void handlerThatGivesUpIsReported()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, mode);
        QFETCH(QString, reason);
        qputenv("STANDIN_MODE", mode);
        Launcher launcher(how);
        MessageBoxes boxes;

        launcher.open();

        QTRY_COMPARE(boxes.failures(),
                     QStringList{QStringLiteral("This could not be opened:\n\n") + targetOf(how) +
                                 QStringLiteral("\n\n") + reason});
        QCOMPARE(readBytes(log()), targetOf(how).toUtf8() + '\n');
        for (const Seen &box : std::as_const(boxes.seen))
            QCOMPARE(box.format, Qt::PlainText);
    }

    // No xdg-open at all, and Qt knows no other way: the hand-off fails at
    // once. The user is told, the term is kept in the list, the main window
    // stays although it should close after opening, and Edit History List
    // asks no "Refresh now ?" and keeps the Info window.
    void handOffThatFailsAtOnce_data() { addWays(); }
    void handOffThatFailsAtOnce()
    {
        QFETCH(QString, how);
        qputenv("PATH", QFile::encodeName(noBin.path()));
        Launcher launcher(how);
        launcher.session.setCloseWhenBrowserOpen(OnAsStored);
        MessageBoxes boxes;

        launcher.open();

        QCOMPARE(boxes.seen.size(), 1);
        const QString text = boxes.seen[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("This could not be opened:\n\n") + targetOf(how) +
                                 QStringLiteral("\n\nNo program to open it was found: xdg-open "
                                                "could not be started")),
                 qPrintable(text));
        QVERIFY(launcher.main.isVisible());
        if (how == u"search")
            QCOMPARE(listTexts(*ui(launcher.main).List_History),
                     QStringList({u"AB"_qs, u"OLD"_qs}));
        if (launcher.fromInfo())
            QVERIFY(launcher.info.isVisible());
    }

    // With "Exit Program when the Browser is opened" the launcher waits for
    // the handler's verdict before it closes: one that gives up is told, and
    // the main window stays for another try; one that opened closes it.
    void closeOptionWaitsForTheVerdict_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("stays");
        for (const char *how : {"search", "main page"}) {
            QTest::addRow("%s, handler gives up", how)
                << QString::fromLatin1(how) << QByteArray("fail") << true;
            QTest::addRow("%s, handler opens", how)
                << QString::fromLatin1(how) << QByteArray("open") << false;
        }
    }
    void closeOptionWaitsForTheVerdict()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, mode);
        QFETCH(bool, stays);
        qputenv("STANDIN_MODE", mode);
        Launcher launcher(how);
        launcher.session.setCloseWhenBrowserOpen(OnAsStored);
        MessageBoxes boxes;

        launcher.open();

        QTRY_VERIFY(QFile::exists(log()));
        if (stays) {
            QTRY_COMPARE(boxes.failures().size(), 1);
            QVERIFY(launcher.main.isVisible());
            QTest::qWait(200);
            QVERIFY(launcher.main.isVisible());
        } else {
            QTRY_VERIFY(!launcher.main.isVisible());
            QCOMPARE(boxes.seen.size(), 0);
        }
    }

    // A URL made of the longest search term is too long for a message: the
    // message shows its start and end.
    void longTargetIsShortenedInTheMessage()
    {
        qputenv("PATH", QFile::encodeName(noBin.path()));
        LauncherSession session;
        MainForm main(session);
        main.show();
        MessageBoxes boxes;
        ui(main).Text_SearchData->setText(QString(16000, u'Q') + QStringLiteral("END"));
        QTest::keyClick(ui(main).Text_SearchData, Qt::Key_Return);
        QCOMPARE(boxes.seen.size(), 1);
        const QString text = boxes.seen[0].text;
        QVERIFY(text.size() < 2000);
        QVERIFY(text.contains(Wiki + QStringLiteral("QQQ")));
        QVERIFY(text.contains(QStringLiteral("QQQEND\n")));
    }

    // The launcher neither waits for the handler nor stops it: a launcher
    // that opens a page and ends at once returns while the handler still
    // runs, and the handler goes on to its end afterwards.
    void handlerOutlivesTheLauncher()
    {
        qputenv("STANDIN_MODE", "wait");
        QProcess launcher;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        launcher.setProcessEnvironment(environment);
        launcher.start(QStringLiteral(NIMBREL_OPEN_AND_EXIT), {Wiki + QStringLiteral("AB")});
        QVERIFY(launcher.waitForFinished(15000));
        QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcher.exitCode(), 0);
        QVERIFY(QFile::exists(log()));
        QVERIFY(!QFile::exists(doneFile()));

        writeBytes(goFile(), "");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(doneFile()), 10000);
    }
};

NIMBREL_TEST_MAIN(TestOpenFailures)
#include "tst_openfailures.moc"
