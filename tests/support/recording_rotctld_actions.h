#pragma once
// Records what rotctld commands do to the station, in order.

#include "net/rotctld_protocol.h"

#include <ostream>
#include <string>
#include <vector>

namespace vantora::test {

struct RotctldCall {
    std::string what;  // "set", "stop", "park", "move"
    int code = 0;      // "move": the keys held, as Hamlib's directions (2 up, 4 down, 8 left, 16 right)
    int azimuth = 0;
    int elevation = 0;
    bool operator==(const RotctldCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RotctldCall& call)
{
    return out << call.what << "(" << call.code << ", " << call.azimuth << ", " << call.elevation << ")";
}

class RecordingRotctldActions : public RotctldActions {
public:
    void SetPosition(int code, int azimuth, int elevation) override { calls.push_back({"set", code, azimuth, elevation}); }
    void Stop() override { calls.push_back({"stop"}); }
    void Park() override { calls.push_back({"park"}); }
    void Move(ArrowKeys keys) override
    {
        calls.push_back(
            {"move", (keys.up ? 2 : 0) | (keys.down ? 4 : 0) | (keys.left ? 8 : 0) | (keys.right ? 16 : 0)});
    }
    std::vector<RotctldCall> calls;
};

}  // namespace vantora::test
