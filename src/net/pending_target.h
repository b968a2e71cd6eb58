#pragma once
// Keeping a target that still waits for the poll tick. A new target replaces the flag of any
// earlier one not yet sent; a client that sets azimuth and elevation in two datagrams (Hamlib's
// PstRotator backend does) would so lose the azimuth whenever both arrive within one tick.

#include "link/rotator_state.h"

namespace vantora {

struct TargetCall {
    int code = 0;    // Nastav code: 1 azimuth (selected rotator), 2 elevation, 3 both
    int value1 = 0;  // azimuth, degrees
    int value2 = 0;  // elevation, degrees
    bool operator==(const TargetCall&) const = default;
};

// With rotator 2 as the elevation rotator, an azimuth (code 1) or elevation (code 2) while the
// other rotator's target is still pending becomes one call for both (code 3) with the pending
// value; every other call is returned unchanged.
TargetCall JoinPendingTarget(const TargetCall& call, const GotoRequest& pending, const RotatorState& state);

}  // namespace vantora
