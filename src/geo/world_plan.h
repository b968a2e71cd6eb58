#pragma once
// What the world view shows and where, for one home and one widget size: the countries as
// closed outlines in pixels, coasts and borders, the distance rings and the bearing scale.
// The painter only draws what this plan lists.

#include "geo/azimuthal_projection.h"
#include "geo/locator.h"
#include "geo/world_outline.h"

#include <string>
#include <vector>

namespace vantora {

using PlanLine = std::vector<PlanPoint>;

// One country, filled by the even-odd rule: its outlines, and the rim circle added once when
// the country covers the antipode (then its outline runs round the centre and the country is
// the band between that outline and the rim).
struct PlanCountry {
    int tint = 0;
    std::vector<PlanLine> rings;
    bool withRim = false;
};

// A text centred on its anchor.
struct PlanLabel {
    std::string text;
    PlanPoint anchor;
};

struct PlanTick {
    PlanPoint from;
    PlanPoint to;
    bool major = false;  // every 30 degrees, with a label
};

struct WorldPlan {
    AzimuthalProjection projection;
    std::vector<PlanCountry> countries;
    std::vector<PlanLine> coasts;
    std::vector<PlanLine> borders;
    std::vector<double> distanceRings;  // radii in pixels, the rim excluded
    std::vector<PlanLabel> distanceLabels;
    std::vector<PlanTick> bearingTicks;
    std::vector<PlanLabel> bearingLabels;
};

inline constexpr double kDistanceRingStepKm = 5000.0;
inline constexpr int kBearingTickStep = 10;
inline constexpr int kBearingLabelStep = 30;

// The disc's radius in a widget of width x height: room is left around it for the scale.
int WorldRadius(int width, int height);

// Home at pixel (width / 2, height / 2), where the map gauge's pointer starts; pixel (i, j)
// is addressed at its top-left corner, as the gauge does.
AzimuthalProjection WorldProjection(const GeoPosition& home, int width, int height);

WorldPlan PlanWorld(const WorldOutline& outline, const GeoPosition& home, int width, int height);

}  // namespace vantora
