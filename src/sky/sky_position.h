#pragma once
// Where the Moon and the Sun stand in a station's sky: azimuth and elevation for a place on the
// Earth at a given UTC time, computed with ERFA. No refraction is applied: the elevation is the
// geometric one, the same for radio and light.

namespace vantora {

enum class SkyBody { Moon, Sun };

// A place on the WGS84 ellipsoid: degrees east and north, metres above the ellipsoid.
struct SkyObserver {
    double longitude = 0.0;
    double latitude = 0.0;
    double height = 0.0;
};

// Degrees: azimuth from north through east, 0 <= azimuth < 360; elevation -90..90 above the
// observer's geodetic horizon.
struct SkyDirection {
    double azimuth = 0.0;
    double elevation = 0.0;
};

// TT - UTC used for the body's motion (leap seconds since 2017: 37 s, plus TT - TAI). UT1 is
// taken as UTC for the Earth's rotation: an error under one second of time.
inline constexpr double kTtMinusUtcSeconds = 69.184;

// The body seen from the observer (topocentric) at `utcSeconds`, seconds since
// 1970-01-01 00:00 UTC as the system clock counts them (no leap seconds).
SkyDirection BodyDirection(SkyBody body, double utcSeconds, const SkyObserver& observer);

// The same body seen from the Earth's centre, turned to the observer's horizon: the direction
// without the parallax of the observer's place. The Moon's differs by up to about 1 degree.
SkyDirection GeocentricBodyDirection(SkyBody body, double utcSeconds, const SkyObserver& observer);

}  // namespace vantora
