#include "link/ui/link_health_monitor.h"

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"

namespace vantora {

LinkHealthMonitor::LinkHealthMonitor(TCommPortDriver& port, LinkController& link, QObject* parent,
                                     LinkHealth::Clock clock)
    : QObject(parent), m_port(port), m_link(link), m_health(std::move(clock))
{
    m_framesSeen = m_link.counters.framesSent;
    m_responsesSeen = m_link.counters.validResponses;
    m_reportsSeen = m_link.counters.positionReports;
    if (m_port.Connected())
        m_health.PortOpened();
    connect(&m_port, &TCommPortDriver::portOpened, this, &LinkHealthMonitor::onOpened);
    connect(&m_port, &TCommPortDriver::portOpenFailed, this, &LinkHealthMonitor::onOpenFailed);
    connect(&m_port, &TCommPortDriver::portLost, this, [this] {
        m_timer.start();
        m_health.PortLost();
        check();
    });
    // An open port's receive poll brings the checks without a wake-up of their own; a closed
    // one has the timer, which also tries it again.
    connect(&m_port, &TCommPortDriver::receivePolled, this, &LinkHealthMonitor::check);
    m_timer.setInterval(kCheckEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &LinkHealthMonitor::check);
    if (!m_port.Connected())
        m_timer.start();
    m_fault = m_health.Fault();
    m_stale = m_health.PositionStale();
}

void LinkHealthMonitor::onOpened()
{
    m_timer.stop();
    m_health.PortOpened();
    check();
}

void LinkHealthMonitor::onOpenFailed()
{
    if (!m_timer.isActive())
        m_timer.start();
    if (m_reopening)
        m_health.ReopenFailed();
    else if (m_port.OpenFailedBusy())
        m_health.PortBusy();
    else
        m_health.PortOpenFailed();
    check();
}

void LinkHealthMonitor::check()
{
    const LinkController::Counters& counts = m_link.counters;
    if (counts.framesSent != m_framesSeen)
        m_health.FrameSent();
    if (counts.positionReports != m_reportsSeen)
        m_health.PositionReported();
    else if (counts.validResponses != m_responsesSeen)
        m_health.ValidResponse();
    m_framesSeen = counts.framesSent;
    m_responsesSeen = counts.validResponses;
    m_reportsSeen = counts.positionReports;

    if (m_health.ReopenDue() && !m_port.Connected()) {
        // The same COM n as before; its device may be back under the same name.
        m_reopening = true;
        m_port.Connect();
        m_reopening = false;
    }

    const LinkFault fault = m_health.Fault();
    const bool stale = m_health.PositionStale();
    if (fault == m_fault && stale == m_stale)
        return;
    m_fault = fault;
    m_stale = stale;
    Q_EMIT changed();
}

}  // namespace vantora
