#pragma once
// The simulated control unit on a pseudo-terminal, served from the test's own event loop, so
// that the program's real serial layer talks to it as to a real unit.

#include "event_wait.h"
#include "fault_injector.h"
#include "pty_transport.h"
#include "unit_model.h"
#include "unit_server.h"

#include <QTimer>

#include <memory>
#include <stdexcept>
#include <string>

namespace vantora::test {

class PtyUnit {
public:
    explicit PtyUnit(sim::UnitModelOptions options = {}, sim::UnitConfig config = {}, sim::FaultConfig faults = {})
        : model(options, config), injector(faults)
    {
        std::string error;
        if (!transport.open(error))
            throw std::runtime_error("pseudo-terminal: " + error);
        server = std::make_unique<sim::UnitServer>(model, injector, transport);
        m_pump.setInterval(2);
        QObject::connect(&m_pump, &QTimer::timeout, [this] { server->step(std::chrono::milliseconds(0)); });
        m_pump.start();
    }

    const std::string& path() const { return transport.slavePath(); }

    sim::UnitModel model;
    sim::FaultInjector injector;
    sim::PtyTransport transport;
    std::unique_ptr<sim::UnitServer> server;

private:
    QTimer m_pump;
};

}  // namespace vantora::test
