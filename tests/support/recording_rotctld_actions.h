#pragma once
// Records what rotctld commands do to the station, in order.

#include "net/rotctld_protocol.h"

#include <ostream>
#include <string>
#include <vector>

namespace vantora::test {

struct RotctldCall {
    std::string what;  // "set", "stop", "park"
    int code = 0;
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
    std::vector<RotctldCall> calls;
};

}  // namespace vantora::test
