#pragma once
// The two setpoint read-outs: the last target given to each rotator, and whether the control
// unit has acknowledged it (caption and value red) until the acknowledgement times out.

#include <string>

namespace vantora {

struct SetpointLabel {
    std::string value = "0°";  // what the setpoint label shows
    bool acknowledged = false;      // caption and value red; else caption black, value blue
    int counter = 0;                // poll ticks counted while acknowledged
};

// Whether two setpoints read the same on screen: the tick counter is not shown.
inline bool ShowsSame(const SetpointLabel& a, const SetpointLabel& b)
{
    return a.value == b.value && a.acknowledged == b.acknowledged;
}

struct Setpoints {
    SetpointLabel rotator1;  // Label3 (caption) and Label7 (value)
    SetpointLabel rotator2;  // Label4 (caption) and Label9 (value)
};

}  // namespace vantora
