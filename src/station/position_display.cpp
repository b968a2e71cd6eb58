#include "station/position_display.h"

#include "common/angle_text.h"

namespace vantora {

namespace {

constexpr std::uint8_t kModeAzimuth = 1;
constexpr std::uint8_t kModeElevation = 2;

std::vector<DialStep> Reshape(const DialShape& shape, DialShape& current)
{
    current = shape;
    return {
        {DialProperty::Style, shape.style, 0},
        {DialProperty::Margin, DialStyle::Center, shape.margin},
        {DialProperty::Scale, DialStyle::Center, shape.scale},
        {DialProperty::Angle, DialStyle::Center, shape.angle},
    };
}

// The selected rotator's dial takes the red centre dot from the other, once per change.
void MarkSelected(DialModel& selected, DialModel& other)
{
    if (selected.centre == kLightGreen) {
        selected.centre = kSignalRed;
        other.centre = kLightGreen;
    }
}

}  // namespace

int DialPosition(std::int32_t azimuth)
{
    const std::int32_t position = azimuth + 180;
    return position > 359 ? position - 360 : position;
}

Rgb FaceColour(std::uint8_t status, Rgb previous)
{
    switch (status) {
    case 1:
        return kLightGreen;
    case 0:
        return kSignalRed;
    case 255:
        return kSilver;
    default:
        return previous;
    }
}

DisplayChange ChangedParts(const PositionDisplay* shown, const PositionDisplay& now)
{
    if (!shown)
        return {true, true, true};
    return {shown->gauge1 != now.gauge1, shown->gauge2 != now.gauge2, shown->mapPosition != now.mapPosition};
}

void ShowAzimut(const RotatorState& state, PositionDisplay& display)
{
    const std::int32_t a = state.position1;
    display.gauge1.position = DialPosition(a);
    if (state.rotator2Mode == kModeElevation || state.activeRotator == 0) {
        display.mapPosition = display.gauge1.position;
        display.beamAzimuth = a;
    }
    display.gauge1.caption = AngleText(a);
    display.gauge1.face = FaceColour(state.status1, display.gauge1.face);
    if (state.activeRotator == 0)
        MarkSelected(display.gauge1, display.gauge2);
}

std::vector<DialStep> ShowElevace(const RotatorState& state, PositionDisplay& display)
{
    const std::int32_t e = state.position2;
    std::vector<DialStep> steps;
    int position = 0;
    if (state.rotator2Mode == kModeAzimuth) {
        if (display.gauge2Shape.scale == kQuarterDial.scale)
            steps = Reshape(kFullDial, display.gauge2Shape);
        position = DialPosition(e);
    } else if (state.rotator2Mode == kModeElevation) {
        if (display.gauge2Shape.scale == kFullDial.scale)
            steps = Reshape(kQuarterDial, display.gauge2Shape);
        position = e;
    }
    display.gauge2.position = position;
    if (state.rotator2Mode == kModeAzimuth && state.activeRotator == 1) {
        display.mapPosition = position;
        display.beamAzimuth = e;
    }
    display.gauge2.caption = AngleText(e);
    display.gauge2.face = FaceColour(state.status2, display.gauge2.face);
    if (state.activeRotator == 1)
        MarkSelected(display.gauge2, display.gauge1);
    return steps;
}

}  // namespace vantora
