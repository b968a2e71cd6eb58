#include "app/ui/arrow_key_tracker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace vantora {

ArrowKeyTracker::ArrowKeyTracker(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            clear();
    });
}

bool ArrowKeyTracker::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            // Arrows that walk an open menu or the menu bar are the operator's way through the
            // menus, not a request to turn the antenna.
            const bool down = type == QEvent::KeyPress && !menuHasKeyboard();
            switch (key->key()) {
            case Qt::Key_Right: m_keys.right = down; break;
            case Qt::Key_Left: m_keys.left = down; break;
            case Qt::Key_Up: m_keys.up = down; break;
            case Qt::Key_Down: m_keys.down = down; break;
            default: break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

bool ArrowKeyTracker::menuHasKeyboard()
{
    return QApplication::activePopupWidget() != nullptr ||
           qobject_cast<QMenuBar*>(QApplication::focusWidget()) != nullptr;
}

}  // namespace vantora
