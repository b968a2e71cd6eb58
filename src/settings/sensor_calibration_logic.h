#pragma once
// What the Sensors calibration dialog decides: which rotators may be calibrated, and the
// command 19 frames of its six buttons with the checks of the two position boxes.

#include "link/commands.h"

#include <cstdint>
#include <string_view>

namespace vantora {

enum class SensorOperation : std::uint8_t { Reset = 1, Invert = 2, WritePosition = 3 };

// A rotator's buttons are usable only when its sensor has a bus ID above 1.
bool SensorPresent(std::uint8_t sensorId);

// Reset or invert of rotator 1 or 2: sends command 19 and returns "Writing...".
std::string_view SendSensorOperation(std::uint8_t rotator, SensorOperation operation,
                                     CommandBuffer& buffer, FrameSink& sink);

// Write position from a box, read as a whole integer (ParseWholeInteger: leading blanks and a
// sign allowed, nothing after the digits). Rotator 1 takes 0..359; rotator 2 takes -45..180 and sends a
// negative angle as angle + 360. Returns "Writing..." when sent, "Error" when refused.
std::string_view WriteSensorPosition(std::uint8_t rotator, std::string_view text,
                                     CommandBuffer& buffer, FrameSink& sink);

}  // namespace vantora
