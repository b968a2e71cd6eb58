#pragma once
// Whether the rotator positions the program holds are current: a valid position report arrived
// within the last second. The rotctld server asks this before it answers with a position.

#include <chrono>
#include <functional>
#include <optional>

namespace vantora {

class PositionFreshness {
public:
    virtual ~PositionFreshness() = default;
    virtual bool PositionFresh() const = 0;
};

// Counts from the time of the last valid position report: fresh for kFreshFor after it, stale
// before the first one and whenever reports stop (unit silent, port closed or lost).
class LastReportFreshness : public PositionFreshness {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFreshFor{1000};

    explicit LastReportFreshness(std::function<Clock::time_point()> now = Clock::now) : m_now(std::move(now)) {}

    void NoteValidReport() { m_lastReport = m_now(); }
    bool PositionFresh() const override { return m_lastReport && m_now() - *m_lastReport <= kFreshFor; }

private:
    std::function<Clock::time_point()> m_now;
    std::optional<Clock::time_point> m_lastReport;
};

}  // namespace vantora
