#include "link/link_health.h"

#include <algorithm>
#include <chrono>

namespace vantora {

LinkHealth::LinkHealth(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
    }
}

std::int64_t LinkHealth::Now() const
{
    return m_clock();
}

void LinkHealth::PortOpened()
{
    m_port = PortState::Open;
    m_pollingSince.reset();
    m_lastFrame.reset();
    // What was shown before the port opened is no longer known to hold.
    m_positionKnown = false;
}

void LinkHealth::PortOpenFailed()
{
    m_port = PortState::OpenFailed;
}

void LinkHealth::PortBusy()
{
    m_port = PortState::Busy;
}

void LinkHealth::PortLost()
{
    m_port = PortState::Lost;
    m_lastReopen = Now();
}

void LinkHealth::FrameSent()
{
    const std::int64_t now = Now();
    if (!m_lastFrame || now - *m_lastFrame > kPollGapMs)
        m_pollingSince = now;
    m_lastFrame = now;
}

void LinkHealth::ValidResponse()
{
    m_lastResponse = Now();
}

void LinkHealth::PositionReported()
{
    m_lastResponse = Now();
    m_positionKnown = true;
}

bool LinkHealth::ReopenDue() const
{
    return m_port == PortState::Lost && Now() - m_lastReopen >= kReopenEveryMs;
}

void LinkHealth::ReopenFailed()
{
    if (m_port == PortState::Lost)
        m_lastReopen = Now();
}

LinkFault LinkHealth::Fault() const
{
    switch (m_port) {
    case PortState::Lost:
        return LinkFault::PortLost;
    case PortState::OpenFailed:
        return LinkFault::UnableToOpen;
    case PortState::Busy:
        return LinkFault::PortBusy;
    case PortState::Closed:
        return LinkFault::None;
    case PortState::Open:
        break;
    }
    if (!m_lastFrame || !m_pollingSince)
        return LinkFault::None;
    // While frames go out, judge now; once they stopped, the verdict of the last frame stands
    // until a response comes.
    const std::int64_t now = Now();
    const std::int64_t judged = now - *m_lastFrame <= kPollGapMs ? now : *m_lastFrame;
    const std::int64_t waitingSince = std::max(*m_pollingSince, m_lastResponse.value_or(*m_pollingSince));
    return judged - waitingSince >= kNoAnswerAfterMs ? LinkFault::NoAnswer : LinkFault::None;
}

bool LinkHealth::PositionStale() const
{
    return !m_positionKnown || Fault() != LinkFault::None;
}

}  // namespace vantora
