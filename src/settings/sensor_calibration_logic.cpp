#include "settings/sensor_calibration_logic.h"

#include "common/integer_text.h"
#include "settings/control_unit_logic.h"

#include <cstdint>

namespace vantora {

bool SensorPresent(std::uint8_t sensorId)
{
    return sensorId > 1;
}

std::string_view SendSensorOperation(std::uint8_t rotator, SensorOperation operation,
                                     CommandBuffer& buffer, FrameSink& sink)
{
    BuildSensor(buffer, rotator, static_cast<std::uint8_t>(operation));
    Odeslat(buffer, sink);
    return kStatusWriting;
}

std::string_view WriteSensorPosition(std::uint8_t rotator, std::string_view text,
                                     CommandBuffer& buffer, FrameSink& sink)
{
    const std::optional<std::int32_t> parsed = ParseWholeInteger(text);
    if (!parsed)
        return kStatusError;
    std::int32_t position = *parsed;
    const bool inRange = rotator == 2 ? position >= -45 && position <= 180
                                      : position >= 0 && position <= 359;
    if (!inRange)
        return kStatusError;
    if (position < 0)
        position += 360;
    BuildSensor(buffer, rotator, static_cast<std::uint8_t>(SensorOperation::WritePosition),
                static_cast<std::uint16_t>(position));
    Odeslat(buffer, sink);
    return kStatusWriting;
}

}  // namespace vantora
