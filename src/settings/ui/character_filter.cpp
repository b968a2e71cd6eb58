#include "settings/ui/character_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace vantora {

CharacterFilter::CharacterFilter(QLineEdit* edit, Accept accept)
    : QObject(edit), m_edit(edit), m_accept(std::move(accept))
{
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setAcceptDrops(false);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->installEventFilter(this);
}

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_edit)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace)
            return !m_accept(m_edit->text(), 8);
        // Keys that type nothing (caret movement, Delete, focus keys) are not characters.
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
            || key->key() == Qt::Key_Backtab || key->text().isEmpty())
            return false;
        QString running = m_edit->text();
        for (char32_t c : key->text().toUcs4()) {
            if (!m_accept(running, c))
                return true;
            running.append(QString::fromUcs4(&c, 1));
        }
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // A middle click pastes the selection buffer on X11.
        return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

}  // namespace vantora
