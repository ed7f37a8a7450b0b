#include "InfoWindowFixture.h"

#include "support/SessionOptions.h"
#include "windows/Contrast.h"
#include "windows/TwipsLayout.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStyleOptionButton>
#include <QTimer>

using namespace Nimbrel;

using namespace InfoWindowFixture;

namespace
{

// The five lines, the third naming where the wiki URL really is: the
// registry on Windows, the settings file elsewhere.
QString informationText()
{
    return QStringLiteral("There is one default setting that should never need changing and that "
                          "is the Nimbrel URL.\n") +
#ifdef Q_OS_WIN
           QStringLiteral("However, should it for some reason be needed anyway it is in the "
                          "Windows Registry at:\nHKEY_CURRENT_USER\\Software\\VB and VBA Program "
                          "Settings\\Nimbrel\\Settings\\WikiPath\n\n");
#else
           QStringLiteral("However, should it for some reason be needed anyway it is in the "
                          "settings file at:\n") +
           TestEnvironment::settingsFile() + QStringLiteral(", key WikiPath in [Settings]\n\n");
#endif
}

QString captionOf(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    return QString();
}

// Runs `check` on the modal window once it is up, then closes it with Close.
void whenInfoWindowOpens(const std::function<void(InfoForm *)> &check)
{
    whenModalOpens<InfoForm>([check](InfoForm *info) {
        const auto close = qScopeGuard([info] { ui(*info).Command_Exit->click(); });
        check(info);
    });
}

} // namespace

class TestInfoForm : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakeDesktop> fake;

private slots:
    void init()
    {
        TestEnvironment::reset();
        fake = std::make_unique<FakeDesktop>();
        writeSettings({}, 50);
    }
    void cleanup() { fake.reset(); }

    void designShowsTheFinalTextsUnclipped()
    {
        Windows w;
        InfoForm &info = *w.info;
        QCOMPARE(info.windowTitle(), QStringLiteral("General Info & Settings"));
        QCOMPARE(ui(info).Label_AppTitle->text(), QStringLiteral("Nimbrel Launcher"));
        QCOMPARE(ui(info).Label_AppVersion->text(),
                 QStringLiteral("Version ") + w.session->appVersion());
        QVERIFY(!w.session->appVersion().isEmpty());
        // The location may take the empty lines below it; screen readers have
        // the text as written.
        QCOMPARE(ui(info).Label_Info->text().remove(u'\n'), informationText().remove(u'\n'));
        QCOMPARE(ui(info).Label_Info->accessibleName(), informationText());
        QCOMPARE(ui(info).lblEmail->text(), QStringLiteral("author@nimbrel.example"));
        QCOMPARE(ui(info).Label_AppTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(!ui(info).Command_Apply->isEnabled());
        QCOMPARE(info.minimumSize(), info.maximumSize());

        // Every control sits inside the window, shows its whole caption and
        // overlaps no other control.
        QCOMPARE(layoutFaults(info), QString());
        QList<QWidget *> controls;
        for (QWidget *child : info.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!qobject_cast<QFrame *>(child) || qobject_cast<QLabel *>(child))
                controls << child;
        }
        QCOMPARE(controls.size(), 14);
        for (const QWidget *control : std::as_const(controls)) {
            // No access keys, and a name for screen readers.
            QVERIFY2(!captionOf(control).contains(u'&'), qPrintable(control->objectName()));
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        QCOMPARE(ui(info).Text_HistoryListMaxItems->accessibleName(), ui(info).Label1->text());
        QCOMPARE(ui(info).Label1->buddy(), ui(info).Text_HistoryListMaxItems);
        // Scaled alike: Close lines up with Copy key to Clipboard.
        QCOMPARE(ui(info).Command_Exit->x(), ui(info).Command_CopyKey->x());
        QCOMPARE(ui(info).Command_Exit->width(), ui(info).Command_CopyKey->width());

        // The separator: a dark 1-pixel line under a light 2-pixel one.
        QCOMPARE(ui(info).Line5->height(), 1);
        QCOMPARE(ui(info).Line4->height(), 2);
        QCOMPARE(ui(info).Line4->geometry().topLeft(), ui(info).Line5->geometry().topLeft());
        QCOMPARE(ui(info).Line4->width(), ui(info).Line5->width());
        QVERIFY(info.children().indexOf(ui(info).Line4) > info.children().indexOf(ui(info).Line5));
        QCOMPARE(ui(info).Line5->palette().color(QPalette::Window),
                 info.palette().color(QPalette::WindowText));
        QVERIFY(ui(info).Line5->y() > ui(info).lblEmail->geometry().bottom());
        QVERIFY(ui(info).Line5->y() > ui(info).CheckUpdate->geometry().bottom());
        QVERIFY(ui(info).Line5->y() < ui(info).Check_MoveItemToTop->y());

        // The e-mail address looks like a link, and only it changes the pointer.
        QVERIFY(ui(info).lblEmail->font().underline());
        QCOMPARE(ui(info).lblEmail->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(info.cursor().shape(), Qt::ArrowCursor);
        for (const QWidget *control : std::as_const(controls)) {
            if (control != ui(info).lblEmail)
                QVERIFY2(control->cursor().shape() != Qt::PointingHandCursor,
                         qPrintable(control->objectName()));
        }
    }

#ifndef Q_OS_WIN
    // The settings file's path is the user's: however long it is, the window
    // keeps its size, the location line gives up its middle, and the whole
    // location is still there for the tooltip, screen readers and the copy.
    void longSettingsPathKeepsTheWindowsSize_data()
    {
        QTest::addColumn<int>("configHomeLength");
        QTest::addColumn<QString>("shown"); // "one line", "whole", "shortened" or "any"
        QTest::newRow("short: on its own line") << 10 << QStringLiteral("one line");
        QTest::newRow("92 characters: whole") << 92 << QStringLiteral("whole");
        QTest::newRow("184 characters") << 184 << QStringLiteral("any");
        QTest::newRow("190 characters") << 190 << QStringLiteral("any");
        QTest::newRow("1000 characters: shortened") << 1000 << QStringLiteral("shortened");
    }
    void longSettingsPathKeepsTheWindowsSize()
    {
        QFETCH(int, configHomeLength);
        QFETCH(QString, shown);
        const auto restore = qScopeGuard([] {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                               TestEnvironment::root() + QStringLiteral("/config"));
        });
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/c"));
        const QSize designed = Windows().info->size();

        QString configHome =
            QStringLiteral("/home/user") + QStringLiteral("/sub folder").repeated(100);
        configHome.truncate(configHomeLength);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome);
        const QString location =
            configHome +
            QStringLiteral("/VB and VBA Program Settings/Nimbrel.conf, key WikiPath in "
                           "[Settings]");

        Windows w;
        InfoForm &info = *w.info;
        QCOMPARE(info.size(), designed);
        QCOMPARE(layoutFaults(info), QString());
        const QLabel *label = ui(info).Label_Info;
        const QStringList lines = label->text().split(u'\n');
        QCOMPARE(lines.size(), 5);
        for (const QString &line : lines)
            QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(line) <=
                         label->contentsRect().width(),
                     qPrintable(line));
        const QString locationShown = lines.mid(2).join(QString());
        if (shown == QStringLiteral("one line"))
            QCOMPARE(lines[2], location);
        if (shown == QStringLiteral("whole"))
            QCOMPARE(locationShown, location);
        if (shown == QStringLiteral("shortened"))
            QVERIFY(locationShown.contains(u'…'));
        QCOMPARE(label->toolTip(), locationShown == location ? QString() : location);
        QVERIFY(label->accessibleName().contains(location));

        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QTest::mouseClick(ui(info).Command_CopyKey, Qt::LeftButton);
        QCOMPARE(fake->clipboard, QStringList{location});
    }
#endif

    // Under light and dark colour schemes alike, every check box's and
    // option button's indicator and the separator stand out from the window
    // by at least 3:1, as drawn.
    void indicatorsAndLinesStandOut_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("the style's own light palette") << QApplication::style()->standardPalette();
        QPalette dark; // the colours of a common dark desktop scheme
        dark.setColor(QPalette::Window, QColor(0x2a, 0x2e, 0x32));
        dark.setColor(QPalette::WindowText, QColor(0xfc, 0xfc, 0xfc));
        dark.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
        dark.setColor(QPalette::AlternateBase, QColor(0x23, 0x26, 0x29));
        dark.setColor(QPalette::Text, QColor(0xfc, 0xfc, 0xfc));
        dark.setColor(QPalette::Button, QColor(0x31, 0x36, 0x3b));
        dark.setColor(QPalette::ButtonText, QColor(0xfc, 0xfc, 0xfc));
        dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
        dark.setColor(QPalette::Light, QColor(0x40, 0x46, 0x4c));
        dark.setColor(QPalette::Midlight, QColor(0x36, 0x3b, 0x40));
        dark.setColor(QPalette::Mid, QColor(0x1d, 0x20, 0x23));
        dark.setColor(QPalette::Dark, QColor(0x12, 0x14, 0x15));
        dark.setColor(QPalette::Shadow, QColor(0x0b, 0x0c, 0x0d));
        QTest::newRow("a dark scheme") << dark;
    }
    void indicatorsAndLinesStandOut()
    {
        QFETCH(QPalette, palette);
        const QPalette original = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
        QApplication::setPalette(palette);
        const QColor window = palette.color(QPalette::Window);
        const auto strongestContrast = [&window](const QImage &image, const QRect &area) {
            double best = 1.0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x)
                    best = std::max(best, Contrast::ratio(image.pixelColor(x, y), window));
            }
            return best;
        };

        Windows w;
        QList<QAbstractButton *> indicators;
        for (QWidget *window :
             {static_cast<QWidget *>(w.main.get()), static_cast<QWidget *>(w.info.get())}) {
            for (QCheckBox *check :
                 window->findChildren<QCheckBox *>(QString(), Qt::FindDirectChildrenOnly))
                indicators << check;
            for (QRadioButton *option :
                 window->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly))
                indicators << option;
        }
        QCOMPARE(indicators.size(), 5);
        for (QAbstractButton *button : std::as_const(indicators)) {
            button->setChecked(false);
            QStyleOptionButton option;
            option.initFrom(button);
            const bool radio = qobject_cast<QRadioButton *>(button);
            const QRect indicator = button->style()->subElementRect(
                radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option,
                button);
            const QImage drawn = button->grab().toImage();
            const double contrast = strongestContrast(drawn, indicator);
            QVERIFY2(contrast >= 3.0,
                     qPrintable(button->objectName() + u' ' + QString::number(contrast)));
        }

        w.info->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.info.get()));
        const QImage info = w.info->grab().toImage();
        for (QFrame *line : {ui(*w.info).Line4, ui(*w.info).Line5}) {
            const double contrast = strongestContrast(info, line->geometry());
            QVERIFY2(contrast >= 3.0,
                     qPrintable(line->objectName() + u' ' + QString::number(contrast)));
        }
    }

    // Both windows take the desktop's general font, face and size, never
    // below 8 pt, and grow with it so that every caption stays whole.
    void bothWindowsTakeTheDesktopFont_data()
    {
        QTest::addColumn<QFont>("desktop");
        QTest::addColumn<double>("points");
        QTest::newRow("small desktop font is raised to 8 pt") << QFont(u"DejaVu Sans"_qs, 6) << 8.0;
        QTest::newRow("usual desktop font") << QFont(u"DejaVu Sans"_qs, 10) << 10.0;
        QTest::newRow("large desktop font") << QFont(u"DejaVu Sans"_qs, 14) << 14.0;
        QTest::newRow("serif face") << QFont(u"DejaVu Serif"_qs, 11) << 11.0;
        QFont pixels(u"DejaVu Sans"_qs);
        pixels.setPixelSize(6);
        QTest::newRow("pixel-sized desktop font") << pixels << 8.0;
    }
    void bothWindowsTakeTheDesktopFont()
    {
        QFETCH(QFont, desktop);
        QFETCH(double, points);
        const QFont original = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(original); });
        QApplication::setFont(desktop);
        Windows w;
        for (const QWidget *window :
             {static_cast<QWidget *>(w.main.get()), static_cast<QWidget *>(w.info.get())}) {
#ifdef Q_OS_WIN
            // The designed face at the designed size, whatever the desktop
            // offers, and really drawn in it, not in a substitute.
            Q_UNUSED(points)
            QCOMPARE(window->font().family(), u"MS Sans Serif"_qs);
            QCOMPARE(window->font().pointSizeF(), 8.0);
            QCOMPARE(QFontInfo(window->font()).family(), u"MS Sans Serif"_qs);
#else
            QCOMPARE(window->font().family(), desktop.family());
            QCOMPARE(window->font().pointSizeF(), points);
#endif
            QCOMPARE(layoutFaults(*window), QString());
        }
        const QFont link = ui(*w.info).lblEmail->font();
        QVERIFY(link.underline());
#ifndef Q_OS_WIN
        QCOMPARE(link.family(), desktop.family());
        QCOMPARE(link.pointSizeF(), points);
#endif
    }

    void emailAddressAnswersALeftClickOnIt()
    {
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QTest::mouseClick(ui(info).lblEmail, Qt::RightButton);
        QTest::mouseClick(ui(info).Label_Info, Qt::LeftButton);
        QTest::mousePress(ui(info).lblEmail, Qt::LeftButton);
        QTest::mouseRelease(ui(info).lblEmail, Qt::LeftButton, {},
                            QPoint(ui(info).lblEmail->width() + 5, 2)); // let go beside it
        QVERIFY(fake->opened.isEmpty());

        QTest::mouseClick(ui(info).lblEmail, Qt::LeftButton);
        QCOMPARE(fake->opened.size(), 1);
        QVERIFY(fake->opened[0].file.startsWith(QStringLiteral("mailto:author@nimbrel.example")));
    }

    // The e-mail address is a link a screen reader announces as one, and the
    // keyboard opens it as a click does.
    void emailAddressIsALinkForTheKeyboardAndScreenReaders_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Enter") << Qt::Key_Return;
        QTest::newRow("keypad Enter") << Qt::Key_Enter;
        QTest::newRow("Space") << Qt::Key_Space;
    }
    void emailAddressIsALinkForTheKeyboardAndScreenReaders()
    {
        QFETCH(Qt::Key, key);
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowActive(&info));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), ui(info).lblEmail);
        QTest::keyClick(ui(info).lblEmail, key);
        QCOMPARE(fake->opened.size(), 1);
        QCOMPARE(fake->opened[0].file,
                 QStringLiteral("mailto:author@nimbrel.example?subject=Nimbrel Launcher"));
        QVERIFY(info.isVisible());

        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(ui(info).lblEmail);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), QStringLiteral("author@nimbrel.example"));
        QVERIFY(link->state().focusable);
        QVERIFY(link->state().focused);
        QAccessibleActionInterface *actions = link->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(fake->opened.size(), 2);
    }

    // What a screen reader finds in the window: named controls, and the
    // separator as a separator rather than as unnamed frames.
    void screenReadersFindNoUnnamedParts()
    {
        Windows w;
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(w.info.get());
        QCOMPARE(window->role(), QAccessible::Dialog);
        int separators = 0;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface *child = window->child(i);
            if (child->role() == QAccessible::Separator) {
                ++separators;
                continue;
            }
            QVERIFY2(!child->text(QAccessible::Name).isEmpty(),
                     qPrintable(child->object()->objectName()));
        }
        QCOMPARE(separators, 2);
    }

    void tabOrderStartsAtClose()
    {
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowActive(&info));
        QCOMPARE(QApplication::focusWidget(), ui(info).Command_Exit);

        const auto tabRound = [&info] {
            QStringList visited;
            for (int i = 0; i < 11; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << QApplication::focusWidget()->objectName();
                if (QApplication::focusWidget() == ui(info).Command_Exit)
                    break;
            }
            return visited;
        };
        QStringList expected{
            QStringLiteral("Command_CopyKey"),     QStringLiteral("CheckUpdate"),
            QStringLiteral("Check_CloseProgram"),  QStringLiteral("Text_HistoryListMaxItems"),
            QStringLiteral("Command_EditHistory"), QStringLiteral("Command_ClearHistoryList"),
            QStringLiteral("Check_MoveItemToTop"), QStringLiteral("lblEmail"),
            QStringLiteral("Command_Exit")};
        QCOMPARE(tabRound(), expected); // Apply is skipped while disabled

        ui(info).Text_HistoryListMaxItems->setText(QStringLiteral("20"));
        expected.insert(4, QStringLiteral("Command_Apply"));
        QCOMPARE(tabRound(), expected);
    }

    void onlyTheFocusedButtonAnswersEnterAndEscapeIsIgnored()
    {
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowActive(&info));
        ui(info).Text_HistoryListMaxItems->setFocus();
        QTest::keyClicks(ui(info).Text_HistoryListMaxItems, QStringLiteral("5"));
        QCOMPARE(ui(info).Text_HistoryListMaxItems->text(), QStringLiteral("505"));
        ui(info).Text_HistoryListMaxItems->setText(QStringLiteral("20"));
        QTest::keyClick(ui(info).Text_HistoryListMaxItems, Qt::Key_Return);
        QTest::keyClick(ui(info).Text_HistoryListMaxItems, Qt::Key_Escape);
        QVERIFY(info.isVisible());
        QVERIFY(ui(info).Command_Apply->isEnabled());
        QCOMPARE(w.session->historyListMaxItems(), qint16(50));
        QVERIFY(fake->messages.isEmpty());

        // Enter does click the button that has the focus.
        ui(info).Command_Apply->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), ui(info).Command_Apply);
        QTest::keyClick(ui(info).Command_Apply, Qt::Key_Return);
        QCOMPARE(w.session->historyListMaxItems(), qint16(20));
    }

    void openingReflectsStateWithoutChangingIt_data()
    {
        QTest::addColumn<OptionSetting>("close");
        QTest::addColumn<OptionSetting>("move");
        QTest::addColumn<int>("maxItems");
        QTest::newRow("both off as stored") << OffAsStored << OffAsStored << 10;
        QTest::newRow("both on as stored") << OnAsStored << OnAsStored << 50;
        QTest::newRow("switched off in this run") << SwitchedOff << SwitchedOff << 20;
        QTest::newRow("switched on in this run") << SwitchedOn << SwitchedOn << 20;
        QTest::newRow("mixed") << OnAsStored << SwitchedOff << 35;
        QTest::newRow("size below range from the store") << OffAsStored << OffAsStored << 5;
        QTest::newRow("negative size from the store") << OffAsStored << OffAsStored << -3;
    }
    void openingReflectsStateWithoutChangingIt()
    {
        QFETCH(OptionSetting, close);
        QFETCH(OptionSetting, move);
        QFETCH(int, maxItems);
        LauncherSession session;
        MainForm main(session);
        session.setCloseWhenBrowserOpen(close);
        session.setMoveItemToTop(move);
        session.setHistoryListMaxItems(qint16(maxItems));
        InfoForm info(session, *ui(main).List_History, &main);
        QCOMPARE(ui(info).Check_CloseProgram->isChecked(), close.on);
        QCOMPARE(ui(info).Check_MoveItemToTop->isChecked(), move.on);
        QCOMPARE(ui(info).Text_HistoryListMaxItems->text(), QString::number(maxItems));
        QVERIFY(!ui(info).Command_Apply->isEnabled());
        QVERIFY(info.formLoaded());
        QCOMPARE(session.closeWhenBrowserOpen(), close);
        QCOMPARE(session.moveItemToTop(), move);
        QCOMPARE(session.historyListMaxItems(), qint16(maxItems));
    }

    void checkBoxesCycleFlagsAndExitStoresThem()
    {
        writeSettings("MoveSearchedtItemToTop=1\n", 50);
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QVERIFY(ui(info).Check_MoveItemToTop->isChecked());
        QCOMPARE(w.session->moveItemToTop(), OnAsStored);

        QTest::mouseClick(ui(info).Check_CloseProgram, Qt::LeftButton);
        QCOMPARE(w.session->closeWhenBrowserOpen(), SwitchedOn);
        QTest::mouseClick(ui(info).Check_CloseProgram, Qt::LeftButton);
        QCOMPARE(w.session->closeWhenBrowserOpen(), SwitchedOff);
        QTest::mouseClick(ui(info).Check_MoveItemToTop, Qt::LeftButton);
        QCOMPARE(w.session->moveItemToTop(), SwitchedOff);
        QCOMPARE(storedSetting(QStringLiteral("MoveSearchedtItemToTop")), QStringLiteral("1"));

        ui(info).Command_Exit->click();
        QVERIFY(!info.isVisible());
        w.main->close();
        QCOMPARE(storedSetting(QStringLiteral("CloseWhenBrowserOpen")), QStringLiteral("0"));
        QCOMPARE(storedSetting(QStringLiteral("MoveSearchedtItemToTop")), QStringLiteral("0"));
    }

    void historySize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("applied"); // 0: Apply stays disabled
        // The rule's every case is in tst_historysize; these rows show the wiring.
        QTest::newRow("lowest") << QStringLiteral("10") << 10;
        QTest::newRow("just above") << QStringLiteral("51") << 0;
        QTest::newRow("half to even, up") << QStringLiteral("11.5") << 12;
        QTest::newRow("trailing letters") << QStringLiteral("20abc") << 20;
    }
    void historySize()
    {
        QFETCH(QString, text);
        QFETCH(int, applied);
        writeBytes(listFile(1), numberedLines(1, 60));
        Windows w;
        InfoForm &info = *w.info;
        QCOMPARE(ui(*w.main).List_History->count(), 50);
        // What the file holds by the time of Apply is what the list must show.
        writeBytes(listFile(1), numberedLines(101, 60));

        ui(info).Text_HistoryListMaxItems->setText(QStringLiteral("x")); // a change either way
        ui(info).Text_HistoryListMaxItems->setText(text);
        QCOMPARE(ui(info).Command_Apply->isEnabled(), applied != 0);
        if (applied == 0) {
            QMetaObject::invokeMethod(&info, "applyListSize"); // even from code, no change
            QCOMPARE(w.session->historyListMaxItems(), qint16(50));
            QCOMPARE(ui(*w.main).List_History->item(0)->text(), QStringLiteral("ITEM 1"));
            return;
        }
        QTest::mouseClick(ui(info).Command_Apply, Qt::LeftButton);
        QCOMPARE(w.session->historyListMaxItems(), qint16(applied));
        QCOMPARE(storedSetting(QStringLiteral("HistoryListMaxItems")), QString::number(applied));
        QCOMPARE(ui(*w.main).List_History->count(), applied);
        QCOMPARE(ui(*w.main).List_History->item(0)->text(), QStringLiteral("ITEM 101"));
        QVERIFY(!ui(info).Command_Apply->isEnabled());
        QCOMPARE(ui(info).Text_HistoryListMaxItems->text(), text);
    }

    void doubleClickEmptiesTheBox()
    {
        Windows w;
        InfoForm &info = *w.info;
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        ui(info).Text_HistoryListMaxItems->setText(QStringLiteral("20"));
        QVERIFY(ui(info).Command_Apply->isEnabled());
        QTest::mouseDClick(ui(info).Text_HistoryListMaxItems, Qt::LeftButton);
        QCOMPARE(ui(info).Text_HistoryListMaxItems->text(), QString());
        QVERIFY(!ui(info).Command_Apply->isEnabled());
    }

    void applyLowersTheListButKeepsTheFile()
    {
        const QByteArray file = numberedLines(1, 35);
        writeBytes(listFile(1), file);
        Windows w;
        w.info->show();
        QCOMPARE(ui(*w.main).List_History->count(), 35);
        ui(*w.info).Text_HistoryListMaxItems->setText(QStringLiteral("20"));
        ui(*w.info).Command_Apply->click();
        QCOMPARE(listTexts(*ui(*w.main).List_History),
                 QString::fromLatin1(numberedLines(1, 20))
                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
        QCOMPARE(readBytes(listFile(1)), file);
        QCOMPARE(w.session->historyModified(), false);
        QVERIFY(w.info->isVisible());
    }

    void applyKeepsSearchesNotYetSaved()
    {
        writeBytes(listFile(1), "OLD 1\r\nOLD 2\r\n");
        Windows w;
        QListWidget &list = *ui(*w.main).List_History;
        list.insertItem(0, QStringLiteral("NEW"));
        w.session->setHistoryModified(true);
        ui(*w.info).Text_HistoryListMaxItems->setText(QStringLiteral("10"));
        ui(*w.info).Command_Apply->click();
        const QStringList expected{QStringLiteral("NEW"), QStringLiteral("OLD 1"),
                                   QStringLiteral("OLD 2")};
        QCOMPARE(listTexts(list), expected);
        QCOMPARE(readBytes(listFile(1)), QByteArray("NEW\r\nOLD 1\r\nOLD 2\r\n"));
        QCOMPARE(w.session->historyModified(), false);
    }

    void helpButtonOpensAFreshModalWindowEachTime()
    {
        LauncherSession session;
        MainForm main(session);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        int openings = 0;
        whenInfoWindowOpens([&](InfoForm *info) {
            ++openings;
            QVERIFY(info->isModal());
            QCOMPARE(info->parentWidget(), &main);
            QVERIFY((info->geometry().center() - main.geometry().center()).manhattanLength() <= 4);
            QVERIFY(QTest::qWaitForWindowActive(info));
            QTRY_COMPARE(QApplication::focusWidget(), ui(*info).Command_Exit);
            QTest::keyClicks(ui(*info).Text_HistoryListMaxItems, QStringLiteral("3"));
            QCOMPARE(ui(*info).Text_HistoryListMaxItems->text(), QStringLiteral("503"));
            ui(*info).Text_HistoryListMaxItems->setText(QStringLiteral("30"));
            QVERIFY(ui(*info).Command_Apply->isEnabled());
        });
        QTest::mouseClick(ui(main).Command_Help, Qt::LeftButton);
        QCOMPARE(openings, 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // Closing dropped the typed size.
        QCOMPARE(session.historyListMaxItems(), qint16(50));
        QCOMPARE(storedSetting(QStringLiteral("HistoryListMaxItems")), QStringLiteral("50"));

        whenInfoWindowOpens([&](InfoForm *info) {
            ++openings;
            QCOMPARE(ui(*info).Text_HistoryListMaxItems->text(), QStringLiteral("50"));
            QVERIFY(!ui(*info).Command_Apply->isEnabled());
        });
        ui(main).Command_Help->click();
        QCOMPARE(openings, 2);
    }
};

NIMBREL_TEST_MAIN(TestInfoForm)
#include "tst_infoform.moc"
