#include "service/watchdog_pace.h"

namespace vantora {

WatchdogPace::WatchdogPace(std::uint64_t timeoutUsec) : m_intervalUsec(timeoutUsec / 2)
{
    // A timeout of 1 us would make the interval 0, which reads as "no watchdog".
    if (timeoutUsec > 0 && m_intervalUsec == 0)
        m_intervalUsec = 1;
}

bool WatchdogPace::Due(std::uint64_t nowUsec)
{
    if (!Enabled())
        return false;
    // A clock that went back (it should not) counts as due rather than silencing the watchdog.
    if (m_sentOnce && nowUsec >= m_lastUsec && nowUsec - m_lastUsec < m_intervalUsec)
        return false;
    m_sentOnce = true;
    m_lastUsec = nowUsec;
    return true;
}

}  // namespace vantora
