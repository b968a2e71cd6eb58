#pragma once
// Watches the link for the read-outs and the servers: feeds the serial layer's opens and losses
// and the link controller's counts into LinkHealth, says when the verdict changes, and opens a
// lost port again every two seconds until its device is back.

#include "link/link_health.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

namespace vantora {

class LinkController;
class TCommPortDriver;

class LinkHealthMonitor : public QObject {
    Q_OBJECT
public:
    // While the port is closed; an open port is checked at each receive poll (every 50 ms).
    static constexpr int kCheckEveryMs = 100;

    // Both outlive the monitor. The port's state at this moment counts as its first open.
    LinkHealthMonitor(TCommPortDriver& port, LinkController& link, QObject* parent = nullptr,
                      LinkHealth::Clock clock = {});

    const LinkHealth& health() const { return m_health; }
    const LinkStatus& status() const { return m_health; }
    bool positionStale() const { return m_stale; }
    LinkFault fault() const { return m_fault; }

    // Reads the counts and the clock now (normally at each receive poll, or every kCheckEveryMs).
    void check();

Q_SIGNALS:
    // fault() or positionStale() changed.
    void changed();

private:
    void onOpened();
    void onOpenFailed();

    TCommPortDriver& m_port;
    LinkController& m_link;
    LinkHealth m_health;
    QTimer m_timer;
    std::uint64_t m_framesSeen = 0;
    std::uint64_t m_responsesSeen = 0;
    std::uint64_t m_reportsSeen = 0;
    bool m_reopening = false;
    LinkFault m_fault = LinkFault::None;
    bool m_stale = true;
};

}  // namespace vantora
