#pragma once
// What the two dials, the read-outs and the map arrow show for the unit's last position report.
// The model is updated by ShowAzimut then ShowElevace after every report; the window sets its
// widgets from it.

#include "link/rotator_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantora {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kLightGreen{192, 220, 192};  // status 1, panels, idle centre dot
inline constexpr Rgb kSignalRed{255, 0, 0};       // status 0, selected rotator's centre dot
inline constexpr Rgb kSilver{192, 192, 192};      // status 255, or no report yet

// Where a dial's centre sits: the middle (full circle) or near the lower right corner (quarter).
enum class DialStyle { Center, Right };

// One shape property of AnalogGauge2. Reshaping sets them one by one in the order given, because
// the widget redraws after each.
enum class DialProperty { Style, Margin, Scale, Angle };

struct DialStep {
    DialProperty property = DialProperty::Style;
    DialStyle style = DialStyle::Center;  // for DialProperty::Style
    int value = 0;                        // for Margin (pixels), Scale and Angle (degrees)
    bool operator==(const DialStep&) const = default;
};

struct DialShape {
    DialStyle style = DialStyle::Right;
    int margin = 20;  // pixels
    int scale = 90;   // value at the end of the scale
    int angle = 90;   // degrees the scale spans
    bool operator==(const DialShape&) const = default;
};

inline constexpr DialShape kQuarterDial{DialStyle::Right, 20, 90, 90};
inline constexpr DialShape kFullDial{DialStyle::Center, 3, 360, 360};

struct DialModel {
    int position = 0;            // dial value; 180 points up on a full circle
    std::string caption = "0°";  // the dial's caption; the matching read-out label shows the same
    Rgb face = kSilver;
    Rgb centre = kLightGreen;
    bool operator==(const DialModel&) const = default;
};

struct PositionDisplay {
    DialModel gauge1{180};  // AnalogGauge1, rotator 1; its caption is also Label6's text
    DialModel gauge2{0};    // AnalogGauge2, rotator 2; its caption is also Label8's text
    DialShape gauge2Shape = kQuarterDial;
    int mapPosition = 180;         // AnalogGauge3: the map's beam arrow, as a dial value
    std::int32_t beamAzimuth = 0;  // last position of the rotator the map follows, degrees
    bool operator==(const PositionDisplay&) const = default;
};

// The parts of the display that differ from what the widgets were last given. A poll report
// that repeats the last values changes nothing, and then nothing is redrawn, laid out or
// reformatted. Before anything was shown (`shown` empty) every part counts as changed.
struct DisplayChange {
    bool gauge1 = false;  // dial, caption, face or centre of rotator 1 (and Label6)
    bool gauge2 = false;  // the same for rotator 2 (and Label8)
    bool map = false;     // the map's beam arrow
    bool Any() const { return gauge1 || gauge2 || map; }
};

DisplayChange ChangedParts(const PositionDisplay* shown, const PositionDisplay& now);

// Dial value of an azimuth: value 0 points down, so north is azimuth + 180, wrapped once.
// A reported position beyond 539 stays beyond 359.
int DialPosition(std::int32_t azimuth);

// Face colour for a rotator status byte (1 light green, 0 red, 255 silver); other values keep
// `previous`.
Rgb FaceColour(std::uint8_t status, Rgb previous);

// Rotator 1: dial, caption and Label6, face, the map when it follows rotator 1, and the red
// centre dot when rotator 1 is the active azimuth rotator.
void ShowAzimut(const RotatorState& state, PositionDisplay& display);

// Rotator 2: reshapes AnalogGauge2 when the reported mode needs the other shape than its scale
// shows, then dial, caption and Label8, face, the map when it follows rotator 2, and the red
// centre dot when rotator 2 is active. Returns the reshaping steps to apply to AnalogGauge2, in
// order, before its position (empty when the shape stays).
std::vector<DialStep> ShowElevace(const RotatorState& state, PositionDisplay& display);

}  // namespace vantora
