#pragma once
// Built-in tracking of the Moon or the Sun: where the home station sees the body, and what the
// tracking read-out shows and the rotators are sent.

#include "sky/sky_position.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

// The centre of the stored home locator's six-character square, height 0 m; a stored text that
// is not a locator stands for the default home locator, as everywhere else.
SkyObserver HomeSquareCentre(std::string_view storedLocator);

struct SkyReading {
    int azimuth = 0;      // whole degrees, halves to the even neighbour: 359.5 and above send 360
    int elevation = 0;    // whole degrees, likewise
    std::string readout;  // one decimal, e.g. "205.3° / 28.1°"; 359.96 shows "360.0°"
    bool goTo = false;    // the rounded elevation is 0 or more
};

// Empty when either value is not a finite number.
std::optional<SkyReading> ReadSkyDirection(const SkyDirection& direction);

}  // namespace vantora
