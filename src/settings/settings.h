#pragma once
// The in-memory copy of every stored setting, read once at start.

#include <array>
#include <cstdint>
#include <string>

namespace vantora {

inline constexpr int kPresetCount = 9;          // index 0 is the parking position
inline constexpr std::size_t kPresetNameMax = 20;  // characters kept of a stored preset name

struct Settings {
    std::int32_t Port = 1;       // serial port number, 1..10 for COM 1..COM 10
    std::int32_t Zoom = 10;      // map zoom state: 0,2,4,6,8,10 Europe 0..100 %; 11, 12 local map; 13 world
    std::int32_t Language = 0;   // 0 English, 1 Czech
    std::int32_t View = 0;       // 0 Basic, 1 Compact H, 2 Compact V
    std::int32_t SizeX = 999;    // client width, pixels
    std::int32_t SizeY = 624;    // client height, pixels
    std::int32_t SizeM = 0;      // 1 when maximized
    std::string Znacka;          // station callsign, up to 12 characters
    std::string Lokator = "JN89XX";  // home Maidenhead locator, upper case
    std::string MoonSked;        // folder of the MoonSked tracking file, ends with a separator
    std::string WSJT;            // folder of the WSJT tracking file, ends with a separator
    std::array<std::string, kPresetCount> PresetName{     // UTF-8; index 0 stays empty
        "", "Preset 1", "Preset 2", "Preset 3", "Preset 4",
        "Preset 5", "Preset 6", "Preset 7", "Preset 8"};
    std::array<std::int32_t, kPresetCount> PresetAzimuth{};   // degrees
    std::array<std::int32_t, kPresetCount> PresetElevation{}; // degrees
};

}  // namespace vantora
