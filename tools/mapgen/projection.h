#pragma once

#include "common/europe_calibration.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapgen {

// Painter coordinates of a geographic point. A point whose image pixel is (i, j) lands at the
// centre of that pixel, (i + 0.5, j + 0.5), so rounding the pixel formula and painting agree.
class Projection {
public:
    virtual ~Projection() = default;
    virtual QPointF project(double lon, double lat) const = 0;
    QPointF operator()(QPointF lonLat) const { return project(lonLat.x(), lonLat.y()); }
};

// The Europe map's equirectangular calibration, the same the program places home with.
class EuropeProjection final : public Projection {
public:
    static constexpr double kRefX = vantora::kEuropeRefX;
    static constexpr double kRefY = vantora::kEuropeRefY;
    static constexpr double kRefLon = vantora::kEuropeRefLongitude;
    static constexpr double kRefLat = vantora::kEuropeRefLatitude;
    static constexpr double kDegPerPixelX = vantora::kEuropeDegreesPerPixelX;
    static constexpr double kDegPerPixelY = vantora::kEuropeDegreesPerPixelY;

    QPointF project(double lon, double lat) const override
    {
        return {kRefX + (lon - kRefLon) / kDegPerPixelX + 0.5,
                kRefY + (kRefLat - lat) / kDegPerPixelY + 0.5};
    }
};

// Azimuthal equidistant about a centre: every straight line from the centre pixel is a great
// circle at its true bearing and distance grows linearly with radius, which is what an
// operator reading a beam heading against range wants.
class AzimuthalProjection final : public Projection {
public:
    static constexpr double kEarthRadiusKm = 6371.0;

    AzimuthalProjection(double lon0, double lat0, QPointF centrePixel, double kmPerPixel)
        : m_lon0(lon0 * kRad), m_lat0(lat0 * kRad), m_centre(centrePixel + QPointF(0.5, 0.5)),
          m_kmPerPixel(kmPerPixel)
    {
    }

    QPointF project(double lon, double lat) const override
    {
        const double phi = lat * kRad;
        const double dl = lon * kRad - m_lon0;
        const double cosc = std::sin(m_lat0) * std::sin(phi)
            + std::cos(m_lat0) * std::cos(phi) * std::cos(dl);
        const double c = std::acos(std::clamp(cosc, -1.0, 1.0));
        const double az = std::atan2(std::sin(dl) * std::cos(phi),
                                     std::cos(m_lat0) * std::sin(phi)
                                         - std::sin(m_lat0) * std::cos(phi) * std::cos(dl));
        return polar(az / kRad, c * kEarthRadiusKm);
    }

    // Painter point at a bearing (degrees clockwise from north) and distance from the centre.
    QPointF polar(double bearingDeg, double km) const
    {
        const double r = km / m_kmPerPixel;
        const double a = bearingDeg * kRad;
        return {m_centre.x() + r * std::sin(a), m_centre.y() - r * std::cos(a)};
    }

    QPointF centre() const { return m_centre; }
    double kmPerPixel() const { return m_kmPerPixel; }

private:
    static constexpr double kRad = std::numbers::pi / 180.0;
    double m_lon0;
    double m_lat0;
    QPointF m_centre;
    double m_kmPerPixel;
};

}  // namespace mapgen
