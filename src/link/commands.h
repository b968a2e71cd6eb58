#pragma once
// Builders for every command frame, and Odeslat, which checksums and sends the shared buffer.
// Each builder writes offsets 0 .. 3+L of the CommandBuffer and nothing beyond.

#include "link/rotator_state.h"
#include "link/unit_frame.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantora {

struct ArrowKeys {
    bool right = false;
    bool left = false;
    bool up = false;
    bool down = false;
};

// Where frames go: the serial layer, or a test double.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual bool Connected() const = 0;
    virtual int SendData(const std::uint8_t* data, int size) = 0;  // bytes written
};

void BuildManual(CommandBuffer& buffer, const ArrowKeys& keys);
void BuildGoto(CommandBuffer& buffer, const GotoRequest& request);
void BuildStop(CommandBuffer& buffer);
void BuildReadSettings(CommandBuffer& buffer);
void BuildWriteSensorIds(CommandBuffer& buffer, std::uint8_t sensorId1, std::uint8_t sensorId2);
// lcdText: UTF-8, sent as exactly 7 characters (low 8 bits of each code point), blank-padded
// or cut; an empty text sends the unit's own default ("Azimut " and "Elevace").
void BuildWriteRotator1(CommandBuffer& buffer, const UnitSettings& settings, std::string_view lcdText);
void BuildWriteRotator2(CommandBuffer& buffer, const UnitSettings& settings, std::string_view lcdText);
// operation 1 reset, 2 invert, 3 write `position` (then required).
void BuildSensor(CommandBuffer& buffer, std::uint8_t rotator, std::uint8_t operation,
                 std::optional<std::uint16_t> position = std::nullopt);
void BuildWriteDisplay(CommandBuffer& buffer, std::uint8_t display20);
void BuildSelectRotator(CommandBuffer& buffer, std::uint8_t value);
void BuildReadVersion(CommandBuffer& buffer);

// Appends the checksum after offset 3+L and sends L+5 bytes when the sink is connected.
// Returns the bytes sent (0 when closed); callers are free to ignore it.
int Odeslat(CommandBuffer& buffer, FrameSink& sink);

}  // namespace vantora
