#include "web/command_rate.h"

namespace vantora {

bool CommandRate::Take(std::int64_t nowMs)
{
    // m_times[m_next] is the oldest of the last 20 once the ring is full.
    if (m_count == kMaxPerSecond && nowMs - m_times[m_next] < kWindowMs)
        return false;
    m_times[m_next] = nowMs;
    m_next = (m_next + 1) % kMaxPerSecond;
    if (m_count < kMaxPerSecond)
        ++m_count;
    return true;
}

}  // namespace vantora
