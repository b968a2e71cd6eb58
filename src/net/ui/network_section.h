#pragma once
// One section of the Network window: a framed group for one outside interface, with its own
// controls and status line. The window fills every section from the stored values when it is
// shown, checks what they would listen on against each other, lets each store and apply its
// values on OK, then has every listener that should listen but does not try again, and
// refreshes the status lines while shown.

#include <QGroupBox>
#include <QString>

#include <utility>
#include <vector>

class QLabel;

namespace vantora {

// A port the section's controls ask to listen on.
struct ListenClaim {
    QString protocol;  // "TCP", "UDP"
    quint16 port = 0;
    QWidget* field = nullptr;  // the control that holds the port, for a message beside it; none when fixed
};

class NetworkSection : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // The window is being shown: controls back to the values in force (what Cancel left).
    virtual void load() {}
    // OK: store the controls' values and apply them at once.
    virtual void apply() {}
    // Show the interface's present state (listening, or why not).
    virtual void refreshStatus() {}

    // What the controls would listen on now (nothing while switched off).
    virtual std::vector<ListenClaim> claims() const { return {}; }
    // After OK applied every section: listen again when switched on and not listening, whatever
    // changed (another section may just have let go of the port).
    virtual void listenAgain() {}
    // Why the interface is switched on but does not listen (translated), empty when it listens
    // or is off.
    virtual QString listenProblem() const { return {}; }

    // A message beside `field` (made with withProblemLabel), until clearFieldProblems.
    void showFieldProblem(QWidget* field, const QString& text);
    void clearFieldProblems();

protected:
    // `field` with a hidden message label to its right, to put in the section's layout instead
    // of the field itself.
    QWidget* withProblemLabel(QWidget* field);

private:
    std::vector<std::pair<QWidget*, QLabel*>> m_problemLabels;
};

}  // namespace vantora
