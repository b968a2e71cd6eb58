#pragma once
// One section of the Network window: a framed group for one outside interface, with its own
// controls and status line. The window fills every section from the stored values when it is
// shown, lets each store and apply its values on OK, and refreshes the status lines while shown.

#include <QGroupBox>

namespace vantora {

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
};

}  // namespace vantora
