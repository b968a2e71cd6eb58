#pragma once
// Target routing: every target of the program, whatever its source, goes through Nastav.

#include "link/rotator_state.h"
#include "link/setpoints.h"

#include <cstdint>
#include <string>

namespace vantora {

// Target codes of Nastav.
enum class TargetCode : int {
    SelectedAzimuth = 1,   // an azimuth for the selected azimuth rotator
    Elevation = 2,         // an elevation for rotator 2
    AzimuthElevation = 3,  // azimuth and elevation together (PARK, presets, tracking)
    Rotator1Azimuth = 4,   // an azimuth for rotator 1, whatever is selected
    Rotator2Azimuth = 5,   // an azimuth for rotator 2 as a second azimuth rotator
};

// The records a target is written into. The rotator state is only read: which rotator a target
// is meant for depends on the unit's last reported rotator 2 mode and active azimuth rotator.
struct NastavTarget {
    const RotatorState& state;
    GotoRequest& request;
    Setpoints& setpoints;
};

// Nastav ("set"): routes a target by `code` (TargetCode values; degrees in value1 = azimuth or
// the only value, value2 = elevation), stores it in the GotoRequest as its low 16 bits, flags it
// in `which` (replacing any earlier flag not yet sent) and shows the value given in the setpoint
// label. Ranges are the callers' business. A code/mode combination without a route changes
// nothing and returns false.
bool Nastav(int code, std::int32_t value1, std::int32_t value2, NastavTarget target);

}  // namespace vantora
