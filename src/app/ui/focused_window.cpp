#include "app/ui/focused_window.h"

#include <QWindow>

namespace vantora {

FocusedWindow ClassifyFocusedWindow(const QWindow* window, const QWindow* mainWindow)
{
    if (!window)
        return FocusedWindow::None;
    if (window == mainWindow)
        return FocusedWindow::Main;
    // Menus, combo box lists and tooltips are popups; a tooltip is a popup with one more bit.
    const Qt::WindowType type = window->type();
    if (type == Qt::Popup || type == Qt::ToolTip)
        return FocusedWindow::Popup;
    return FocusedWindow::OtherWindow;
}

}  // namespace vantora
