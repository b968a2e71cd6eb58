#pragma once
// What the control unit last told us, and the requests the poll cycle sends on its next tick.

#include <cstdint>
#include <string>

namespace vantora {

// The unit's own settings, as reported by response 15 and edited by the control-unit dialog.
struct UnitSettings {
    std::uint8_t sensorId1 = 0;      // bus ID of magnetic sensor 1
    std::uint8_t sensorId2 = 0;      // bus ID of magnetic sensor 2
    std::uint8_t sensitivity1 = 0;   // degrees
    std::uint8_t inertia1 = 0;       // degrees
    std::uint8_t inertiaTime1 = 0;   // tenths of a second
    std::uint16_t limitSwitch1 = 0;  // degrees, 0..359
    std::uint8_t sensitivity2 = 0;   // degrees
    std::uint8_t inertia2 = 0;       // degrees
    std::uint8_t inertiaTime2 = 0;   // tenths of a second
    std::uint8_t maxElevation2 = 0;  // degrees, 30..180
    std::uint16_t limitSwitch2 = 0;  // degrees, 0..359
    std::uint8_t mode2 = 0;          // 2 elevation, anything else azimuth
    std::string lcdText1;            // 7 characters, one Latin-1 character per byte (UTF-8 here)
    std::string lcdText2;
    std::uint8_t display20 = 0;      // 0: 16-character display, else 20
};

struct RotatorState {
    std::int32_t position1 = 0;        // degrees, 0..65535 as received
    std::uint8_t status1 = 0;          // 0, 1 or 255 (255 reads as -1)
    std::int32_t position2 = 0;        // degrees, -535..65000 (received values above 65000 wrap)
    std::uint8_t status2 = 0;
    std::uint8_t rotator2Mode = 0;     // 1 azimuth, 2 elevation
    std::uint8_t activeRotator = 0;    // active azimuth rotator: 0 rotator 1, 1 rotator 2
    UnitSettings settings;
    std::uint16_t firmwareVersion = 0; // high byte major, low byte minor; 0 = not yet known
    bool firmwareTooOld = false;       // set once a version below 263 was reported
};

// Written by Nastav, sent and cleared (only `which`) by the next poll tick.
struct GotoRequest {
    std::int16_t target1 = 0;   // degrees
    std::int16_t target2 = 0;   // degrees
    std::uint16_t which = 0;    // 0 nothing pending, 1 rotator 1, 2 rotator 2, 3 both
};

// Raised by Space in the target box, sent as command 21 by the next poll tick.
struct SelectRequest {
    bool pending = false;
    std::uint8_t value = 0;     // 0 rotator 1, 1 rotator 2
};

}  // namespace vantora
