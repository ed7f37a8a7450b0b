#pragma once

#include "windows/TwipsLayout.h"

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <type_traits>

namespace Nimbrel
{

// One control as a window's table lists it: everything the window, its layout
// and the tests need to know about the control, in one place.
struct ControlRow {
    // How the layout treats the design rectangle.
    enum Placement {
        Scaled,           // scaled with the window; its caption sets the scale
        WidenedToCaption, // scaled, then as wide and tall as its caption needs
    };

    const char *objectName;
    TwipsRect rect;
    // Where Tab reaches the control, counted from 1; 0 where it never does.
    int tabPosition;
    // Marked for translation where the table is written; nullptr where the
    // text comes from the program's state rather than from the design.
    const char *caption = nullptr;
    Placement placement = Scaled;
};

// How a window's table is read. The table is a callable
// `forEachControl(ui, visit)` that calls `visit(member, row)` for each control
// of the Ui struct, in the order the controls are created.
namespace ControlTable
{

// Creates the controls a Ui struct stands for, named and captioned from their
// rows, and chains the ones Tab reaches in their positions' order. Captions
// are translated in `context`, the window class's own.
template <class Ui, class Table>
void setUp(Ui &ui, Table forEachControl, QWidget *window, const char *context)
{
    QMap<int, QWidget *> tabStops;
    forEachControl(ui, [&]<class Control>(Control *&member, const ControlRow &row) {
        if constexpr (std::is_constructible_v<Control, QWidget *>)
            member = new Control(window);
        else
            member = new Control(QString(), window);
        member->setObjectName(QLatin1String(row.objectName));
        if constexpr (requires { member->setText(QString()); }) {
            if (row.caption)
                member->setText(QCoreApplication::translate(context, row.caption));
        }
        if (row.tabPosition > 0)
            tabStops.insert(row.tabPosition, member);
    });
    const QList<QWidget *> order = tabStops.values();
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// The design rectangles of the controls placed as `placement` says, for
// TwipsLayout::apply.
template <class Ui, class Table>
QList<DesignedControl> placed(const Ui &ui, Table forEachControl, ControlRow::Placement placement)
{
    QList<DesignedControl> controls;
    forEachControl(ui, [&](QWidget *member, const ControlRow &row) {
        if (row.placement == placement)
            controls << DesignedControl{member, row.rect};
    });
    return controls;
}

// The controls of a window that was set up from the table, found by their
// object names and kinds; a member stays null where none is found.
template <class Ui, class Table> Ui find(const QWidget &window, Table forEachControl)
{
    Ui ui;
    forEachControl(ui, [&]<class Control>(Control *&member, const ControlRow &row) {
        member = window.findChild<Control *>(QLatin1String(row.objectName));
    });
    return ui;
}

// The object names of the members that are null.
template <class Ui, class Table> QStringList missing(const Ui &ui, Table forEachControl)
{
    QStringList names;
    forEachControl(ui, [&](const QWidget *member, const ControlRow &row) {
        if (!member)
            names << QLatin1String(row.objectName);
    });
    return names;
}

// Names the window's controls for screen readers by what they show: a button
// by its caption as shown ("&&" as one "&"), a label by its text, and the
// control a label stands for by that label's text.
void nameByCaptions(QWidget &window);

} // namespace ControlTable

} // namespace Nimbrel
