#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The main window's size and the rectangles of its ten controls in tab order,
// as the text that the floor window is built from.
struct WindowGeometry {
    QSize client;
    QList<QRect> controls;

    QString toText() const;
    static WindowGeometry fromText(const QString &text); // an empty client when malformed
    static WindowGeometry of(const QWidget *window, const QList<const QWidget *> &controls);
};

// The toolkit's floor: the main window's ten standard widgets with their
// captions and ten list items at the given places, with nothing of the
// launcher's own: no handlers, no settings store, no files, no icon. Set
// against the real window it shows what the launcher's own code costs.
QWidget *makeFloorWindow(const WindowGeometry &geometry);

// The controls of a floor window in the order of WindowGeometry::controls.
QList<const QWidget *> floorControls(const QWidget *window);
