#include "geo/locator.h"

#include <cmath>

namespace vantora {

namespace {

// Double precision throughout; pi written to full precision.
using Real = double;
constexpr Real kPi = 3.14159265358979323846;

constexpr char Fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool InRange(char c, char first, char last)
{
    const char folded = Fold(c);
    return folded >= first && folded <= last;
}

constexpr int Index(char c, char base)
{
    return Fold(c) - base;
}

Real Radians(double degrees)
{
    return static_cast<Real>(degrees) * kPi / 180;
}

}  // namespace

bool CheckLoc(std::string_view text)
{
    if (text.size() != 6) {
        return false;
    }
    // Field letters, subsquare letters, then the square digits.
    return InRange(text[0], 'A', 'R') && InRange(text[1], 'A', 'R') &&
           InRange(text[4], 'A', 'X') && InRange(text[5], 'A', 'X') &&
           text[2] >= '0' && text[2] <= '9' && text[3] >= '0' && text[3] <= '9';
}

GeoPosition VypLoc(std::string_view locator)
{
    if (locator.size() < 6) {
        return VypLoc(kDefaultHomeLocator);
    }
    GeoPosition position;
    position.longitude = (Index(locator[0], 'A') - 9) * 20 + Index(locator[2], '0') * 2 +
                         Index(locator[4], 'A') * (1.0 / 12);
    position.latitude = (Index(locator[1], 'A') - 9) * 10 + Index(locator[3], '0') +
                        Index(locator[5], 'A') * (1.0 / 24);
    return position;
}

int VypLocAzm(const GeoPosition& home, const GeoPosition& target)
{
    const Real lh = Radians(home.longitude);
    const Real ph = Radians(home.latitude);
    const Real lt = Radians(target.longitude);
    const Real pt = Radians(target.latitude);

    const Real d = lh - lt;
    Real sinD = std::sin(d);
    Real cosD = std::cos(d);
    // On the same or the opposite meridian the bearing is due north or south. sin(pi) in
    // floating point is 1.2e-16, not 0, which would turn an exact 0 into 359.999... and so 360.
    const double meridian = std::abs(std::remainder(home.longitude - target.longitude, 360.0));
    if (meridian < 1e-9) {
        sinD = 0;
        cosD = 1;
    } else if (std::abs(meridian - 180) < 1e-9) {
        sinD = 0;
        cosD = -1;
    }
    const Real p = std::cos(ph) * std::tan(pt);
    const Real q = std::sin(ph) * cosD;

    Real a = 0;
    if (p > q) {
        a = 180 - (std::atan(sinD / (p - q)) + kPi) * 180 / kPi;
    } else if (p < q) {
        a = 180 - std::atan(sinD / (p - q)) * 180 / kPi;
    } else {
        // The great circle leaves home due east or due west (both on the equator, for
        // instance); the quotient above has no value there.
        a = sinD < 0 ? 90 : (sinD > 0 ? 270 : 0);
    }
    if (!std::isfinite(a)) {
        return 0;
    }
    while (a >= 360) {
        a -= 360;
    }
    while (a < 0) {
        a += 360;
    }
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    return static_cast<int>(std::nearbyint(a));
}

GeoPosition HomePosition(std::string_view storedLocator)
{
    return VypLoc(CheckLoc(storedLocator) ? storedLocator : kDefaultHomeLocator);
}

}  // namespace vantora
