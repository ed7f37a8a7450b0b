#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace Nimbrel
{

// Keeps the user's hands off the program while it waits: every visible window
// is disabled (it still repaints) and the busy cursor shows. Clicks and keys
// made meanwhile are dropped, not replayed when the wait ends.
//
// A nested event loop that excludes user input only holds such input back and
// delivers it once the loop ends; so on release the held-back input is
// delivered first, while the windows are still disabled and ignore it, and
// only then are the windows enabled again.
class InputBlocker
{
public:
    InputBlocker();
    ~InputBlocker();

    InputBlocker(const InputBlocker &) = delete;
    InputBlocker &operator=(const InputBlocker &) = delete;

private:
    QList<QPointer<QWidget>> m_disabled;
    // Disabling a window takes the keyboard focus away from it.
    QPointer<QWidget> m_focus;
};

} // namespace Nimbrel
