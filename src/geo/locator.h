#pragma once
// Maidenhead locators: validation, conversion to a position, great-circle azimuth.

#include <optional>
#include <string>
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

// Locators of any precision: 1 to 6 pairs (2 to 12 characters), the pairs alternating between
// letters (A..R in the first pair, A..X after) and digits. Either case is read.
inline constexpr int kMaxLocatorPairs = 6;

// The centre of the square a locator of 1 to 6 pairs names; nothing for any other text.
std::optional<GeoPosition> LocatorCentre(std::string_view locator);

// The locator of `pairs` pairs (1..6, capital letters) of the square holding a position;
// longitude -180..180, latitude -90..90 (the last square holds the east and north edges).
// Nothing for a position or a pair count outside those ranges.
std::optional<std::string> PositionLocator(const GeoPosition& position, int pairs);

// Position of the stored home locator; a text that is empty or not an acceptable locator
// stands for kDefaultHomeLocator.
GeoPosition HomePosition(std::string_view storedLocator);

}  // namespace vantora
