#include "FloorWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStringList>

QString WindowGeometry::toText() const
{
    QStringList parts{QString::number(client.width()) + u'x' + QString::number(client.height())};
    for (const QRect &rect : controls)
        parts.append(QString::number(rect.x()) + u',' + QString::number(rect.y()) + u',' +
                     QString::number(rect.width()) + u',' + QString::number(rect.height()));
    return parts.join(u' ');
}

WindowGeometry WindowGeometry::fromText(const QString &text)
{
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    const QStringList size = parts.value(0).split(u'x');
    if (parts.size() != 11 || size.size() != 2)
        return {};
    WindowGeometry geometry{{size[0].toInt(), size[1].toInt()}, {}};
    for (const QString &part : parts.mid(1)) {
        const QStringList n = part.split(u',');
        if (n.size() != 4)
            return {};
        geometry.controls.append({n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()});
    }
    return geometry;
}

WindowGeometry WindowGeometry::of(const QWidget *window, const QList<const QWidget *> &controls)
{
    WindowGeometry geometry{window->size(), {}};
    for (const QWidget *control : controls)
        geometry.controls.append(control->geometry());
    return geometry;
}

QWidget *makeFloorWindow(const WindowGeometry &geometry)
{
    auto *window = new QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowTitle(QStringLiteral("Nimbrel Launcher, v1.25 - Dec 2024 / KQ"));
    // The launcher's font on Linux: the desktop's, never below 8 pt.
    QFont font = window->font();
    if (font.pointSizeF() < 8)
        font.setPointSizeF(8);
    window->setFont(font);

    // Created in tab order, which is also the order of their rectangles.
    auto *search = new QLineEdit(window);
    auto *list = new QListWidget(window);
    auto *label = new QLabel(QStringLiteral("Search Nimbrel for:"), window);
    auto *openSearch = new QPushButton(QStringLiteral("Open Nimbrel Search"), window);
    auto *exit = new QPushButton(QStringLiteral("Exit"), window);
    auto *info = new QPushButton(QStringLiteral("Info && Settings"), window);
    auto *mainPage = new QPushButton(QStringLiteral("Open Nimbrel\nMain Page"), window);
    auto *list1 = new QRadioButton(QStringLiteral("History List 1"), window);
    auto *list2 = new QRadioButton(QStringLiteral("History List 2"), window);
    auto *list3 = new QRadioButton(QStringLiteral("History List 3"), window);
    const QList<QWidget *> controls = {search, list,     label, openSearch, exit,
                                       info,   mainPage, list1, list2,      list3};

    // The state the launcher's window opens in: ten items, list 1 chosen, the
    // search button disabled.
    for (int i = 1; i <= 10; ++i)
        list->addItem(QStringLiteral("TERM-%1").arg(i, 7, 10, QLatin1Char('0')));
    list1->setChecked(true);
    openSearch->setEnabled(false);

    for (qsizetype i = 0; i < controls.size() && i < geometry.controls.size(); ++i)
        controls[i]->setGeometry(geometry.controls[i]);
    window->setFixedSize(geometry.client);
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    return window;
}

QList<const QWidget *> floorControls(const QWidget *window)
{
    QList<const QWidget *> controls;
    for (const QObject *child : window->children())
        if (child->isWidgetType())
            controls.append(static_cast<const QWidget *>(child));
    return controls;
}
