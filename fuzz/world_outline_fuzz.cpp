// Any bytes as the world outline resource: refused whole or read whole, and an outline that is
// read plans a world whose every point lies on the disc, with tints in range.
#include "geo/locator.h"
#include "geo/world_outline.h"
#include "geo/world_plan.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckOnDisc(const vantora::WorldPlan& plan, const vantora::PlanLine& line)
{
    for (const vantora::PlanPoint& p : line) {
        Check(std::isfinite(p.x) && std::isfinite(p.y));
        Check(std::hypot(p.x - plan.projection.centreX(), p.y - plan.projection.centreY()) <= plan.projection.radius() + 1e-6);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto outline = vantora::ParseWorldOutline(bytes);
    if (!outline)
        return 0;
    for (const vantora::OutlineCountry& country : outline->countries) {
        Check(country.tint >= 0 && country.tint < vantora::kCountryTints);
        for (const vantora::OutlinePolygon& polygon : country.polygons)
            for (const vantora::OutlineRing& ring : polygon)
                for (vantora::ArcRef ref : ring) Check(static_cast<std::size_t>(ref >= 0 ? ref : ~ref) < outline->arcs.size());
    }
    // Home on a corner of the data's grid, so outline points may fall on its antipode exactly.
    const vantora::WorldPlan plan = vantora::PlanWorld(*outline, {0.0, 0.0}, 200, 150);
    for (const vantora::PlanCountry& country : plan.countries)
        for (const vantora::PlanLine& ring : country.rings) CheckOnDisc(plan, ring);
    for (const vantora::PlanLine& line : plan.coasts) CheckOnDisc(plan, line);
    for (const vantora::PlanLine& line : plan.borders) CheckOnDisc(plan, line);
    return 0;
}
