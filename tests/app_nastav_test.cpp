// Target routing: every route of Nastav, the combinations without a route, 16-bit storage and
// two targets given before one poll tick.
#include "station/nastav.h"
#include "station/presets_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace vantora {
namespace {

constexpr std::int16_t kOldTarget1 = 11;
constexpr std::int16_t kOldTarget2 = 22;
constexpr const char* kOldLabel7 = "7°";
constexpr const char* kOldLabel9 = "9°";

struct Records {
    RotatorState state;
    GotoRequest request{kOldTarget1, kOldTarget2, 0};
    Setpoints setpoints;
    Records(int mode, int selected)
    {
        state.rotator2Mode = static_cast<std::uint8_t>(mode);
        state.activeRotator = static_cast<std::uint8_t>(selected);
        setpoints.rotator1.value = kOldLabel7;
        setpoints.rotator2.value = kOldLabel9;
    }
    NastavTarget Target() { return {state, request, setpoints}; }
};

struct Route {
    int code;
    int mode;      // -1: any
    int selected;  // -1: any
    bool rotator1; // target1 = value1, Label7
    std::optional<int> rotator2From;  // 1: target2 = value1, 2: target2 = value2
    int which;
};

// The routing table, row by row.
constexpr Route kRoutes[] = {
    {1, 2, -1, true, std::nullopt, 1},
    {1, 1, 0, true, std::nullopt, 1},
    {1, 1, 1, false, 1, 2},
    {2, 2, -1, false, 2, 2},
    {3, 2, -1, true, 2, 3},
    {3, 1, 0, true, std::nullopt, 1},
    {3, 1, 1, false, 1, 2},
    {4, -1, -1, true, std::nullopt, 1},
    {5, 1, -1, false, 1, 2},
};

const Route* FindRoute(int code, int mode, int selected)
{
    for (const Route& r : kRoutes) {
        if (r.code == code && (r.mode < 0 || r.mode == mode) && (r.selected < 0 || r.selected == selected))
            return &r;
    }
    return nullptr;
}

class NastavRouting : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(NastavRouting, FollowsTheTableAndChangesNothingElsewhere)
{
    const auto [code, mode, selected] = GetParam();
    Records rec(mode, selected);
    const bool routed = Nastav(code, 123, 45, rec.Target());
    const Route* route = FindRoute(code, mode, selected);

    ASSERT_EQ(routed, route != nullptr);
    if (route == nullptr) {
        EXPECT_EQ(rec.request.which, 0);
        EXPECT_EQ(rec.request.target1, kOldTarget1);
        EXPECT_EQ(rec.request.target2, kOldTarget2);
        EXPECT_EQ(rec.setpoints.rotator1.value, kOldLabel7);
        EXPECT_EQ(rec.setpoints.rotator2.value, kOldLabel9);
        return;
    }
    EXPECT_EQ(rec.request.which, route->which);
    EXPECT_EQ(rec.request.target1, route->rotator1 ? 123 : kOldTarget1);
    EXPECT_EQ(rec.setpoints.rotator1.value, route->rotator1 ? "123°" : kOldLabel7);
    if (route->rotator2From) {
        const int expected = *route->rotator2From == 1 ? 123 : 45;
        EXPECT_EQ(rec.request.target2, expected);
        EXPECT_EQ(rec.setpoints.rotator2.value, std::to_string(expected) + "°");
    } else {
        EXPECT_EQ(rec.request.target2, kOldTarget2);
        EXPECT_EQ(rec.setpoints.rotator2.value, kOldLabel9);
    }
}

// Codes 0..6 (0 and 6 have no route), modes 0..3 (0 before any report), selections 0..2.
INSTANTIATE_TEST_SUITE_P(AllCombinations, NastavRouting,
                         ::testing::Combine(::testing::Range(0, 7), ::testing::Range(0, 4),
                                            ::testing::Range(0, 3)));

TEST(Nastav, StoresLowSixteenBitsAndShowsTheValueGiven)
{
    struct Case {
        std::int32_t value;
        std::int16_t stored;
    };
    for (const Case c : {Case{360, 360}, Case{-1, -1}, Case{65535, -1}, Case{70000, 4464},
                         Case{-32769, 32767}}) {
        Records rec(2, 0);
        ASSERT_TRUE(Nastav(4, c.value, 0, rec.Target()));
        EXPECT_EQ(rec.request.target1, c.stored) << c.value;
        EXPECT_EQ(rec.setpoints.rotator1.value, std::to_string(c.value) + "°");
    }
}

TEST(Nastav, SecondCallBeforeTheTickReplacesTheFlagButKeepsTheOtherTarget)
{
    Records rec(2, 0);
    Nastav(4, 100, 0, rec.Target());
    Nastav(2, 0, 30, rec.Target());
    EXPECT_EQ(rec.request.which, 2);
    EXPECT_EQ(rec.request.target1, 100);
    EXPECT_EQ(rec.request.target2, 30);
    EXPECT_EQ(rec.setpoints.rotator1.value, "100°");
    EXPECT_EQ(rec.setpoints.rotator2.value, "30°");
}

TEST(Nastav, KeepsTheAcknowledgementColour)
{
    Records rec(2, 0);
    rec.setpoints.rotator1.acknowledged = true;
    rec.setpoints.rotator1.counter = 7;
    Nastav(1, 90, 0, rec.Target());
    EXPECT_TRUE(rec.setpoints.rotator1.acknowledged);
    EXPECT_EQ(rec.setpoints.rotator1.counter, 7);
}

TEST(Presets, InfoLineAndGoTo)
{
    Settings settings;
    settings.PresetAzimuth[3] = 225;
    settings.PresetElevation[3] = 10;
    settings.PresetAzimuth[8] = -5;
    EXPECT_EQ(MouseOnPreset(settings, 3), "A=225° E=10°");
    EXPECT_EQ(MouseOnPreset(settings, 8), "A=-5° E=0°");
    EXPECT_EQ(MouseOnPreset(settings, 0), "");
    EXPECT_EQ(MouseOnPreset(settings, 9), "");

    Records elevation(2, 0);
    ASSERT_TRUE(GoPreset(settings, 3, elevation.Target()));
    EXPECT_EQ(elevation.request.which, 3);
    EXPECT_EQ(elevation.setpoints.rotator1.value, "225°");
    EXPECT_EQ(elevation.setpoints.rotator2.value, "10°");

    Records azimuth(1, 0);
    ASSERT_TRUE(GoPreset(settings, 3, azimuth.Target()));
    EXPECT_EQ(azimuth.request.which, 1);
    EXPECT_EQ(azimuth.request.target1, 225);
    EXPECT_EQ(azimuth.request.target2, kOldTarget2);
    EXPECT_EQ(azimuth.setpoints.rotator2.value, kOldLabel9);

    Records outOfRange(2, 0);
    EXPECT_FALSE(GoPreset(settings, 9, outOfRange.Target()));
    EXPECT_EQ(outOfRange.request.which, 0);
}

}  // namespace
}  // namespace vantora
