#pragma once
// Tells the service manager how the service is doing (the sd_notify protocol): ready once the
// listeners are up and the port has been tried, alive from the poll path for the watchdog, a
// one-line status, and stopping. Where the manager did not ask for this (no NOTIFY_SOCKET in
// the environment) every call does nothing, so the program runs the same without one.

#include "service/watchdog_pace.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace vantora {

class ServiceNotifier {
public:
    using Clock = std::function<std::uint64_t()>;  // microseconds, monotonic

    // Reads the environment once (NOTIFY_SOCKET, WATCHDOG_USEC, WATCHDOG_PID). Without a clock
    // the steady clock is used.
    explicit ServiceNotifier(Clock clock = {});

    // Whether the manager listens at all.
    bool active() const { return m_active; }
    // Whether it watches us, and how long it waits for a keep-alive (0 when it does not).
    bool watchdogEnabled() const { return m_pace.Enabled(); }
    std::uint64_t watchdogTimeoutUsec() const { return m_watchdogUsec; }

    // Each returns whether a message went out. READY=1 goes out once, however often asked.
    bool ready();
    // WATCHDOG=1, at most every half of the watchdog's timeout: cheap to call at every poll.
    bool watchdog();
    // STATUS=text, shown by systemctl status; one line.
    bool status(const QString& text);
    // STOPPING=1: the service is shutting down on purpose.
    bool stopping();

private:
    bool send(const QByteArray& message);

    Clock m_clock;
    bool m_active = false;
    bool m_readySent = false;
    std::uint64_t m_watchdogUsec = 0;
    WatchdogPace m_pace;
};

}  // namespace vantora
