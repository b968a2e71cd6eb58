// Locator validation, conversion to the south-west corner, and the great-circle azimuth,
// the last also against an independently written atan2 bearing.
#include "geo/locator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace vantora {
namespace {

TEST(CheckLoc, AcceptsSixCharacterLocatorsInEitherCase)
{
    for (const char* text : {"JN89XX", "jn89xx", "Jn89xX", "AA00AA", "RR99XX", "rr99xx", "JO60AA"}) {
        EXPECT_TRUE(CheckLoc(text)) << text;
    }
}

TEST(CheckLoc, RejectsEverythingElse)
{
    for (const char* text : {"", "JN89", "JN89X", "JN89XX00", "JN89XX ", " JN89XX", "SN89XX",
                             "JS89XX", "JN89YX", "JN89XY", "JNA9XX", "JN8AXX", "JN89 X", "J@89XX",
                             "JN89X[", "jn89yx", "JN89X\xC3\xA1"}) {
        EXPECT_FALSE(CheckLoc(text)) << '"' << text << '"';
    }
}

TEST(VypLoc, GivesTheSouthWestCornerOfTheSubsquare)
{
    struct Case {
        const char* locator;
        double longitude;
        double latitude;
    };
    const Case cases[] = {
        {"AA00AA", -180.0, -90.0},
        {"RR99XX", 179.0 + 11.0 / 12, 89.0 + 23.0 / 24},
        {"JO60AA", 12.0, 50.0},
        {"JN89XX", 17.0 + 11.0 / 12, 49.0 + 23.0 / 24},
        {"JJ00AA", 0.0, 0.0},
        {"IO91AB", -2.0, 51.0 + 1.0 / 24},
    };
    for (const Case& c : cases) {
        const GeoPosition position = VypLoc(c.locator);
        EXPECT_NEAR(position.longitude, c.longitude, 1e-12) << c.locator;
        EXPECT_NEAR(position.latitude, c.latitude, 1e-12) << c.locator;
    }
    // The published figures, to their six decimals.
    EXPECT_NEAR(VypLoc("RR99XX").longitude, 179.916667, 5e-7);
    EXPECT_NEAR(VypLoc("RR99XX").latitude, 89.958333, 5e-7);
    EXPECT_NEAR(VypLoc("JN89XX").longitude, 17.916667, 5e-7);
    EXPECT_NEAR(VypLoc("JN89XX").latitude, 49.958333, 5e-7);
}

TEST(VypLoc, LowerCaseConvertsExactlyLikeUpperCase)
{
    for (const char* lower : {"jn89xx", "aa00aa", "rr99xx", "io91ab"}) {
        std::string upper = lower;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(VypLoc(lower).longitude, VypLoc(upper).longitude) << lower;
        EXPECT_EQ(VypLoc(lower).latitude, VypLoc(upper).latitude) << lower;
    }
}

TEST(VypLocAzm, AzimuthsFromJN89XX)
{
    const GeoPosition home = VypLoc("JN89XX");
    const std::pair<const char*, int> cases[] = {
        {"JO60AA", 273}, {"KN09AA", 125}, {"IO91AA", 282}, {"JO89AA", 354}, {"FN20AA", 301},
        {"PM95AA", 46},  {"QF56AA", 84},  {"JN89XW", 180}, {"JN99AX", 90},
    };
    for (const auto& [target, azimuth] : cases) {
        EXPECT_EQ(VypLocAzm(home, VypLoc(target)), azimuth) << target;
    }
}

// Sine and cosine of an angle in degrees, exact at the multiples of 90 (a target on the
// opposite meridian lies due north or south, not a rounding error away from it).
double SinDeg(double degrees)
{
    const double reduced = std::remainder(degrees, 360.0);  // [-180, 180]
    if (reduced == 0.0 || std::abs(reduced) == 180.0) {
        return 0.0;
    }
    if (std::abs(reduced) == 90.0) {
        return reduced > 0 ? 1.0 : -1.0;
    }
    return std::sin(reduced * std::acos(-1.0) / 180.0);
}

double CosDeg(double degrees)
{
    return SinDeg(degrees + 90.0);
}

// Initial great-circle bearing in degrees, [0, 360), written straight from the spherical
// formula with atan2; also tells when the bearing is undefined (same point or antipode).
struct Bearing {
    double degrees;
    bool defined;
};

Bearing ReferenceBearing(const GeoPosition& from, const GeoPosition& to)
{
    const double dlon = to.longitude - from.longitude;
    const double y = SinDeg(dlon) * CosDeg(to.latitude);
    const double x = CosDeg(from.latitude) * SinDeg(to.latitude) -
                     SinDeg(from.latitude) * CosDeg(to.latitude) * CosDeg(dlon);
    double degrees = std::atan2(y, x) * 180.0 / std::acos(-1.0);
    if (degrees < 0) {
        degrees += 360.0;
    }
    return {degrees, std::hypot(x, y) > 1e-12};
}

TEST(VypLocAzm, TargetNorthWestOfDueNorthGives360)
{
    const GeoPosition home = VypLoc("JN89XX");
    const GeoPosition target = VypLoc("JQ89WX");
    const Bearing exact = ReferenceBearing(home, target);
    ASSERT_GE(exact.degrees, 359.5);
    ASSERT_LT(exact.degrees, 360.0);
    EXPECT_EQ(VypLocAzm(home, target), 360);
}

TEST(VypLocAzm, DueEastOrWestAtTheStartIsTheTrueBearing)
{
    // On the equator the quotient of the textbook form is 0/0: east must read 90, west 270.
    struct Case {
        const char* home;
        const char* target;
        int azimuth;
    };
    const Case cases[] = {
        {"JJ00AA", "KJ00AA", 90},  {"KJ00AA", "JJ00AA", 270}, {"JJ00AA", "JJ00BA", 90},
        {"JJ00BA", "JJ00AA", 270}, {"JJ00AA", "OJ00AA", 90},  {"JJ00AA", "EJ00AA", 270},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VypLocAzm(VypLoc(c.home), VypLoc(c.target)), c.azimuth)
            << c.home << " -> " << c.target;
    }
}

TEST(VypLocAzm, MeridianAndPoleTargetsAreDueNorthOrSouth)
{
    struct Case {
        const char* home;
        const char* target;
        int azimuth;
    };
    const Case cases[] = {
        {"JN89XX", "JO80XA", 0},    // same meridian, north
        {"JN89XX", "JA00AA", 180},  // the south pole
        {"MQ91XG", "DD97XA", 0},    // opposite meridian, over the north pole
        {"PO79RU", "GG78RV", 0},
        {"DD97XA", "MQ91XG", 0},
        {"JK00AA", "AC00AA", 180},  // opposite meridian, over the south pole
        {"JN89XX", "JN89XA", 180},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VypLocAzm(VypLoc(c.home), VypLoc(c.target)), c.azimuth)
            << c.home << " -> " << c.target;
    }
}

std::string RandomLocator(std::mt19937_64& random)
{
    const auto pick = [&](int count) { return static_cast<int>(random() % count); };
    return {static_cast<char>('A' + pick(18)), static_cast<char>('A' + pick(18)),
            static_cast<char>('0' + pick(10)), static_cast<char>('0' + pick(10)),
            static_cast<char>('A' + pick(24)), static_cast<char>('A' + pick(24))};
}

// A locator near `base`: same field, other square and subsquare, or the same longitude.
std::string NearbyLocator(std::mt19937_64& random, const std::string& base)
{
    std::string near = base;
    const int kind = static_cast<int>(random() % 3);
    if (kind == 0) {  // same longitude: due north or south
        near[1] = static_cast<char>('A' + random() % 18);
        near[3] = static_cast<char>('0' + random() % 10);
        near[5] = static_cast<char>('A' + random() % 24);
    } else if (kind == 1) {  // same latitude
        near[0] = static_cast<char>('A' + random() % 18);
        near[2] = static_cast<char>('0' + random() % 10);
        near[4] = static_cast<char>('A' + random() % 24);
    } else {  // same field
        near[2] = static_cast<char>('0' + random() % 10);
        near[3] = static_cast<char>('0' + random() % 10);
        near[4] = static_cast<char>('A' + random() % 24);
        near[5] = static_cast<char>('A' + random() % 24);
    }
    return near;
}

TEST(VypLocAzm, AgreesWithAnAtan2BearingOverRandomPairs)
{
    std::mt19937_64 random(0x5eedf00dULL);
    int compared = 0;
    int nearHalf = 0;
    for (int i = 0; i < 400000; ++i) {
        const std::string home = RandomLocator(random);
        const std::string target = (i % 2 == 0) ? RandomLocator(random) : NearbyLocator(random, home);
        const GeoPosition from = VypLoc(home);
        const GeoPosition to = VypLoc(target);
        if (from.latitude == -90.0) {
            continue;  // every direction from the pole is north: no bearing to compare
        }
        const Bearing exact = ReferenceBearing(from, to);
        if (!exact.defined) {
            continue;
        }
        const int azimuth = VypLocAzm(from, to);
        const double fraction = exact.degrees - std::floor(exact.degrees);
        if (std::abs(fraction - 0.5) < 1e-9) {
            ++nearHalf;
            const double low = std::floor(exact.degrees);
            ASSERT_TRUE(azimuth == low || azimuth == low + 1) << home << " -> " << target;
            continue;
        }
        ++compared;
        // Nearest whole degree; from 359.5 upwards that is 360.
        const int expected = static_cast<int>(std::floor(exact.degrees + 0.5));
        ASSERT_EQ(azimuth, expected) << home << " -> " << target << " exact " << exact.degrees;
    }
    EXPECT_GT(compared, 390000);
    RecordProperty("near_half_degree", nearHalf);
}

TEST(HomePosition, InvalidOrEmptyStoredLocatorMeansJN89XX)
{
    const GeoPosition fallback = VypLoc("JN89XX");
    for (const char* stored : {"", "J", "JN8", "JN89X", "JN89XX0", "JN89XX ", "XX99XX", "garbage!"}) {
        const GeoPosition home = HomePosition(stored);
        EXPECT_EQ(home.longitude, fallback.longitude) << '"' << stored << '"';
        EXPECT_EQ(home.latitude, fallback.latitude) << '"' << stored << '"';
    }
    const GeoPosition stored = HomePosition("jo60aa");
    EXPECT_EQ(stored.longitude, 12.0);
    EXPECT_EQ(stored.latitude, 50.0);
}

TEST(VypLoc, ShortTextIsNotReadBeyondItsEnd)
{
    // A view into a longer buffer: reading past its end would see "JO60AA" instead.
    const std::string buffer = "JNJO60AA";
    const GeoPosition position = VypLoc(std::string_view(buffer).substr(0, 2));
    EXPECT_EQ(position.longitude, VypLoc("JN89XX").longitude);
    EXPECT_EQ(position.latitude, VypLoc("JN89XX").latitude);
}

}  // namespace
}  // namespace vantora

namespace vantora {
namespace {

TEST(LocatorCentre, EveryPrecisionAndWhatIsRefused)
{
    struct Case {
        const char* locator;
        double longitude;
        double latitude;
    };
    const Case cases[] = {
        {"JN", 10.0, 45.0},
        {"JN79", 15.0, 49.5},
        {"JO60LJ", 12.0 + 11.0 / 12 + 1.0 / 24, 50.0 + 9.0 / 24 + 1.0 / 48},
        {"jo60lj", 12.0 + 11.0 / 12 + 1.0 / 24, 50.0 + 9.0 / 24 + 1.0 / 48},
        {"JO60LJ42", 12.0 + 11.0 / 12 + 4.0 / 120 + 1.0 / 240, 50.0 + 9.0 / 24 + 2.0 / 240 + 1.0 / 480},
        {"AA00AA", -180.0 + 1.0 / 24, -90.0 + 1.0 / 48},
        {"RR99XX", 180.0 - 1.0 / 24, 90.0 - 1.0 / 48},
    };
    for (const Case& c : cases) {
        const auto centre = LocatorCentre(c.locator);
        ASSERT_TRUE(centre) << c.locator;
        EXPECT_NEAR(centre->longitude, c.longitude, 1e-9) << c.locator;
        EXPECT_NEAR(centre->latitude, c.latitude, 1e-9) << c.locator;
    }
    // The twelve-character square lies inside the ten-character one, which lies in the eight.
    const auto twelve = LocatorCentre("JO60LJ42AB12");
    const auto ten = LocatorCentre("JO60LJ42AB");
    ASSERT_TRUE(twelve && ten);
    EXPECT_NEAR(twelve->longitude, ten->longitude, 2.0 / 24 / 10 / 24 / 2);  // half the ten's width
    EXPECT_NEAR(twelve->latitude, ten->latitude, 1.0 / 24 / 10 / 24 / 2);
    EXPECT_NE(twelve->longitude, ten->longitude);

    for (const char* bad : {"", "J", "JO6", "SA", "AS", "JOA0", "JO60YA", "JO60LJ4A", "JO60LJ42Z0", "JO60LJ42AB1X",
                            "JO60LJ42AB1234", "JO 0", "JO60LJ42AB123"})
        EXPECT_FALSE(LocatorCentre(bad)) << bad;
}

TEST(PositionLocator, EveryPrecisionEdgesAndRoundTrips)
{
    struct Case {
        double longitude;
        double latitude;
        int pairs;
        const char* locator;  // nullptr: refused
    };
    const Case cases[] = {
        {14.31234, 50.08765, 1, "JO"},
        {14.31234, 50.08765, 2, "JO70"},
        {14.31234, 50.08765, 3, "JO70DC"},
        {14.31234, 50.08765, 4, "JO70DC71"},
        {14.31234, 50.08765, 5, "JO70DC71LA"},
        {14.31234, 50.08765, 6, "JO70DC71LA58"},
        {-122.3, 47.6, 3, "CN87UO"},
        {-180.0, -90.0, 3, "AA00AA"},
        {180.0, 90.0, 3, "RR99XX"},  // the edges belong to the last square
        {0.0, 0.0, 2, "JJ00"},
        {-0.000001, -0.000001, 2, "II99"},
        {14.3, 50.1, 0, nullptr},
        {14.3, 50.1, 7, nullptr},
        {180.01, 50.1, 3, nullptr},
        {14.3, -90.5, 3, nullptr},
        {std::nan(""), 50.1, 3, nullptr},
    };
    for (const Case& c : cases) {
        const auto locator = PositionLocator({c.longitude, c.latitude}, c.pairs);
        if (c.locator == nullptr) {
            EXPECT_FALSE(locator) << c.longitude << " " << c.latitude << " " << c.pairs;
            continue;
        }
        ASSERT_TRUE(locator) << c.locator;
        EXPECT_EQ(*locator, c.locator);
    }
    // A square's centre gives the square back, at every precision.
    for (const char* text : {"JN79", "JO60LJ", "AR09AX", "JO60LJ42AB12", "RR99XX99XX99", "AA00AA00AA00"}) {
        const auto centre = LocatorCentre(text);
        ASSERT_TRUE(centre) << text;
        const auto back = PositionLocator(*centre, static_cast<int>(std::string_view(text).size() / 2));
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(*back, text);
    }
}

}  // namespace
}  // namespace vantora
