#include "web/jog_hold.h"

namespace vantora {

JogChange JogHold::Press(JogDirection direction, std::int64_t nowMs)
{
    JogChange change;
    // A repeat that came too late is a new press after a release.
    if (m_held && nowMs - m_lastMs >= kReleaseAfterMs)
        change.release = Release();
    if (m_held && *m_held != direction)
        change.release = Release();
    if (!m_held) {
        m_held = direction;
        change.press = direction;
    }
    m_lastMs = nowMs;
    return change;
}

std::optional<JogDirection> JogHold::Release()
{
    const std::optional<JogDirection> held = m_held;
    m_held.reset();
    return held;
}

std::optional<JogDirection> JogHold::Tick(std::int64_t nowMs)
{
    if (m_held && nowMs - m_lastMs >= kReleaseAfterMs)
        return Release();
    return std::nullopt;
}

std::optional<std::int64_t> JogHold::Deadline() const
{
    if (!m_held)
        return std::nullopt;
    return m_lastMs + kReleaseAfterMs;
}

}  // namespace vantora
