// The Moon's and the Sun's topocentric positions against an independent implementation's table
// (tests/data/sky_reference.tsv, written by tools/sky_reference/make_sky_table.py), and the
// parallax that separates the station's view from the Earth's centre.
#include "sky/sky_position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace vantora;

namespace {

struct ReferenceCase {
    double utcSeconds = 0;
    std::string utc;
    SkyObserver observer;
    SkyBody body = SkyBody::Moon;
    SkyDirection expected;
};

std::vector<ReferenceCase> LoadReference()
{
    std::vector<ReferenceCase> cases;
    const char* source = std::getenv("VANTORA_SOURCE_DIR");
    if (!source) {
        ADD_FAILURE() << "VANTORA_SOURCE_DIR is not set (run through ctest)";
        return cases;
    }
    std::ifstream file(std::string(source) + "/tests/data/sky_reference.tsv");
    if (!file) {
        ADD_FAILURE() << "cannot open tests/data/sky_reference.tsv";
        return cases;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        ReferenceCase c;
        std::string body;
        fields >> c.utcSeconds >> c.utc >> c.observer.latitude >> c.observer.longitude >> body >>
            c.expected.azimuth >> c.expected.elevation;
        if (!fields || (body != "Moon" && body != "Sun")) {
            ADD_FAILURE() << "unreadable line: " << line;
            continue;
        }
        c.body = body == "Moon" ? SkyBody::Moon : SkyBody::Sun;
        cases.push_back(c);
    }
    return cases;
}

const char* Name(SkyBody body)
{
    return body == SkyBody::Moon ? "Moon" : "Sun";
}

double AzimuthDifference(double a, double b)
{
    return std::abs(std::remainder(a - b, 360.0));
}

constexpr double kDegree = 3.14159265358979323846 / 180;

TEST(SkyPosition, ReferenceTableCoversTheRangeAsked)
{
    const auto cases = LoadReference();
    ASSERT_GE(cases.size(), 100u);
    int moon = 0;
    int sun = 0;
    double lowElevation = 90, highElevation = -90, lowLatitude = 90, highLatitude = -90;
    double firstTime = 1e300, lastTime = 0;
    for (const auto& c : cases) {
        (c.body == SkyBody::Moon ? moon : sun) += 1;
        lowElevation = std::min(lowElevation, c.expected.elevation);
        highElevation = std::max(highElevation, c.expected.elevation);
        lowLatitude = std::min(lowLatitude, c.observer.latitude);
        highLatitude = std::max(highLatitude, c.observer.latitude);
        firstTime = std::min(firstTime, c.utcSeconds);
        lastTime = std::max(lastTime, c.utcSeconds);
    }
    EXPECT_GE(moon, 50);
    EXPECT_GE(sun, 50);
    EXPECT_LT(lowElevation, -8);
    EXPECT_GT(highElevation, 80);
    EXPECT_LT(lowLatitude, -50);
    EXPECT_GT(highLatitude, 60);
    EXPECT_LT(firstTime, 1609459200);  // before 2021
    EXPECT_GT(lastTime, 2051222400);   // after 2034
}

// Every case within 0.05 degrees of elevation and 0.05 / cos(elevation) of azimuth.
TEST(SkyPosition, AgreesWithTheReferenceTable)
{
    const auto cases = LoadReference();
    ASSERT_FALSE(cases.empty());
    double worstElevation[2] = {0, 0};
    double worstAzimuthOnSky[2] = {0, 0};  // azimuth error times cos(elevation)
    for (const auto& c : cases) {
        const SkyDirection got = BodyDirection(c.body, c.utcSeconds, c.observer);
        const double cosElevation = std::cos(c.expected.elevation * kDegree);
        const double elevationError = std::abs(got.elevation - c.expected.elevation);
        const double azimuthError = AzimuthDifference(got.azimuth, c.expected.azimuth);
        EXPECT_LE(elevationError, 0.05) << Name(c.body) << ' ' << c.utc << ' ' << c.observer.latitude << ' '
                                        << c.observer.longitude;
        EXPECT_LE(azimuthError, 0.05 / cosElevation)
            << Name(c.body) << ' ' << c.utc << ' ' << c.observer.latitude << ' ' << c.observer.longitude;
        EXPECT_GE(got.azimuth, 0.0);
        EXPECT_LT(got.azimuth, 360.0);
        const int i = c.body == SkyBody::Moon ? 0 : 1;
        worstElevation[i] = std::max(worstElevation[i], elevationError);
        worstAzimuthOnSky[i] = std::max(worstAzimuthOnSky[i], azimuthError * cosElevation);
    }
    std::cout << "largest difference from the reference, degrees: Moon elevation " << worstElevation[0]
              << ", Moon azimuth x cos(el) " << worstAzimuthOnSky[0] << "; Sun elevation " << worstElevation[1]
              << ", Sun azimuth x cos(el) " << worstAzimuthOnSky[1] << '\n';
}

// Seen from the station, the Moon near the horizon stands lower than seen from the Earth's
// centre by its horizontal parallax, 0.9 to 1.0 degree; the Sun's parallax is 9 arcseconds.
TEST(SkyPosition, TopocentricDiffersFromGeocentricByTheParallax)
{
    const auto cases = LoadReference();
    int moonNearHorizon = 0;
    for (const auto& c : cases) {
        const SkyDirection topocentric = BodyDirection(c.body, c.utcSeconds, c.observer);
        const SkyDirection geocentric = GeocentricBodyDirection(c.body, c.utcSeconds, c.observer);
        const double shift = geocentric.elevation - topocentric.elevation;
        if (c.body == SkyBody::Sun) {
            EXPECT_LT(std::abs(shift), 0.003) << c.utc;
            continue;
        }
        // The parallax in elevation is the horizontal parallax times cos(elevation).
        const double cosElevation = std::cos(topocentric.elevation * kDegree);
        EXPECT_GE(shift, 0.88 * cosElevation) << c.utc;
        EXPECT_LE(shift, 1.03 * cosElevation) << c.utc;
        if (std::abs(c.expected.elevation) < 2) {
            ++moonNearHorizon;
            EXPECT_LE(std::abs(topocentric.elevation - c.expected.elevation), 0.05) << c.utc;
            EXPECT_GT(std::abs(geocentric.elevation - c.expected.elevation), 0.8) << c.utc;
        }
    }
    EXPECT_GE(moonNearHorizon, 10);
}

}  // namespace
