#include "station/nastav.h"

#include "common/angle_text.h"

#include <string>

namespace vantora {

namespace {

constexpr std::uint8_t kModeAzimuth = 1;
constexpr std::uint8_t kModeElevation = 2;

// The request carries 16-bit targets; anything wider keeps its low 16 bits, as the frame would.
std::int16_t Low16(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)));
}

void SetRotator1(NastavTarget& t, std::int32_t value)
{
    t.request.target1 = Low16(value);
    t.setpoints.rotator1.value = AngleText(value);
}

void SetRotator2(NastavTarget& t, std::int32_t value)
{
    t.request.target2 = Low16(value);
    t.setpoints.rotator2.value = AngleText(value);
}

}  // namespace

bool Nastav(int code, std::int32_t value1, std::int32_t value2, NastavTarget target)
{
    const std::uint8_t mode = target.state.rotator2Mode;
    const std::uint8_t selected = target.state.activeRotator;
    // The azimuth for "the selected azimuth rotator" goes to rotator 1 when rotator 2 turns in
    // elevation; only a second azimuth rotator can be the selected one.
    const bool toRotator1 = mode == kModeElevation || (mode == kModeAzimuth && selected == 0);
    const bool toRotator2 = mode == kModeAzimuth && selected == 1;

    switch (static_cast<TargetCode>(code)) {
    case TargetCode::SelectedAzimuth:
        if (toRotator1) {
            SetRotator1(target, value1);
            target.request.which = 1;
            return true;
        }
        if (toRotator2) {
            SetRotator2(target, value1);
            target.request.which = 2;
            return true;
        }
        return false;
    case TargetCode::Elevation:
        if (mode != kModeElevation)
            return false;
        SetRotator2(target, value2);
        target.request.which = 2;
        return true;
    case TargetCode::AzimuthElevation:
        if (mode == kModeElevation) {
            SetRotator1(target, value1);
            SetRotator2(target, value2);
            target.request.which = 3;
            return true;
        }
        // Two azimuth rotators: the elevation has nowhere to go and is dropped.
        if (toRotator1) {
            SetRotator1(target, value1);
            target.request.which = 1;
            return true;
        }
        if (toRotator2) {
            SetRotator2(target, value1);
            target.request.which = 2;
            return true;
        }
        return false;
    case TargetCode::Rotator1Azimuth:
        SetRotator1(target, value1);
        target.request.which = 1;
        return true;
    case TargetCode::Rotator2Azimuth:
        if (mode != kModeAzimuth)
            return false;
        SetRotator2(target, value1);
        target.request.which = 2;
        return true;
    }
    return false;
}

}  // namespace vantora
