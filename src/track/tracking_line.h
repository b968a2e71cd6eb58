#pragma once
// The first line of a planning program's azimuth/elevation file and what it says.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kTrackingReadMax = 64;  // bytes read from the start of the file
inline constexpr std::size_t kTrackingLineMax = 39;  // bytes of the first line that are used

// The bytes before the first CR or LF, at most kTrackingLineMax of them. LF counts as a line
// end too: the planning programs write LF-only files on Linux.
std::string FirstTrackingLine(std::string_view bytes);

// A decimal number: optional leading spaces, optional sign, digits with an optional "." and
// fraction, optional exponent ("E"/"e", optional sign, digits), nothing after it. Empty text,
// anything else, and values that do not fit a double are not numbers.
std::optional<double> ParseTrackingNumber(std::string_view text);

// Nearest whole degree, halves to the even neighbour. Empty for values outside the int range.
std::optional<int> RoundTrackingDegrees(double value);

struct TrackReading {
    int azimuth = 0;       // degrees, rounded
    int elevation = 0;     // degrees, rounded; below 0 the object is under the horizon
    std::string name;      // field 4 as written (the object's name)
    std::string readout;   // e.g. "205° / 28°"
    bool goTo = false;     // the Moon, at or above the horizon: send both rotators there
};

// Splits the line at its first four commas: field 2 azimuth, field 3 elevation, field 4 the
// object's name up to the fourth comma. Empty when either number cannot be read.
std::optional<TrackReading> ParseTrackingLine(std::string_view line);

}  // namespace vantora
