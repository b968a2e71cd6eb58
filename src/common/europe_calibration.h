#pragma once
// The Europe map's equirectangular calibration, shared by the program (the home pixel) and the
// map generator (which paints the bitmap): pixel (1143, 594) is 12.0932 E, 51.05693 N; 1955 pixels
// span 52.3567 degrees of longitude and 1760 pixels 33.2407 degrees of latitude.

namespace vantora {

inline constexpr int kEuropeRefX = 1143;
inline constexpr int kEuropeRefY = 594;
inline constexpr double kEuropeRefLongitude = 12.0932;
inline constexpr double kEuropeRefLatitude = 51.05693;
inline constexpr double kEuropeDegreesPerPixelX = 52.3567 / 1955;
inline constexpr double kEuropeDegreesPerPixelY = 33.2407 / 1760;

}  // namespace vantora
