#pragma once

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace Nimbrel
{

// Neither window has a default button, so Enter does what Space does: it
// presses the push button that has the focus, and nothing else.

inline bool isEnterKey(const QKeyEvent &event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// Presses the push button that has the focus in `window`; false when the
// focus is elsewhere.
inline bool pressFocusedButton(const QWidget &window)
{
    auto *button = qobject_cast<QPushButton *>(window.focusWidget());
    if (!button)
        return false;
    button->click();
    return true;
}

} // namespace Nimbrel
