#pragma once
// Screens the characters typed into a line edit before the edit takes them, the way a key
// filter does: only typed characters pass through it, so it also keeps paste, drops and input
// methods away from the box.

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

namespace vantora {

class CharacterFilter : public QObject {
    Q_OBJECT
public:
    // `accept` gets the box's current text and the typed character (8 for backspace).
    using Accept = std::function<bool(const QString& current, char32_t typed)>;

    // Installs itself on `edit`, which owns it.
    CharacterFilter(QLineEdit* edit, Accept accept);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    Accept m_accept;
};

}  // namespace vantora
