#include "windows/InputBlocker.h"

#include <QApplication>
#include <QGuiApplication>

namespace Nimbrel
{

InputBlocker::InputBlocker() : m_focus(QApplication::focusWidget())
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isEnabled()) {
            window->setEnabled(false);
            m_disabled.append(window);
        }
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

InputBlocker::~InputBlocker()
{
    QCoreApplication::processEvents();
    for (const QPointer<QWidget> &window : std::as_const(m_disabled)) {
        if (window)
            window->setEnabled(true);
    }
    QGuiApplication::restoreOverrideCursor();
    if (m_focus && m_focus->isVisible())
        m_focus->setFocus();
}

} // namespace Nimbrel
