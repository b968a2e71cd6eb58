#include "common/ui/owned_window.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace vantora {

OwnedWindow::OwnedWindow(QWidget* window, std::function<QWidget*()> owner)
    : QObject(window), m_window(window), m_owner(std::move(owner))
{
    window->installEventFilter(this);
    // A new native window for the owner (a layout change) while this one is shown.
    if (QWidget* present = m_owner ? m_owner() : nullptr)
        present->installEventFilter(this);
}

void OwnedWindow::Attach(QWidget* window, std::function<QWidget*()> owner)
{
    new OwnedWindow(window, std::move(owner));
}

bool OwnedWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Qt sends Show before it maps the native window: the hint is in place when the window
    // manager first sees the window.
    const bool shown = watched == m_window && event->type() == QEvent::Show;
    const bool ownerChanged = watched != m_window && event->type() == QEvent::WinIdChange && m_window->isVisible();
    if (shown || ownerChanged)
        follow(ownerChanged);
    return QObject::eventFilter(watched, event);
}

void OwnedWindow::follow(bool again)
{
    QWidget* owner = m_owner ? m_owner() : nullptr;
    QWindow* ownerWindow = owner && owner != m_window ? owner->window()->windowHandle() : nullptr;
    QWindow* own = m_window->windowHandle();
    if (!ownerWindow || !own)
        return;
    // The owner's QWindow may have stayed while its native window was made anew: set it again.
    if (again && own->transientParent() == ownerWindow)
        own->setTransientParent(nullptr);
    if (own->transientParent() != ownerWindow)
        own->setTransientParent(ownerWindow);
}

}  // namespace vantora
