#pragma once
// Window helpers shared by the settings dialogs: a fixed dialog frame centred on the screen,
// and the notice that a dialog became the program's active window.

#include <QObject>

#include <functional>

class QWidget;
class QWindow;

namespace vantora {

// Fixed dialog border with a close box, client area `width` x `height`.
void MakeFixedDialog(QWidget* window, int width, int height);

// Moves `window` to the centre of its screen's available area.
void CenterOnScreen(QWidget* window);

// Calls `onActivate` each time `window` becomes the active window of the program after another
// window of the program (or none, when it was hidden) was active. Coming back from another
// application does not count, so a dialog is not reset by switching programs.
class ActivationWatcher : public QObject {
    Q_OBJECT
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onFocusWindowChanged(QWindow* now);

    QWidget* m_window;
    std::function<void()> m_onActivate;
    bool m_active = false;
};

}  // namespace vantora
