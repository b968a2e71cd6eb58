#pragma once
// The hand drive from a browser: a jog turns while the page repeats it; a release, a jog in
// another direction, or 500 ms without a repeat lets it go, as a released arrow key.

#include "net/station_snapshot.h"

#include <cstdint>
#include <optional>

namespace vantora {

struct JogChange {
    std::optional<JogDirection> release;  // let this direction go first
    std::optional<JogDirection> press;    // then hold this one
    bool operator==(const JogChange&) const = default;
};

class JogHold {
public:
    static constexpr std::int64_t kReleaseAfterMs = 500;

    // A jog message: holds `direction` (a repeat of the held one only extends the hold).
    JogChange Press(JogDirection direction, std::int64_t nowMs);
    // A release message, or the console gone: what to let go, if anything is held.
    std::optional<JogDirection> Release();
    // The time passed: what to let go when the last repeat is 500 ms old.
    std::optional<JogDirection> Tick(std::int64_t nowMs);
    // When Tick releases, if anything is held.
    std::optional<std::int64_t> Deadline() const;

private:
    std::optional<JogDirection> m_held;
    std::int64_t m_lastMs = 0;
};

}  // namespace vantora
