#pragma once
// Which of the four arrow keys are held down, program-wide. Auto-repeat is ignored, and all
// keys count as released once the program loses activation (a release may never reach us).
// Arrows pressed while a menu has the keyboard navigate the menu and drive nothing.

#include "link/commands.h"

#include <QObject>

namespace vantora {

class ArrowKeyTracker : public QObject {
    Q_OBJECT
public:
    explicit ArrowKeyTracker(QObject* parent = nullptr);

    ArrowKeys held() const { return m_keys; }
    void clear() { m_keys = {}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool menuHasKeyboard();

    ArrowKeys m_keys;
};

}  // namespace vantora
