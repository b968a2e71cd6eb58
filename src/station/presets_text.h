#pragma once
// The Presets window's logic: the info line and the go-to of a preset button.

#include "settings/settings.h"
#include "station/nastav.h"

#include <string>

namespace vantora {

inline constexpr int kFirstPreset = 1;  // index 0 is the parking position, not offered here
inline constexpr int kLastPreset = 8;

// MouseOnPreset: the info line for preset n (1..8), e.g. "A=225° E=10°"; empty for another n.
std::string MouseOnPreset(const Settings& settings, int n);

// GoPreset: preset n (1..8) through Nastav with code 3; false (nothing set) for another n or
// when Nastav found no route.
bool GoPreset(const Settings& settings, int n, NastavTarget target);

}  // namespace vantora
