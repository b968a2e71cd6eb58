#include "common/ui/owned_window.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace vantora {

OwnedWindow::OwnedWindow(QWidget* window, std::function<QWidget*()> owner)
    : QObject(window), m_window(window), m_owner(std::move(owner))
{
    window->installEventFilter(this);
}

void OwnedWindow::Attach(QWidget* window, std::function<QWidget*()> owner)
{
    new OwnedWindow(window, std::move(owner));
}

bool OwnedWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Qt sends Show before it maps the native window: the hint is in place when the window
    // manager first sees the window.
    if (watched == m_window && event->type() == QEvent::Show) {
        QWidget* owner = m_owner ? m_owner() : nullptr;
        QWindow* ownerWindow = owner && owner != m_window ? owner->window()->windowHandle() : nullptr;
        if (ownerWindow && m_window->windowHandle() && m_window->windowHandle()->transientParent() != ownerWindow)
            m_window->windowHandle()->setTransientParent(ownerWindow);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vantora
