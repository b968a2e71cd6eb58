// The world view painted into the map gauge: land and sea where they belong for homes in
// Europe, North America and the southern hemisphere (there the antipode lies in China), the
// pointer's length and the long path, and that only a new home or size draws the world again.
#include "geo/azimuthal_projection.h"
#include "geo/locator.h"
#include "geo/map_view.h"
#include "geo/ui/map_view.h"
#include "geo/ui/world_view.h"
#include "geo/world_plan.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace vantora {
namespace {

constexpr QRgb kSea = qRgb(172, 206, 228);
const std::set<QRgb> kLandTints = {qRgb(236, 226, 202), qRgb(216, 230, 194), qRgb(243, 214, 188),
                                   qRgb(224, 214, 232), qRgb(246, 236, 162), qRgb(236, 206, 204)};

struct MapFixture {
    TA3nalogGauge gauge;
    MapView view{gauge};

    MapFixture()
    {
        ConfigureMapGauge(gauge);
        view.LoadImages();
        view.SetCallsign(QStringLiteral("OK1XYZ"));
    }

    void showWorld(const char* home)
    {
        view.HomePix(VypLoc(home));
        view.SetZoom(130);
    }

    // The most frequent colour of the 5 x 5 pixels around a place: its fill, even where a
    // distance ring or a border line crosses it.
    QRgb colourAt(const char* home, const GeoPosition& where)
    {
        const PlanPoint p = WorldProjection(VypLoc(home), gauge.width(), gauge.height()).Project(where);
        const QImage& layer = gauge.backBitmap();
        std::map<QRgb, int> counts;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                ++counts[layer.pixel(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy) | 0xFF000000u];
        return std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; })->first;
    }
};

struct Spot {
    const char* what;
    GeoPosition where;
    bool land;
};

TEST(WorldView, LandAndSeaWhereTheyBelongForHomesAroundTheWorld)
{
    struct Case {
        const char* home;
        std::vector<Spot> spots;
    };
    const std::vector<Spot> common = {
        {"Siberia", {100, 62}, true},         {"Amazon basin", {-60, -8}, true},
        {"Australia", {134, -25}, true},      {"Sahara (Algeria)", {3, 27}, true},
        {"Antarctica", {40, -80}, true},      {"Mid-Atlantic", {-35, 30}, false},
        {"South Pacific", {-130, -30}, false}, {"Indian Ocean", {75, -25}, false},
        {"North Pacific", {-160, 35}, false},
    };
    const Case cases[] = {
        {"JN89XX", {{"Spain", {-4, 40}, true}, {"Ukraine", {31, 49}, true}, {"Bay of Biscay", {-6, 45.5}, false}}},
        {"FN31PR", {{"Kansas", {-98, 38.5}, true}, {"Mexico", {-102, 24}, true}, {"Off Nova Scotia", {-60, 40}, false}}},
        // From Argentina the antipode lies in northern China: China is the band out to the rim.
        {"FF82AA", {{"Argentina", {-65, -35}, true}, {"Central China", {104, 34}, true},
                    {"Mongolia", {103, 46}, true}, {"East China Sea", {126, 29}, false},
                    {"Sea of Japan", {134, 40}, false}}},
    };
    MapFixture map;
    for (const Case& c : cases) {
        map.showWorld(c.home);
        std::vector<Spot> spots = common;
        spots.insert(spots.end(), c.spots.begin(), c.spots.end());
        for (const Spot& spot : spots) {
            const QRgb colour = map.colourAt(c.home, spot.where);
            if (spot.land)
                EXPECT_TRUE(kLandTints.count(colour)) << c.home << ": " << spot.what << " is not land, " << std::hex << colour;
            else
                EXPECT_EQ(colour, kSea) << c.home << ": " << spot.what << " is not sea, " << std::hex << colour;
        }
        // Beyond the rim (the antipode) the map's background colour.
        EXPECT_EQ(map.gauge.backBitmap().pixel(3, 3) | 0xFF000000u, MapBackgroundColor().rgb()) << c.home;
    }
}

TEST(WorldView, OnlyANewHomeOrSizeDrawsTheWorldAgain)
{
    MapFixture map;
    map.showWorld("JN89XX");
    const WorldView& world = map.view.world();
    const int draws = world.worldDraws();
    for (int position = 0; position < 360; position += 7) map.gauge.setPosition(static_cast<float>(position));
    map.view.SetTargetLocator(QStringLiteral("pm95uq"));
    map.view.SetZoom(130);  // the menu item again
    EXPECT_EQ(world.worldDraws(), draws);
    EXPECT_EQ(world.target(), "PM95UQ");

    map.showWorld("FN31PR");  // Preferences OK with a new home
    EXPECT_EQ(world.worldDraws(), draws + 1);
    map.gauge.resize(900, 700);
    map.view.SetZoom(130);
    EXPECT_EQ(world.worldDraws(), draws + 2);
}

TEST(WorldView, PointerEndsAtTheRimAndTheLongPathIsDashedUntilAnotherViewIsChosen)
{
    MapFixture map;
    map.view.HomePix(VypLoc("JN89XX"));
    map.view.SetZoom(100);
    const int ownMargin = map.gauge.margin();
    const QImage europe = map.gauge.backBitmap().copy();

    map.view.SetZoom(130);
    EXPECT_EQ(map.gauge.layerGeometry().radius, WorldRadius(796, 617));
    EXPECT_EQ(map.gauge.tailStyle(), Qt::DashLine);
    EXPECT_EQ(map.view.zoomState(), 13);

    map.view.SetZoom(100);
    EXPECT_EQ(map.gauge.margin(), ownMargin);
    EXPECT_EQ(map.gauge.tailStyle(), Qt::NoPen);
    EXPECT_EQ(map.gauge.backBitmap(), europe);  // the Europe view exactly as before
}

TEST(WorldView, TargetIsMarkedWithItsLocator)
{
    MapFixture map;
    map.showWorld("JN89XX");
    const PlanPoint p = WorldProjection(VypLoc("JN89XX"), 796, 617).Project(VypLoc("QF56OD"));
    const QImage before = map.gauge.backBitmap().copy();
    map.view.SetTargetLocator(QStringLiteral("QF56OD"));
    const QImage after = map.gauge.backBitmap();
    // The text goes right of the mark: pixels change there, and the rest of the map stays.
    int changedNear = 0;
    int changedFar = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y)) continue;
            const bool near = x >= p.x - 6 && x <= p.x + 70 && std::abs(y - p.y) <= 10;
            (near ? changedNear : changedFar) += 1;
        }
    EXPECT_GT(changedNear, 40);
    EXPECT_EQ(changedFar, 0);
    map.view.SetTargetLocator(QStringLiteral("not a locator"));
    EXPECT_EQ(map.gauge.backBitmap(), before);
}

}  // namespace
}  // namespace vantora
