#pragma once
// Which kind of window of the program a newly focused QWindow is, for the activation rule.

#include "app/activation_rule.h"

class QWindow;

namespace vantora {

// `window` is what QGuiApplication reports as the new focus window (null: another application
// has the focus); `mainWindow` is the main window's native window.
FocusedWindow ClassifyFocusedWindow(const QWindow* window, const QWindow* mainWindow);

}  // namespace vantora
