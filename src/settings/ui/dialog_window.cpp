#include "settings/ui/dialog_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace vantora {

void MakeFixedDialog(QWidget* window, int width, int height)
{
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    window->setFixedSize(width, height);
}

void CenterOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

ActivationWatcher::ActivationWatcher(QWidget* window, std::function<void()> onActivate)
    : QObject(window), m_window(window), m_onActivate(std::move(onActivate))
{
    window->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &ActivationWatcher::onFocusWindowChanged);
}

bool ActivationWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Hide)
        m_active = false;
    return false;
}

void ActivationWatcher::onFocusWindowChanged(QWindow* now)
{
    if (!now)
        return;  // another application took the focus, or none has it
    const bool mine = now == m_window->windowHandle();
    if (mine && !m_active) {
        m_active = true;
        m_onActivate();
    } else if (!mine) {
        m_active = false;
    }
}

}  // namespace vantora
