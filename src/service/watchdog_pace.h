#pragma once
// How often a service tells the service manager's watchdog that it is alive. The manager gives
// its timeout (WATCHDOG_USEC); a keep-alive goes out at most every half of it, the pace the
// manager asks for, however often the poll path offers one. Times are microseconds of a
// monotonic clock.

#include <cstdint>

namespace vantora {

class WatchdogPace {
public:
    // 0: no watchdog, nothing is ever due.
    explicit WatchdogPace(std::uint64_t timeoutUsec = 0);

    bool Enabled() const { return m_intervalUsec > 0; }
    // The least time between two keep-alives.
    std::uint64_t IntervalUsec() const { return m_intervalUsec; }

    // True when a keep-alive is due at `nowUsec`: the first time, then once the interval has
    // passed since the last one this answered true for, which it takes as sent.
    bool Due(std::uint64_t nowUsec);

private:
    std::uint64_t m_intervalUsec;
    std::uint64_t m_lastUsec = 0;
    bool m_sentOnce = false;
};

}  // namespace vantora
