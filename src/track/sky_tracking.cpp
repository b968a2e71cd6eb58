#include "track/sky_tracking.h"

#include "geo/locator.h"
#include "track/tracking_line.h"

#include <charconv>

namespace vantora {

namespace {

// A subsquare is 5' of longitude by 2.5' of latitude; its corner is what VypLoc gives.
constexpr double kSubsquareWidth = 1.0 / 12;
constexpr double kSubsquareHeight = 1.0 / 24;

// One decimal, independent of the locale (the Qt shell sets the C locale from the
// environment, which may use a decimal comma). -0.0 shows as 0.0.
std::string OneDecimal(double value)
{
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    std::string shown(text, result.ptr);
    if (shown == "-0.0")
        shown = "0.0";
    return shown;
}

}  // namespace

SkyObserver HomeSquareCentre(std::string_view storedLocator)
{
    const GeoPosition corner = HomePosition(storedLocator);
    SkyObserver observer;
    observer.longitude = corner.longitude + kSubsquareWidth / 2;
    observer.latitude = corner.latitude + kSubsquareHeight / 2;
    observer.height = 0.0;
    return observer;
}

std::optional<SkyReading> ReadSkyDirection(const SkyDirection& direction)
{
    const auto azimuth = RoundTrackingDegrees(direction.azimuth);
    const auto elevation = RoundTrackingDegrees(direction.elevation);
    if (!azimuth || !elevation)
        return std::nullopt;
    SkyReading reading;
    reading.azimuth = *azimuth;
    reading.elevation = *elevation;
    reading.readout = OneDecimal(direction.azimuth) + "° / " + OneDecimal(direction.elevation) + "°";
    reading.goTo = reading.elevation >= 0;
    return reading;
}

}  // namespace vantora
