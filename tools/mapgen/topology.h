#pragma once

#include <QPointF>
#include <QString>

#include <vector>

namespace mapgen {

// Longitude (x) and latitude (y) in degrees, east and north positive.
using Ring = std::vector<QPointF>;

// A polygon as arc references: the first ring is the outline, the others are holes.
// Reference i >= 0 is arc i as stored, ~i is arc i reversed (TopoJSON convention).
using ArcRing = std::vector<int>;
using ArcPolygon = std::vector<ArcRing>;

struct Country {
    QString name;
    QString id;  // ISO 3166-1 numeric, may be empty for disputed areas
    std::vector<ArcPolygon> polygons;
};

// The "countries" object of a world-atlas TopoJSON file with its arcs decoded to degrees.
class Topology {
public:
    // Reads the file; on failure returns false and leaves a reason in *error.
    bool load(const QString &path, QString *error);

    const std::vector<Ring> &arcs() const { return m_arcs; }
    std::vector<Country> &countries() { return m_countries; }
    const std::vector<Country> &countries() const { return m_countries; }

    // The points of one ring, arcs joined (each arc after the first drops its repeated first point).
    Ring ring(const ArcRing &refs) const;

    int findCountry(const QString &name) const;

    // Moves the polygons of `from` that contain `inside` to `to` (for a boundary shown
    // differently from the data's default).
    void movePolygons(const QString &from, const QString &to, QPointF inside);
    // Gives every polygon of `from` to `to` and removes `from`.
    void mergeInto(const QString &from, const QString &to);

    // For every arc, the countries that use it: one for a coast, two for a border, the same
    // country twice for a line inside a country (after a merge).
    std::vector<std::vector<int>> arcUsers() const;

private:
    std::vector<Ring> m_arcs;
    std::vector<Country> m_countries;
};

bool ringContains(const Ring &ring, QPointF p);

}  // namespace mapgen
