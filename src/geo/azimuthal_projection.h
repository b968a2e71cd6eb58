#pragma once
// Azimuthal equidistant projection centred on the home station: every straight line from the
// centre is a great circle at its true initial bearing, and the distance from home grows
// linearly with the radius, so the antipode is the disc's rim.

#include "geo/locator.h"
#include "geo/world_outline.h"

namespace vantora {

// Mean Earth radius and half the circumference: the distance from home to its antipode.
inline constexpr double kEarthRadiusKm = 6371.0;
inline constexpr double kAntipodeKm = 20015.086796020572;  // pi * kEarthRadiusKm

struct PlanPoint {
    double x = 0.0;  // pixels, x to the right
    double y = 0.0;  // pixels, y down
};

class AzimuthalProjection {
public:
    // home at pixel (centreX, centreY); the antipode lies radius pixels away.
    AzimuthalProjection(const GeoPosition& home, double centreX, double centreY, double radius);

    PlanPoint Project(const GeoPosition& position) const;
    PlanPoint Project(const OutlinePoint& point) const;

    // Great-circle distance from home in km and the initial bearing in degrees 0 .. 360.
    double DistanceKm(const GeoPosition& position) const;
    // The bearing, degrees 0 .. 360 clockwise from north, of the straight line from the
    // centre through a pixel.
    double BearingOfPixel(const PlanPoint& point) const;

    // The point at a bearing (degrees) and distance (km) from home.
    PlanPoint Polar(double bearingDegrees, double km) const;

    double centreX() const { return m_cx; }
    double centreY() const { return m_cy; }
    double radius() const { return m_radius; }

    // The point in home's own frame: east, north and up components of the unit vector.
    struct Local {
        double east;
        double north;
        double up;
    };
    Local ToLocal(const OutlinePoint& point) const;
    PlanPoint ProjectLocal(const Local& local) const;

private:
    double m_cx;
    double m_cy;
    double m_radius;
    // Rows of the rotation from the Earth frame to home's east, north and up.
    double m_e[3];
    double m_n[3];
    double m_u[3];
};

}  // namespace vantora
