#pragma once
// At most 20 commands in any second from one console: beyond that a message is refused.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantora {

class CommandRate {
public:
    static constexpr std::size_t kMaxPerSecond = 20;
    static constexpr std::int64_t kWindowMs = 1000;

    // True (and counted) when fewer than 20 messages were taken within the last second.
    bool Take(std::int64_t nowMs);

private:
    std::array<std::int64_t, kMaxPerSecond> m_times{};  // a ring of the last 20 taken
    std::size_t m_next = 0;
    std::size_t m_count = 0;
};

}  // namespace vantora
