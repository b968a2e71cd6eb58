#include "geo/locator.h"

#include <cmath>
#include <cstdint>

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

// Squares per side of each pair: fields, squares, subsquares, then alternating again.
constexpr int kPairDivisions[kMaxLocatorPairs] = {18, 10, 24, 10, 24, 10};

bool IsLetterPair(int pair)
{
    return kPairDivisions[pair] != 10;
}

// The index (0 .. divisions-1) one character of a pair stands for, or -1.
int PairIndex(char c, int pair)
{
    const int divisions = kPairDivisions[pair];
    const int index = IsLetterPair(pair) ? Fold(c) - 'A' : c - '0';
    return index >= 0 && index < divisions ? index : -1;
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

std::optional<GeoPosition> LocatorCentre(std::string_view locator)
{
    if (locator.empty() || locator.size() % 2 != 0 || locator.size() > 2 * kMaxLocatorPairs)
        return std::nullopt;
    double longitude = -180.0;
    double latitude = -90.0;
    double width = 360.0;   // degrees of longitude of the square named so far
    double height = 180.0;  // degrees of latitude
    for (std::size_t pair = 0; pair < locator.size() / 2; ++pair) {
        const int p = static_cast<int>(pair);
        const int x = PairIndex(locator[2 * pair], p);
        const int y = PairIndex(locator[2 * pair + 1], p);
        if (x < 0 || y < 0)
            return std::nullopt;
        width /= kPairDivisions[p];
        height /= kPairDivisions[p];
        longitude += x * width;
        latitude += y * height;
    }
    return GeoPosition{longitude + width / 2, latitude + height / 2};
}

std::optional<std::string> PositionLocator(const GeoPosition& position, int pairs)
{
    if (pairs < 1 || pairs > kMaxLocatorPairs || !(position.longitude >= -180.0 && position.longitude <= 180.0)
        || !(position.latitude >= -90.0 && position.latitude <= 90.0))
        return std::nullopt;
    // Whole units of the finest square asked for, counted from the south-west corner of the world:
    // one rounding of the position, then exact integer steps, so that no square's edge is missed
    // by the error of repeated division.
    std::int64_t cells = 1;
    for (int pair = 0; pair < pairs; ++pair)
        cells *= kPairDivisions[pair];
    auto unitsOf = [cells](double offset, double span) {
        const auto units = static_cast<std::int64_t>(std::floor(offset / span * static_cast<double>(cells)));
        return units < 0 ? 0 : (units >= cells ? cells - 1 : units);
    };
    std::int64_t x = unitsOf(position.longitude + 180.0, 360.0);
    std::int64_t y = unitsOf(position.latitude + 90.0, 180.0);
    std::string locator(static_cast<std::size_t>(2 * pairs), ' ');
    for (int pair = pairs - 1; pair >= 0; --pair) {
        const int divisions = kPairDivisions[pair];
        const char base = IsLetterPair(pair) ? 'A' : '0';
        locator[static_cast<std::size_t>(2 * pair)] = static_cast<char>(base + x % divisions);
        locator[static_cast<std::size_t>(2 * pair + 1)] = static_cast<char>(base + y % divisions);
        x /= divisions;
        y /= divisions;
    }
    return locator;
}

GeoPosition HomePosition(std::string_view storedLocator)
{
    return VypLoc(CheckLoc(storedLocator) ? storedLocator : kDefaultHomeLocator);
}

}  // namespace vantora
