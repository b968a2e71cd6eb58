#include "widgets/frame_meter.h"

#include <chrono>
#include <climits>

namespace vantora {

namespace {

class SteadyClock final : public FrameClock {
public:
    using Clock = std::chrono::steady_clock;

    std::int64_t Frequency() const override { return Clock::period::den / Clock::period::num; }
    std::int64_t Counter() const override { return Clock::now().time_since_epoch().count(); }
    std::uint32_t TickMs() const override
    {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            Clock::now().time_since_epoch());
        return static_cast<std::uint32_t>(ms.count());
    }
};

}  // namespace

const FrameClock& SteadyFrameClock()
{
    static const SteadyClock clock;
    return clock;
}

FrameMeter::FrameMeter(const FrameClock& clock)
{
    SetClock(clock);
}

void FrameMeter::SetClock(const FrameClock& clock)
{
    m_clock = &clock;
    m_period = clock.Frequency();
    m_ticker = -1;
}

void FrameMeter::Start()
{
    m_ticker = m_period != 0 ? m_clock->Counter() : static_cast<std::int64_t>(m_clock->TickMs());
}

bool FrameMeter::Finish()
{
    if (m_ticker == -1) return false;
    std::int64_t perSecond = m_period;
    std::int64_t elapsed = 0;
    if (m_period != 0) {
        elapsed = m_clock->Counter() - m_ticker;
    } else {
        perSecond = 1000;
        std::int64_t now = m_clock->TickMs();
        if (now < m_ticker) now += std::int64_t{1} << 32;  // the tick count wrapped once
        elapsed = now - m_ticker;
    }
    m_ticker = -1;
    if (elapsed <= 0) return false;
    std::int64_t frames = perSecond / elapsed;
    if (frames > INT_MAX) frames = INT_MAX;
    if (frames == m_frames) return false;
    m_frames = static_cast<int>(frames);
    return true;
}

}  // namespace vantora
