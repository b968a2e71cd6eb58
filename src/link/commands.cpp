#include "link/commands.h"

#include "link/latin1_text.h"

#include <algorithm>
#include <string>

namespace vantora {

namespace {

constexpr std::size_t kLcdTextLength = 7;

// Header of a command frame with length byte `length` (1 + payload bytes).
void PutHeader(CommandBuffer& buffer, std::uint8_t length, CommandCode code)
{
    buffer[0] = kStartByte;
    buffer[1] = kProgramAddress;
    buffer[2] = kUnitAddress;
    buffer[3] = length;
    buffer[4] = static_cast<std::uint8_t>(code);
}

void PutWord(CommandBuffer& buffer, std::size_t offset, std::uint16_t value)
{
    buffer[offset] = static_cast<std::uint8_t>(value & 0xFF);
    buffer[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Seven bytes of LCD text followed by the 0 that ends it. An empty text gets the unit's
// factory text, so the display never goes blank by accident.
void PutLcdText(CommandBuffer& buffer, std::size_t offset, std::string_view utf8,
                std::string_view fallback)
{
    std::string bytes = Utf8ToLatin1(utf8.empty() ? fallback : utf8);
    bytes.resize(kLcdTextLength, ' ');
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + static_cast<std::ptrdiff_t>(offset));
    buffer[offset + kLcdTextLength] = 0;
}

// Commands whose only payload is one byte.
void BuildOneByte(CommandBuffer& buffer, CommandCode code, std::uint8_t value)
{
    PutHeader(buffer, 2, code);
    buffer[5] = value;
}

}  // namespace

void BuildManual(CommandBuffer& buffer, const ArrowKeys& keys)
{
    PutHeader(buffer, 5, CommandCode::CmdManual);
    buffer[5] = keys.right ? 1 : 0;
    buffer[6] = keys.left ? 1 : 0;
    buffer[7] = keys.up ? 1 : 0;
    buffer[8] = keys.down ? 1 : 0;
}

void BuildGoto(CommandBuffer& buffer, const GotoRequest& request)
{
    PutHeader(buffer, 7, CommandCode::CmdGoto);
    PutWord(buffer, 5, static_cast<std::uint16_t>(request.target1));
    buffer[7] = (request.which == 1 || request.which == 3) ? 1 : 0;
    PutWord(buffer, 8, static_cast<std::uint16_t>(request.target2));
    buffer[10] = (request.which == 2 || request.which == 3) ? 1 : 0;
}

void BuildStop(CommandBuffer& buffer)
{
    BuildOneByte(buffer, CommandCode::CmdStop, 1);
}

void BuildReadSettings(CommandBuffer& buffer)
{
    BuildOneByte(buffer, CommandCode::CmdReadSettings, 1);
}

void BuildWriteSensorIds(CommandBuffer& buffer, std::uint8_t sensorId1, std::uint8_t sensorId2)
{
    PutHeader(buffer, 3, CommandCode::CmdWriteSensorIds);
    buffer[5] = sensorId1;
    buffer[6] = sensorId2;
}

void BuildWriteRotator1(CommandBuffer& buffer, const UnitSettings& settings, std::string_view lcdText)
{
    PutHeader(buffer, 14, CommandCode::CmdWriteRotator1);
    buffer[5] = settings.sensitivity1;
    buffer[6] = settings.inertia1;
    buffer[7] = settings.inertiaTime1;
    PutWord(buffer, 8, settings.limitSwitch1);
    PutLcdText(buffer, 10, lcdText, "Azimut");
}

void BuildWriteRotator2(CommandBuffer& buffer, const UnitSettings& settings, std::string_view lcdText)
{
    PutHeader(buffer, 16, CommandCode::CmdWriteRotator2);
    buffer[5] = settings.sensitivity2;
    buffer[6] = settings.inertia2;
    buffer[7] = settings.inertiaTime2;
    buffer[8] = settings.maxElevation2;
    PutWord(buffer, 9, settings.limitSwitch2);
    buffer[11] = settings.mode2;
    PutLcdText(buffer, 12, lcdText, "Elevace");
}

void BuildSensor(CommandBuffer& buffer, std::uint8_t rotator, std::uint8_t operation,
                 std::optional<std::uint16_t> position)
{
    // Only "write position" carries a value; a missing one is sent as 0 rather than
    // leaving stale bytes from an earlier frame in the payload.
    const bool withPosition = operation == 3;
    PutHeader(buffer, withPosition ? 5 : 3, CommandCode::CmdSensor);
    buffer[5] = rotator;
    buffer[6] = operation;
    if (withPosition)
        PutWord(buffer, 7, position.value_or(0));
}

void BuildWriteDisplay(CommandBuffer& buffer, std::uint8_t display20)
{
    BuildOneByte(buffer, CommandCode::CmdWriteDisplay, display20);
}

void BuildSelectRotator(CommandBuffer& buffer, std::uint8_t value)
{
    BuildOneByte(buffer, CommandCode::CmdSelectRotator, value);
}

void BuildReadVersion(CommandBuffer& buffer)
{
    BuildOneByte(buffer, CommandCode::CmdReadVersion, 1);
}

int Odeslat(CommandBuffer& buffer, FrameSink& sink)
{
    // The length byte can be anything an earlier caller left; keep the checksum inside the buffer.
    const std::size_t length = std::min<std::size_t>(buffer[3], kCommandBufferSize - 5);
    const std::size_t checksumOffset = 4 + length;
    buffer[checksumOffset] = Checksum8(buffer.data(), checksumOffset);
    if (!sink.Connected())
        return 0;
    return sink.SendData(buffer.data(), static_cast<int>(checksumOffset + 1));
}

}  // namespace vantora
