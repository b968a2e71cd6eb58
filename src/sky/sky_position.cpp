#include "sky/sky_position.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace vantora {

namespace {

constexpr double kUnixEpochJd = 2440587.5;

// A Julian date in two parts (whole days, fraction) keeps the time to well under a millisecond.
struct JulianDate {
    double day = 0.0;
    double fraction = 0.0;
};

JulianDate FromUnixSeconds(double seconds)
{
    const double days = std::floor(seconds / ERFA_DAYSEC);
    return {kUnixEpochJd + days, (seconds - days * ERFA_DAYSEC) / ERFA_DAYSEC};
}

// The body's apparent geocentric position in the GCRS, in metres.
void GeocentricPosition(SkyBody body, const JulianDate& tt, double position[3])
{
    if (body == SkyBody::Moon) {
        double pv[2][3];
        eraMoon98(tt.day, tt.fraction, pv);
        for (int i = 0; i < 3; ++i)
            position[i] = pv[0][i] * ERFA_DAU;
        return;
    }
    // The Sun: the Earth's heliocentric position reversed, then the aberration of the light
    // that the Earth's barycentric velocity causes (about 20 arcseconds).
    double heliocentric[2][3];
    double barycentric[2][3];
    eraEpv00(tt.day, tt.fraction, heliocentric, barycentric);
    double toSun[3];
    eraSxp(-1.0, heliocentric[0], toSun);
    double distance = 0.0;
    double unit[3];
    eraPn(toSun, &distance, unit);
    double velocity[3];
    eraSxp(ERFA_AULT / ERFA_DAYSEC, barycentric[1], velocity);  // in units of c
    const double bm1 = std::sqrt(1.0 - eraPm(velocity) * eraPm(velocity));
    double apparent[3];
    eraAb(unit, velocity, distance, bm1, apparent);
    eraSxp(distance * ERFA_DAU, apparent, position);
}

SkyDirection Direction(SkyBody body, double utcSeconds, const SkyObserver& observer, bool topocentric)
{
    const JulianDate ut1 = FromUnixSeconds(utcSeconds);  // UT1 taken as UTC
    const JulianDate tt = FromUnixSeconds(utcSeconds + kTtMinusUtcSeconds);

    double celestial[3];
    GeocentricPosition(body, tt, celestial);

    // Celestial to terrestrial: precession-nutation and the Earth's rotation. The IAU 2000B
    // nutation stays within a milliarcsecond of the full series at a twentieth of its cost;
    // polar motion is left out (at most about 0.3 arcseconds).
    double c2t[3][3];
    eraC2t00b(tt.day, tt.fraction, ut1.day, ut1.fraction, 0.0, 0.0, c2t);
    double terrestrial[3];
    eraRxp(c2t, celestial, terrestrial);

    const double lon = observer.longitude * ERFA_DD2R;
    const double lat = observer.latitude * ERFA_DD2R;
    if (topocentric) {
        double site[3];
        if (eraGd2gc(ERFA_WGS84, lon, lat, observer.height, site) == 0)
            eraPmp(terrestrial, site, terrestrial);
    }

    // East, north and up at the observer's place.
    const double sinLon = std::sin(lon);
    const double cosLon = std::cos(lon);
    const double sinLat = std::sin(lat);
    const double cosLat = std::cos(lat);
    const double east = -sinLon * terrestrial[0] + cosLon * terrestrial[1];
    const double north =
        -sinLat * cosLon * terrestrial[0] - sinLat * sinLon * terrestrial[1] + cosLat * terrestrial[2];
    const double up =
        cosLat * cosLon * terrestrial[0] + cosLat * sinLon * terrestrial[1] + sinLat * terrestrial[2];

    SkyDirection direction;
    direction.azimuth = eraAnp(std::atan2(east, north)) * ERFA_DR2D;
    if (direction.azimuth >= 360.0)  // a tiny negative angle wraps to 2 pi exactly
        direction.azimuth = 0.0;
    direction.elevation = std::atan2(up, std::hypot(east, north)) * ERFA_DR2D;
    return direction;
}

}  // namespace

SkyDirection BodyDirection(SkyBody body, double utcSeconds, const SkyObserver& observer)
{
    return Direction(body, utcSeconds, observer, true);
}

SkyDirection GeocentricBodyDirection(SkyBody body, double utcSeconds, const SkyObserver& observer)
{
    return Direction(body, utcSeconds, observer, false);
}

}  // namespace vantora
