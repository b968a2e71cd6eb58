#pragma once
// Whether the link to the control unit is alive: the port could not be opened, the open port
// was lost (the device went away), or frames go out and no valid response has come back for a
// second. Times are milliseconds of a steady clock; the caller reports what happened and asks.

#include "link/link_status.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace vantora {

inline constexpr std::int64_t kNoAnswerAfterMs = 1000;  // polling without a valid response
inline constexpr std::int64_t kPollGapMs = 500;         // longer between frames: polling stopped
inline constexpr std::int64_t kReopenEveryMs = 2000;    // a lost port is tried again this often

class LinkHealth : public LinkStatus {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, never going back

    // Without a clock the steady clock of the standard library is used.
    explicit LinkHealth(Clock clock = {});

    void PortOpened();
    void PortOpenFailed();
    // The open failed because another program holds the device; not tried again by itself.
    void PortBusy();
    // The open device failed and was closed; it is tried again every kReopenEveryMs.
    void PortLost();
    void FrameSent();
    void ValidResponse();
    void PositionReported();

    // True once kReopenEveryMs have passed since the port was lost or last tried; the caller
    // then tries to open it and reports the outcome (PortOpened or ReopenFailed).
    bool ReopenDue() const;
    void ReopenFailed();

    LinkFault Fault() const override;
    bool PositionStale() const override;

private:
    enum class PortState { Closed, Open, OpenFailed, Busy, Lost };

    std::int64_t Now() const;

    Clock m_clock;
    PortState m_port = PortState::Closed;
    std::optional<std::int64_t> m_pollingSince;  // first frame of the present run of frames
    std::optional<std::int64_t> m_lastFrame;
    std::optional<std::int64_t> m_lastResponse;
    std::int64_t m_lastReopen = 0;
    bool m_positionKnown = false;
};

}  // namespace vantora
