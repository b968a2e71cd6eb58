#include "net/pending_target.h"

namespace vantora {

namespace {

constexpr std::uint8_t kElevationMode = 2;  // rotator2Mode
constexpr std::uint16_t kRotator1 = 1;      // GotoRequest.which bits
constexpr std::uint16_t kRotator2 = 2;

}  // namespace

TargetCall JoinPendingTarget(const TargetCall& call, const GotoRequest& pending, const RotatorState& state)
{
    if (state.rotator2Mode != kElevationMode)
        return call;
    if (call.code == 1 && (pending.which & kRotator2))
        return {3, call.value1, pending.target2};
    if (call.code == 2 && (pending.which & kRotator1))
        return {3, pending.target1, call.value2};
    return call;
}

}  // namespace vantora
