#pragma once
// Validation and decoding of one delivery from the serial layer as one response frame.
// A delivery is dropped (no result) when its last byte is not the 8-bit sum of the bytes
// before it, when its source address is not the unit's, when its code is unknown, when it is
// too short for the fields of its code, or when it is longer than the ReplyBuffer.

#include "link/rotator_state.h"
#include "link/unit_frame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace vantora {

// Receives one delivery for decoding; the longest response decoded (code 15) needs 37 bytes.
using ReplyBuffer = std::array<std::uint8_t, kReplyBufferSize>;

// Response 10.
struct PositionReport {
    std::int32_t position1 = 0;      // degrees, 0..65535 as received
    std::uint8_t status1 = 0;        // 0, 1 or 255
    std::int32_t position2 = 0;      // degrees; received values above 65000 stand for value - 65536
    std::uint8_t status2 = 0;
    std::uint8_t rotator2Mode = 0;   // 1 azimuth, 2 elevation
    std::uint8_t activeRotator = 0;  // 0 rotator 1, 1 rotator 2
};

// Response 15.
struct SettingsReport {
    UnitSettings settings;
};

// Response 99.
struct VersionReport {
    std::uint16_t firmwareVersion = 0;  // high byte major, low byte minor
};

// Response 100: the code of the command acknowledged and the bytes that follow it.
struct AckReport {
    std::uint8_t subCode = 0;
    // Offsets 6..9. Sub-code 11: rotator 1 pair, rotator 2 pair; sub-code 19: [0] is the
    // operation result (11, 12 or 13). Bytes the delivery does not hold read as 0.
    std::array<std::uint8_t, 4> data{};
};

using DecodedResponse = std::variant<PositionReport, SettingsReport, VersionReport, AckReport>;

// Smallest delivery (header, fields, checksum) that carries every field of a response.
inline constexpr int kPositionReportSize = 15;
inline constexpr int kSettingsReportSize = 37;
inline constexpr int kVersionReportSize = 8;
inline constexpr int kAckReportSize = 7;        // sub-codes without further bytes
inline constexpr int kAckSensorReportSize = 8;  // sub-code 19
inline constexpr int kAckGotoReportSize = 11;   // sub-code 11

// Copies the delivery into `reply` (never past its end) and decodes it.
std::optional<DecodedResponse> DecodeDelivery(const std::uint8_t* data, int size, ReplyBuffer& reply);

}  // namespace vantora
