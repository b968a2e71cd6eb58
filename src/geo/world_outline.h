#pragma once
// The world's countries as shipped with the program: shared arcs (so coasts, borders and
// neighbours are known without comparing coordinates) and each country's polygons as arc
// references. Read from the resource made by tools/mapgen/worldgen.

#include "geo/locator.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantora {

// A point of the outline as a unit vector from the Earth's centre (x towards 0 E on the
// equator, y towards 90 E, z towards the North Pole); the longitude is kept to tell cut lines.
struct OutlinePoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool onAntimeridian = false;  // longitude exactly 180 E or W
};

// What an arc is on the map: the edge of one country against the sea, the line between two
// countries, or a line inside one country (after two parts of the data were joined).
enum class ArcKind { Coast, Border, Inner };

struct OutlineArc {
    std::vector<OutlinePoint> points;
    ArcKind kind = ArcKind::Coast;
};

// Arc i as stored, or ~i (negative) the same arc walked backwards.
using ArcRef = std::int32_t;
using OutlineRing = std::vector<ArcRef>;

// Outline first, then holes. Outlines run clockwise as seen on a map with north up: the
// country lies to the right of the walking direction, a hole's inside to its left.
using OutlinePolygon = std::vector<OutlineRing>;

struct OutlineCountry {
    std::vector<OutlinePolygon> polygons;
    int tint = 0;  // 0 .. kCountryTints - 1; countries that share a border never share a tint
};

inline constexpr int kCountryTints = 6;

struct WorldOutline {
    std::vector<OutlineArc> arcs;
    std::vector<OutlineCountry> countries;
};

// Reads the resource's bytes. Nothing (no value) when they are not a whole, consistent outline:
// a wrong header, a count that runs past the end, a reference to a missing arc, bytes left over.
std::optional<WorldOutline> ParseWorldOutline(std::string_view bytes);

OutlinePoint ToOutlinePoint(const GeoPosition& position);

}  // namespace vantora
