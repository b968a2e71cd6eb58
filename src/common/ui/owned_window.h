#pragma once
// A secondary window that belongs to the main window for the window manager: it stays above the
// main window and comes to the front with it, even when it has no Qt parent (a dialog without a
// parent keeps working while the main window is disabled). Without this, Qt makes such a window
// transient for its own hidden helper window, and a click on the greyed main window can hide the
// dialog behind it.

#include <QObject>

#include <functional>

class QWidget;

namespace vantora {

class OwnedWindow : public QObject {
    Q_OBJECT
public:
    // `owner` gives the window to stay above when `window` is shown; it is asked each time, since
    // the main window gets a new native window when its layout changes. The watcher lives as
    // long as `window`.
    static void Attach(QWidget* window, std::function<QWidget*()> owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OwnedWindow(QWidget* window, std::function<QWidget*()> owner);
    void follow(bool again);  // transient for the owner's present native window

    QWidget* m_window;
    std::function<QWidget*()> m_owner;
};

}  // namespace vantora
