#include "desktop/DesktopIdentity.h"
#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "support/WindowTest.h"
#include "windows/InfoForm.h"
#include "windows/MainForm.h"

#include <QAccessible>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProcess>
#include <QScopeGuard>

#include <cmath>

using namespace Nimbrel;

namespace
{

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
    dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Base, QColor(0x14, 0x14, 0x18));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x36));
    dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    return dark;
}

// The contrast ratio of two colours as accessibility guidelines define it,
// from 1 (none) to 21 (black on white).
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestDesktopIntegration : public QObject
{
    Q_OBJECT
    FakeDesktop *fake = nullptr;

private slots:
    void initTestCase() { DesktopIdentity::apply(); }
    void init()
    {
        TestEnvironment::reset();
        fake = new FakeDesktop;
    }
    void cleanup() { delete fake; }

    // What a screen reader announces for each control of the main window.
    void mainFormAccessibleNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("search box takes its label's text")
            << QStringLiteral("Text_SearchData") << QStringLiteral("Search Nimbrel for:");
        QTest::newRow("history list")
            << QStringLiteral("List_History") << QStringLiteral("Search history");
        QTest::newRow("search label")
            << QStringLiteral("Label_SearchData") << QStringLiteral("Search Nimbrel for:");
        QTest::newRow("launch button")
            << QStringLiteral("Command_OpenBrowser") << QStringLiteral("Open Nimbrel Search");
        QTest::newRow("exit button") << QStringLiteral("Command_Exit") << QStringLiteral("Exit");
        QTest::newRow("info button reads one ampersand")
            << QStringLiteral("Command_Help") << QStringLiteral("Info & Settings");
        QTest::newRow("main page button")
            << QStringLiteral("Command_OpenWikiMain") << QStringLiteral("Open Nimbrel Main Page");
        QTest::newRow("list 1") << QStringLiteral("Option_HistoryList0")
                                << QStringLiteral("History List 1");
        QTest::newRow("list 2") << QStringLiteral("Option_HistoryList1")
                                << QStringLiteral("History List 2");
        QTest::newRow("list 3") << QStringLiteral("Option_HistoryList2")
                                << QStringLiteral("History List 3");
    }
    void mainFormAccessibleNames()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        LauncherSession session;
        MainForm form(session);
        auto *widget = form.findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        QCOMPARE(accessibleName(widget), name);
    }

    // A control added later without a name would be silent to a screen reader.
    void everyMainFormControlIsNamed()
    {
        LauncherSession session;
        MainForm form(session);
        const QList<QWidget *> controls = form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QVERIFY(!controls.isEmpty());
        for (QWidget *control : controls)
            QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(control->objectName()));
    }

    void searchBoxIsLabelledByItsLabel()
    {
        LauncherSession session;
        MainForm form(session);
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(ui(form).Text_SearchData);
        QVERIFY(box);
        // Qt reports the relation from the labelled control's side as Label.
        const auto labels = box->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->object(), ui(form).Label_SearchData);
    }

    // A dark desktop theme reaches both windows through the application
    // palette; a colour or style sheet set on a control would leave it light.
    // Only the Info window's separator lines have colours of their own.
    void windowsFollowTheDesktopPalette()
    {
        const QPalette original = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
        const QPalette dark = darkPalette();
        QApplication::setPalette(dark);
        LauncherSession session;
        MainForm main(session);
        InfoForm info(session, *ui(main).List_History, &main);
        for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&info)}) {
            QVERIFY(window->styleSheet().isEmpty());
            for (QWidget *widget : window->findChildren<QWidget *>()) {
                const QByteArray nameBytes = widget->objectName().toUtf8();
                const char *name = nameBytes.constData();
                QVERIFY2(widget->styleSheet().isEmpty(), name);
                if (widget == ui(info).Line4 || widget == ui(info).Line5)
                    continue;
                for (QPalette::ColorRole role :
                     {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text,
                      QPalette::Button, QPalette::ButtonText})
                    QVERIFY2(widget->palette().color(role) == dark.color(role), name);
            }
        }
    }

    // The Info window's title is black as designed where that reads well, on
    // a light background; on a dark one it takes the theme's text colour.
    void infoTitleStaysReadable_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QColor>("title");
        const auto themed = [](const QColor &window, const QColor &text) {
            QPalette palette;
            palette.setColor(QPalette::Window, window);
            palette.setColor(QPalette::WindowText, text);
            return palette;
        };
        QTest::newRow("light") << themed(QColor(0xef, 0xef, 0xef), Qt::black) << QColor(Qt::black);
        QTest::newRow("white with grey text")
            << themed(Qt::white, QColor(0x50, 0x50, 0x50)) << QColor(Qt::black);
        QTest::newRow("dark") << darkPalette() << darkPalette().color(QPalette::WindowText);
        QTest::newRow("mid grey with white text")
            << themed(QColor(0x5a, 0x5a, 0x5a), Qt::white) << QColor(Qt::white);
    }
    void infoTitleStaysReadable()
    {
        QFETCH(QPalette, palette);
        QFETCH(QColor, title);
        const QPalette original = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
        QApplication::setPalette(palette);
        LauncherSession session;
        MainForm main(session);
        InfoForm info(session, *ui(main).List_History, &main);
        const QPalette shown = ui(info).Label_AppTitle->palette();
        QCOMPARE(shown.color(QPalette::WindowText), title);
        QVERIFY2(contrast(title, shown.color(QPalette::Window)) >= 4.5,
                 qPrintable(QString::number(contrast(title, shown.color(QPalette::Window)))));
    }

    // On Wayland the app id must name the installed menu entry, or the window
    // gets a generic icon.
    void appIdNamesTheDesktopEntry()
    {
        const QString entry = QStringLiteral(NIMBREL_DATA_DIR "/") +
                              QGuiApplication::desktopFileName() + QStringLiteral(".desktop");
        QVERIFY2(QFile::exists(entry), qPrintable(entry));
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    // The application icon is assembled from these; a missing one would leave
    // that size blurred or blank without any error.
    void iconSizesAreBuiltIn_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 32, 48, 64})
            QTest::addRow("%d px", size) << size;
    }
    void iconSizesAreBuiltIn()
    {
        QFETCH(int, size);
        const QImage image(QStringLiteral(":/icons/nimbrel-launcher-%1.png").arg(size));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(size, size)));
    }

#ifdef Q_OS_LINUX
    // The icons are all PNG: a start that guessed their format would load every
    // image plug-in Qt has, and their libraries, before its window came up.
    void runningLauncherHoldsNoImagePlugin()
    {
        QProcess running;
        running.setProcessChannelMode(QProcess::ForwardedChannels);
        running.start(QStringLiteral(NIMBREL_LAUNCHER), QStringList());
        QVERIFY(running.waitForStarted());
        const auto end = qScopeGuard([&running] {
            running.terminate();
            running.waitForFinished(10000);
        });
        // Listening comes before the window; the answer to a second start
        // comes from the event loop, once the window is built and shown.
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(TestEnvironment::runtimeFolder())
                 .entryList({QStringLiteral("nimbrel-launcher.*")}, QDir::System)
                 .isEmpty(),
            20000);
        QProcess second;
        second.start(QStringLiteral(NIMBREL_LAUNCHER), QStringList());
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(running.state(), QProcess::Running);

        QFile maps(QStringLiteral("/proc/%1/maps").arg(running.processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Widgets"));
        QByteArrayList plugins;
        for (const QByteArray &line : mapped.split('\n'))
            if (line.contains("/imageformats/"))
                plugins << line.mid(line.lastIndexOf(' ') + 1);
        QVERIFY2(plugins.isEmpty(), plugins.join(' ').constData());
    }
#endif
};

NIMBREL_TEST_MAIN(TestDesktopIntegration)
#include "tst_desktopintegration.moc"
