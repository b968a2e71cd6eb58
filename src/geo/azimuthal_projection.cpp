#include "geo/azimuthal_projection.h"

#include <cmath>
#include <numbers>

namespace vantora {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

}  // namespace

AzimuthalProjection::AzimuthalProjection(const GeoPosition& home, double centreX, double centreY, double radius)
    : m_cx(centreX), m_cy(centreY), m_radius(radius)
{
    const double lon = home.longitude * kRad;
    const double lat = home.latitude * kRad;
    const double sl = std::sin(lon), cl = std::cos(lon), sp = std::sin(lat), cp = std::cos(lat);
    m_e[0] = -sl, m_e[1] = cl, m_e[2] = 0.0;
    m_n[0] = -sp * cl, m_n[1] = -sp * sl, m_n[2] = cp;
    m_u[0] = cp * cl, m_u[1] = cp * sl, m_u[2] = sp;
}

AzimuthalProjection::Local AzimuthalProjection::ToLocal(const OutlinePoint& p) const
{
    return {m_e[0] * p.x + m_e[1] * p.y + m_e[2] * p.z, m_n[0] * p.x + m_n[1] * p.y + m_n[2] * p.z,
            m_u[0] * p.x + m_u[1] * p.y + m_u[2] * p.z};
}

PlanPoint AzimuthalProjection::ProjectLocal(const Local& local) const
{
    const double s = std::hypot(local.east, local.north);  // sine of the angular distance
    if (s == 0.0) {
        // Home itself, or exactly its antipode, which every bearing reaches: put it at the rim
        // due south so that it stays on the map.
        return local.up > 0 ? PlanPoint{m_cx, m_cy} : PlanPoint{m_cx, m_cy + m_radius};
    }
    const double c = std::atan2(s, local.up);  // angular distance, 0 .. pi
    const double r = c / std::numbers::pi * m_radius;
    return {m_cx + r * local.east / s, m_cy - r * local.north / s};
}

PlanPoint AzimuthalProjection::Project(const OutlinePoint& point) const
{
    return ProjectLocal(ToLocal(point));
}

PlanPoint AzimuthalProjection::Project(const GeoPosition& position) const
{
    return Project(ToOutlinePoint(position));
}

double AzimuthalProjection::DistanceKm(const GeoPosition& position) const
{
    const Local l = ToLocal(ToOutlinePoint(position));
    return std::atan2(std::hypot(l.east, l.north), l.up) * kEarthRadiusKm;
}

double AzimuthalProjection::BearingOfPixel(const PlanPoint& point) const
{
    double bearing = std::atan2(point.x - m_cx, m_cy - point.y) / kRad;
    if (bearing < 0) bearing += 360.0;
    return bearing;
}

PlanPoint AzimuthalProjection::Polar(double bearingDegrees, double km) const
{
    const double r = km / kAntipodeKm * m_radius;
    const double a = bearingDegrees * kRad;
    return {m_cx + r * std::sin(a), m_cy - r * std::cos(a)};
}

}  // namespace vantora
