#pragma once
// An up/down spin button: two small arrow buttons stacked, each reporting its clicks.

#include <QWidget>

class QToolButton;

namespace vantora {

class SpinButton : public QWidget {
    Q_OBJECT
public:
    // The arrow buttons are named `name` + "Up" and `name` + "Down".
    SpinButton(const QString& name, QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void upClicked();
    void downClicked();

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace vantora
