// The world map's core: the projection against PROJ's azimuthal equidistant (a table written by
// tests/data/make_aeqd_reference), the straight line's bearing against the locator bearing, the
// shipped outline and what damaged outline bytes do, and the drawing plan's rim rule.
#include "geo/azimuthal_projection.h"
#include "geo/locator.h"
#include "geo/world_outline.h"
#include "geo/world_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace vantora {
namespace {

std::string SourcePath(const std::string& relative)
{
    const char* root = std::getenv("VANTORA_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

double AngleBetween(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

TEST(WorldProjection, AgreesWithProjAzimuthalEquidistant)
{
    std::ifstream table(SourcePath("tests/data/aeqd_reference.txt"));
    ASSERT_TRUE(table) << "tests/data/aeqd_reference.txt";
    constexpr double kRadius = 1000.0;  // pixels; the tolerance is 0.1 % of it
    const double metresPerPixel = kAntipodeKm * 1000 / kRadius;
    int rows = 0;
    int nearAntipode = 0;
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        GeoPosition home;
        GeoPosition point;
        double x = 0;
        double y = 0;
        ASSERT_TRUE(in >> home.longitude >> home.latitude >> point.longitude >> point.latitude >> x >> y) << line;
        const AzimuthalProjection projection(home, 500, 400, kRadius);
        const PlanPoint p = projection.Project(point);
        EXPECT_NEAR(p.x, 500 + x / metresPerPixel, kRadius * 0.001) << line;
        EXPECT_NEAR(p.y, 400 - y / metresPerPixel, kRadius * 0.001) << line;
        if (std::hypot(x, y) > 0.98 * kAntipodeKm * 1000) ++nearAntipode;
        ++rows;
    }
    EXPECT_GE(rows, 50);
    EXPECT_GE(nearAntipode, 10);
}

TEST(WorldProjection, StraightLineBearingIsTheLocatorBearing)
{
    // Targets on every continent, and the far south, from homes in three parts of the world.
    const char* targets[] = {"IO91WM", "KO85TS", "JF96FD", "KG33XS", "FN20XR", "CM87UT", "GG87JD",
                             "FF46RO", "PM95UQ", "OM89EV", "MK82VV", "QF56OD", "RE78IR", "RB32ID",
                             "JC00AA", "BL11AH", "JN89XW", "JN99AX", "KP20LE", "FQ47AA"};
    for (const char* homeLocator : {"JN89XX", "FN31PR", "FF82AA", "QF22LE"}) {
        const GeoPosition home = VypLoc(homeLocator);
        const AzimuthalProjection projection = WorldProjection(home, 796, 617);
        for (const char* target : targets) {
            if (std::string(target) == homeLocator) continue;
            const GeoPosition position = VypLoc(target);
            const double bearing = projection.BearingOfPixel(projection.Project(position));
            EXPECT_LE(AngleBetween(bearing, VypLocAzm(home, position)), 0.5 + 1e-6) << homeLocator << " to " << target;
        }
    }
}

TEST(WorldOutline, ShippedOutlineHasTheWorldsCountriesAndNeighboursDiffer)
{
    const std::optional<WorldOutline> outline = ParseWorldOutline(ReadFile(SourcePath("resources/world_110m.bin")));
    ASSERT_TRUE(outline.has_value());
    EXPECT_GE(outline->countries.size(), 170u);
    std::vector<std::set<int>> users(outline->arcs.size());
    for (std::size_t c = 0; c < outline->countries.size(); ++c)
        for (const OutlinePolygon& polygon : outline->countries[c].polygons)
            for (const OutlineRing& ring : polygon)
                for (ArcRef ref : ring) users[static_cast<std::size_t>(ref >= 0 ? ref : ~ref)].insert(static_cast<int>(c));
    int borders = 0;
    int coasts = 0;
    for (std::size_t a = 0; a < outline->arcs.size(); ++a) {
        const ArcKind kind = outline->arcs[a].kind;
        EXPECT_EQ(kind == ArcKind::Border, users[a].size() >= 2) << "arc " << a;
        if (kind == ArcKind::Border) {
            ++borders;
            std::set<int> tints;
            for (int c : users[a]) tints.insert(outline->countries[c].tint);
            EXPECT_EQ(tints.size(), users[a].size()) << "neighbours share a tint along arc " << a;
        }
        coasts += kind == ArcKind::Coast;
    }
    EXPECT_GT(borders, 100);
    EXPECT_GT(coasts, 100);
    for (const OutlineCountry& country : outline->countries) {
        EXPECT_GE(country.tint, 0);
        EXPECT_LT(country.tint, kCountryTints);
    }
}

// A small outline in the resource's layout: arcs as (longitude, latitude) in degrees, and one
// country per entry, each a single polygon whose rings list arc references.
std::string Blob(const std::vector<std::vector<std::pair<int, int>>>& arcs, const std::vector<std::vector<std::vector<std::int32_t>>>& countries)
{
    std::string out = "VWO1";
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const auto i16 = [&](int v) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    };
    u32(static_cast<std::uint32_t>(arcs.size()));
    for (const auto& arc : arcs) {
        u32(static_cast<std::uint32_t>(arc.size()));
        for (const auto& [lon, lat] : arc) i16(lon * 100), i16(lat * 100);
    }
    u32(static_cast<std::uint32_t>(countries.size()));
    for (const auto& rings : countries) {
        u32(1);
        u32(static_cast<std::uint32_t>(rings.size()));
        for (const auto& ring : rings) {
            u32(static_cast<std::uint32_t>(ring.size()));
            for (std::int32_t ref : ring) u32(static_cast<std::uint32_t>(ref));
        }
    }
    return out;
}

// A square ring, clockwise on a map with north up, of half-size d degrees about (lon, lat);
// counter-clockwise when reversed (a hole).
std::vector<std::pair<int, int>> Square(int lon, int lat, int d, bool hole = false)
{
    std::vector<std::pair<int, int>> ring{{lon - d, lat - d}, {lon - d, lat + d}, {lon + d, lat + d}, {lon + d, lat - d}, {lon - d, lat - d}};
    if (hole) std::reverse(ring.begin(), ring.end());
    return ring;
}

TEST(WorldOutline, DamagedBytesAreRefusedWhole)
{
    // Two countries sharing the arc between them: one border, two coasts.
    const std::string good = Blob({{{0, 0}, {0, 10}}, {{0, 10}, {10, 10}, {10, 0}, {0, 0}}, {{0, 0}, {-10, 0}, {-10, 10}, {0, 10}}},
                                  {{{0, 1}}, {{2, ~0}}});
    const std::optional<WorldOutline> parsed = ParseWorldOutline(good);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->arcs[0].kind, ArcKind::Border);
    EXPECT_EQ(parsed->arcs[1].kind, ArcKind::Coast);
    EXPECT_NE(parsed->countries[0].tint, parsed->countries[1].tint);

    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(ParseWorldOutline(good.substr(0, n))) << "cut at " << n;
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string wrongMagic = good;
    wrongMagic[3] = '2';
    std::string hugeCount = good;
    hugeCount[4] = hugeCount[5] = hugeCount[6] = hugeCount[7] = '\xFF';
    const Case cases[] = {
        {"wrong header", wrongMagic},
        {"bytes left over", good + '\0'},
        {"arc count far beyond the data", hugeCount},
        {"reference to a missing arc", Blob({{{0, 0}, {0, 10}, {10, 0}, {0, 0}}}, {{{1}}})},
        {"reversed reference to a missing arc", Blob({{{0, 0}, {0, 10}, {10, 0}, {0, 0}}}, {{{~1}}})},
        {"latitude beyond the pole", Blob({{{0, 0}, {0, 91}, {10, 0}, {0, 0}}}, {{{0}}})},
        {"arc of one point", Blob({{{0, 0}}}, {{{0}}})},
        {"ring without arcs", Blob({{{0, 0}, {0, 10}, {10, 0}, {0, 0}}}, {{{}}})},
    };
    for (const Case& c : cases) EXPECT_FALSE(ParseWorldOutline(c.bytes)) << c.what;
}

TEST(WorldPlan, CountryOverTheAntipodeFillsTheBandOutToTheRim)
{
    // Home at 10 W, 40 N: its antipode is 170 E, 40 S.
    const GeoPosition home{-10, 40};
    struct Case {
        const char* what;
        std::vector<std::vector<std::pair<int, int>>> rings;
        bool withRim;
    };
    const Case cases[] = {
        {"around home", {Square(-10, 40, 5)}, false},
        {"elsewhere", {Square(100, 10, 5)}, false},
        {"elsewhere, outline walked the wrong way", {Square(100, 10, 5, true)}, false},
        {"around the antipode", {Square(170, -40, 5)}, true},
        {"around the antipode, with a hole there", {Square(170, -40, 8), Square(170, -40, 3, true)}, false},
        {"around home, with a hole over the antipode", {Square(-10, 40, 5), Square(170, -40, 3, true)}, true},
    };
    for (const Case& c : cases) {
        std::vector<std::vector<std::int32_t>> rings;
        for (std::size_t i = 0; i < c.rings.size(); ++i) rings.push_back({static_cast<std::int32_t>(i)});
        const std::optional<WorldOutline> outline = ParseWorldOutline(Blob(c.rings, {rings}));
        ASSERT_TRUE(outline.has_value()) << c.what;
        const WorldPlan plan = PlanWorld(*outline, home, 796, 617);
        ASSERT_EQ(plan.countries.size(), 1u) << c.what;
        EXPECT_EQ(plan.countries[0].withRim, c.withRim) << c.what;
        for (const PlanLine& ring : plan.countries[0].rings)
            for (const PlanPoint& p : ring)
                ASSERT_LE(std::hypot(p.x - 398, p.y - 308), plan.projection.radius() + 1e-6) << c.what;
    }
}

TEST(WorldPlan, RingsEvery5000KmAndABearingScaleEvery10Degrees)
{
    const WorldPlan plan = PlanWorld(WorldOutline{}, VypLoc("JN89XX"), 796, 617);
    EXPECT_EQ(plan.projection.centreX(), 398);
    EXPECT_EQ(plan.projection.centreY(), 308);
    EXPECT_EQ(plan.projection.radius(), WorldRadius(796, 617));
    EXPECT_LE(plan.projection.centreY() + plan.projection.radius() + 17, 617);  // the scale fits
    ASSERT_EQ(plan.distanceRings.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(plan.distanceRings[i], (i + 1) * 5000 / kAntipodeKm * plan.projection.radius(), 1e-9);
    std::vector<std::string> labels;
    for (const PlanLabel& label : plan.distanceLabels) labels.push_back(label.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"5000 km", "10000 km", "15000 km", "20000 km"}));

    EXPECT_EQ(plan.bearingTicks.size(), 36u);
    ASSERT_EQ(plan.bearingLabels.size(), 12u);
    for (std::size_t i = 0; i < plan.bearingLabels.size(); ++i) {
        const PlanLabel& label = plan.bearingLabels[i];
        EXPECT_EQ(label.text, std::to_string(30 * i));
        EXPECT_NEAR(plan.projection.BearingOfPixel(label.anchor), 30.0 * i, 1e-9) << label.text;
        EXPECT_GT(std::hypot(label.anchor.x - 398, label.anchor.y - 308), plan.projection.radius());
    }
}

}  // namespace
}  // namespace vantora
