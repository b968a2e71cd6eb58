#pragma once
// Two listeners of the program on one protocol and port: the second could not listen, and its
// status would only say "address in use" without naming who holds it. The Network window finds
// such pairs before it applies anything.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct PortClaim {
    std::string protocol;    // "TCP", "UDP"
    std::uint16_t port = 0;  // 1..65535
};

// For each claim, the first other claim on the same protocol and port, if there is one.
std::vector<std::optional<std::size_t>> FindPortClashes(const std::vector<PortClaim>& claims);

}  // namespace vantora
