#pragma once
// Redraw rate of a gauge: how many pointer redraws per second the last one would allow.

#include <cstdint>

namespace vantora {

// Time source: a high-resolution counter (frequency 0 when there is none) and a 32-bit
// millisecond tick count that wraps after about 49.7 days.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual std::int64_t Frequency() const = 0;  // counter ticks per second, 0 when missing
    virtual std::int64_t Counter() const = 0;
    virtual std::uint32_t TickMs() const = 0;
};

// The monotonic clock of the standard library.
const FrameClock& SteadyFrameClock();

class FrameMeter {
public:
    explicit FrameMeter(const FrameClock& clock = SteadyFrameClock());

    // Uses `clock` from now on; it must outlive the meter.
    void SetClock(const FrameClock& clock);

    void Start();
    bool Running() const { return m_ticker != -1; }
    // Ends the measurement. Returns true when Frames changed. An elapsed time of zero (or a clock
    // that went backwards) leaves Frames as it was.
    bool Finish();
    int Frames() const { return m_frames; }

private:
    const FrameClock* m_clock;
    std::int64_t m_ticker = -1;  // start of the running measurement, -1 when none runs
    std::int64_t m_period = 0;   // counter ticks per second, 0: millisecond tick count is used
    int m_frames = 0;
};

}  // namespace vantora
