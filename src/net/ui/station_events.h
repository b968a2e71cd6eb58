#pragma once
// The station's news for the remote consoles: changed() after anything in the snapshot may have
// changed (a report decoded, a setpoint set, tracking switched), at most once per poll tick.

#include <QObject>

namespace vantora {

class StationEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void changed();
};

}  // namespace vantora
