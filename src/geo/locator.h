#pragma once
// Maidenhead locators: validation, conversion to a position, great-circle azimuth.

#include <string_view>

namespace vantora {

inline constexpr std::string_view kDefaultHomeLocator = "JN89XX";

// Longitude and latitude in degrees, east and north positive.
struct GeoPosition {
    double longitude = 0.0;
    double latitude = 0.0;
};

// True for a six-character locator: letters A..R, digits, letters A..X (either case).
bool CheckLoc(std::string_view text);

// South-west corner of the locator's subsquare. Only for texts that passed CheckLoc.
GeoPosition VypLoc(std::string_view locator);

// Initial great-circle bearing from home to target, whole degrees 0..360.
int VypLocAzm(const GeoPosition& home, const GeoPosition& target);

// Position of the stored home locator; a text that is empty or not an acceptable locator
// stands for kDefaultHomeLocator.
GeoPosition HomePosition(std::string_view storedLocator);

}  // namespace vantora
