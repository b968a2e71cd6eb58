#pragma once
// Response frames as the control unit sends them: 42, source 1 (the unit), destination 0 (the
// program), length L = 1 + payload bytes, response code, payload, 8-bit sum of all bytes before it.

#include "unit_config.h"

#include <cstdint>
#include <vector>

namespace vantora::sim {

using Bytes = std::vector<std::uint8_t>;

// What a position report (response 10) carries. Positions are signed degrees; the frame carries
// them as unsigned 16-bit values, a negative rotator 2 position as 65536 + value.
struct PositionReport {
    int position1 = 0;
    std::uint8_t status1 = 1;       // 0, 1 or 255
    int position2 = 0;
    std::uint8_t status2 = 1;
    std::uint8_t rotator2Mode = kModeElevation;  // 1 azimuth, 2 elevation
    std::uint8_t activeRotator = 0;              // 0 rotator 1, 1 rotator 2
};

// Builds a complete response frame (header, payload, checksum) around `payload`.
Bytes BuildResponse(std::uint8_t code, const Bytes& payload);

Bytes BuildPositionReport(const PositionReport& report);  // 15 bytes
Bytes BuildSettingsReport(const UnitConfig& config);      // 37 bytes
Bytes BuildVersionReport(std::uint16_t firmwareVersion);  // 8 bytes
// Acknowledgement (response 100) of command `subCode`, followed by `extra` bytes (the rotator pairs
// of a go-to, the operation result of a sensor command).
Bytes BuildAck(std::uint8_t subCode, const Bytes& extra = {});

}  // namespace vantora::sim
