#pragma once
// The control unit's own settings as the simulated unit keeps them, and their text-file form.

#include <array>
#include <cstdint>
#include <string>

namespace vantora::sim {

// One LCD text: exactly 7 bytes, one Latin-1 character per byte.
using LcdText = std::array<std::uint8_t, 7>;

LcdText MakeLcdText(const std::string& text);  // low 8 bits of each byte, blank-padded/cut to 7
std::string LcdTextString(const LcdText& text);

inline constexpr std::uint8_t kModeAzimuth = 1;
inline constexpr std::uint8_t kModeElevation = 2;
inline constexpr std::uint8_t kMinMaxElevation = 30;   // degrees; bounds of maxElevation2
inline constexpr std::uint8_t kMaxMaxElevation = 180;
inline constexpr std::uint16_t kMaxLimitSwitch = 359;  // degrees

// Field names follow the settings report; the unit stores what commands 16, 17, 18 and 20 write.
struct UnitConfig {
    std::uint8_t sensorId1 = 10;      // bus IDs of the magnetic sensors (0 and 1: none fitted)
    std::uint8_t sensorId2 = 11;
    std::uint8_t sensitivity1 = 3;    // degrees
    std::uint8_t inertia1 = 2;        // degrees
    std::uint8_t inertiaTime1 = 25;   // tenths of a second
    std::uint16_t limitSwitch1 = 180; // degrees 0..359: the azimuth the rotator may not pass
    std::uint8_t sensitivity2 = 3;
    std::uint8_t inertia2 = 2;
    std::uint8_t inertiaTime2 = 25;
    std::uint8_t maxElevation2 = 90;  // degrees 30..180, elevation mode only
    std::uint16_t limitSwitch2 = 180; // degrees 0..359, azimuth mode only
    std::uint8_t mode2 = kModeElevation;  // 1 azimuth, 2 elevation (always stored as 1 or 2)
    LcdText lcdText1 = MakeLcdText("Azimut ");
    LcdText lcdText2 = MakeLcdText("Elevace");
    std::uint8_t display20 = 0;       // 0: 16-character display, 1: 20 characters

    bool operator==(const UnitConfig&) const = default;
};

// Brings every field into the range the unit accepts (limit switches 0..359, maximum elevation
// 30..180, mode 1 or 2, display 0 or 1).
void Normalize(UnitConfig& config);

// Text form, one "name=value" line per field. LCD texts escape bytes outside 33..126 and '%' as %XX
// so trailing blanks and any byte survive. Unknown names and malformed values are skipped (the
// field keeps what it had), so a damaged file never stops the unit from starting.
std::string FormatUnitConfig(const UnitConfig& config);
void ParseUnitConfig(const std::string& text, UnitConfig& config);

// File helpers; false when the file cannot be read / written. Saving goes through a temporary file
// and a rename, so a crash never leaves half a file behind.
bool LoadUnitConfig(const std::string& path, UnitConfig& config);
bool SaveUnitConfig(const std::string& path, const UnitConfig& config);

}  // namespace vantora::sim
