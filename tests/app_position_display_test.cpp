// The position display model: dial values, captions, face colours, centre dots, the map arrow
// and the reshaping of the rotator 2 dial.
#include "link/setpoints.h"
#include "station/position_display.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantora {
namespace {

RotatorState Report(std::int32_t a, std::int32_t e, int mode, int active, int status1 = 1, int status2 = 1)
{
    RotatorState s;
    s.position1 = a;
    s.position2 = e;
    s.rotator2Mode = static_cast<std::uint8_t>(mode);
    s.activeRotator = static_cast<std::uint8_t>(active);
    s.status1 = static_cast<std::uint8_t>(status1);
    s.status2 = static_cast<std::uint8_t>(status2);
    return s;
}

std::vector<DialStep> Show(const RotatorState& s, PositionDisplay& d)
{
    ShowAzimut(s, d);
    return ShowElevace(s, d);
}

TEST(PositionDisplay, AzimuthToDialAndCaption)
{
    struct Case {
        std::int32_t a;
        int dial;
        const char* caption;
    };
    for (const Case c : {Case{0, 180, "0°"}, Case{90, 270, "90°"}, Case{180, 0, "180°"},
                         Case{359, 179, "359°"}, Case{400, 220, "400°"}, Case{600, 420, "600°"}}) {
        PositionDisplay d;
        Show(Report(c.a, 10, 2, 0), d);
        EXPECT_EQ(d.gauge1.position, c.dial) << c.a;
        EXPECT_EQ(d.gauge1.caption, c.caption) << c.a;
        EXPECT_EQ(d.mapPosition, c.dial) << c.a;
        EXPECT_EQ(d.beamAzimuth, c.a) << c.a;
    }
}

TEST(PositionDisplay, RotatorTwoValues)
{
    struct Case {
        std::int32_t e;  // as held after decoding (65535 arrives as -1)
        int mode;
        int dial;
        const char* caption;
    };
    for (const Case c : {Case{-1, 2, -1, "-1°"}, Case{65000, 2, 65000, "65000°"}, Case{45, 2, 45, "45°"},
                         Case{-1, 1, 179, "-1°"}, Case{270, 1, 90, "270°"}, Case{-535, 1, -355, "-535°"},
                         Case{77, 0, 0, "77°"}, Case{77, 3, 0, "77°"}}) {
        PositionDisplay d;
        Show(Report(0, c.e, c.mode, 0), d);
        EXPECT_EQ(d.gauge2.position, c.dial) << c.e << " mode " << c.mode;
        EXPECT_EQ(d.gauge2.caption, c.caption) << c.e << " mode " << c.mode;
    }
}

TEST(PositionDisplay, ReshapesOnlyWhenTheScaleShowsTheOtherShape)
{
    const std::vector<DialStep> toFull = {
        {DialProperty::Style, DialStyle::Center, 0},
        {DialProperty::Margin, DialStyle::Center, 3},
        {DialProperty::Scale, DialStyle::Center, 360},
        {DialProperty::Angle, DialStyle::Center, 360},
    };
    const std::vector<DialStep> toQuarter = {
        {DialProperty::Style, DialStyle::Right, 0},
        {DialProperty::Margin, DialStyle::Center, 20},
        {DialProperty::Scale, DialStyle::Center, 90},
        {DialProperty::Angle, DialStyle::Center, 90},
    };
    PositionDisplay d;
    EXPECT_TRUE(Show(Report(0, 30, 2, 0), d).empty());
    EXPECT_EQ(d.gauge2Shape, kQuarterDial);

    EXPECT_EQ(Show(Report(0, 30, 1, 0), d), toFull);
    EXPECT_EQ(d.gauge2Shape, kFullDial);
    EXPECT_EQ(d.gauge2.position, 210);
    EXPECT_TRUE(Show(Report(0, 31, 1, 0), d).empty());

    // Any other mode keeps whatever shape the dial has.
    EXPECT_TRUE(Show(Report(0, 31, 0, 0), d).empty());
    EXPECT_EQ(d.gauge2Shape, kFullDial);
    EXPECT_EQ(d.gauge2.position, 0);

    EXPECT_EQ(Show(Report(0, 30, 2, 0), d), toQuarter);
    EXPECT_EQ(d.gauge2Shape, kQuarterDial);
    EXPECT_EQ(d.gauge2.position, 30);
    EXPECT_TRUE(Show(Report(0, 30, 2, 0), d).empty());
}

TEST(PositionDisplay, FaceColourByStatus)
{
    PositionDisplay d;
    EXPECT_EQ(d.gauge1.face, kSilver);
    Show(Report(0, 0, 2, 0, 1, 0), d);
    EXPECT_EQ(d.gauge1.face, kLightGreen);
    EXPECT_EQ(d.gauge2.face, kSignalRed);
    Show(Report(0, 0, 2, 0, 2, 7), d);  // statuses without a colour keep the last one
    EXPECT_EQ(d.gauge1.face, kLightGreen);
    EXPECT_EQ(d.gauge2.face, kSignalRed);
    Show(Report(0, 0, 2, 0, 255, 1), d);
    EXPECT_EQ(d.gauge1.face, kSilver);
    EXPECT_EQ(d.gauge2.face, kLightGreen);
    Show(Report(0, 0, 2, 0, 2, 2), d);
    EXPECT_EQ(d.gauge1.face, kSilver);
    EXPECT_EQ(d.gauge2.face, kLightGreen);
}

TEST(PositionDisplay, MapFollowsTheSelectedAzimuthRotator)
{
    struct Case {
        int mode;
        int active;
        bool followsRotator2;
        bool followsAny;
    };
    // Rotator 1 at 90 (dial 270), rotator 2 at 200 (dial 20 as an azimuth).
    for (const Case c : {Case{2, 0, false, true}, Case{2, 1, false, true}, Case{1, 0, false, true},
                         Case{1, 1, true, true}, Case{0, 0, false, true}, Case{0, 1, false, false}}) {
        PositionDisplay d;
        d.beamAzimuth = -7;
        Show(Report(90, 200, c.mode, c.active), d);
        const int expectedMap = !c.followsAny ? 180 : c.followsRotator2 ? 20 : 270;
        const int expectedBeam = !c.followsAny ? -7 : c.followsRotator2 ? 200 : 90;
        EXPECT_EQ(d.mapPosition, expectedMap) << c.mode << "/" << c.active;
        EXPECT_EQ(d.beamAzimuth, expectedBeam) << c.mode << "/" << c.active;
    }
}

TEST(PositionDisplay, RedCentreDotMarksTheSelectedRotator)
{
    PositionDisplay d;
    EXPECT_EQ(d.gauge1.centre, kLightGreen);
    EXPECT_EQ(d.gauge2.centre, kLightGreen);

    Show(Report(0, 0, 1, 0), d);
    EXPECT_EQ(d.gauge1.centre, kSignalRed);
    EXPECT_EQ(d.gauge2.centre, kLightGreen);

    Show(Report(0, 0, 1, 1), d);
    EXPECT_EQ(d.gauge1.centre, kLightGreen);
    EXPECT_EQ(d.gauge2.centre, kSignalRed);

    // In elevation mode the unit's selection still moves the dot, though the map stays on 1.
    Show(Report(10, 0, 2, 0), d);
    EXPECT_EQ(d.gauge1.centre, kSignalRed);
    Show(Report(10, 0, 2, 1), d);
    EXPECT_EQ(d.gauge1.centre, kLightGreen);
    EXPECT_EQ(d.gauge2.centre, kSignalRed);
    EXPECT_EQ(d.mapPosition, 190);

    // An active rotator the unit cannot have leaves both dots.
    Show(Report(10, 0, 1, 2), d);
    EXPECT_EQ(d.gauge1.centre, kLightGreen);
    EXPECT_EQ(d.gauge2.centre, kSignalRed);
}

TEST(PositionDisplay, OnlyWhatAReportChangedIsRedrawn)
{
    // Each case: a first report shown, then a second; which parts differ afterwards.
    struct Case {
        const char* what;
        RotatorState first, second;
        bool gauge1, gauge2, map;
    };
    const Case cases[] = {
        {"the same values again", Report(90, 30, 2, 0), Report(90, 30, 2, 0), false, false, false},
        {"azimuth of rotator 1", Report(90, 30, 2, 0), Report(91, 30, 2, 0), true, false, true},
        {"elevation of rotator 2", Report(90, 30, 2, 0), Report(90, 31, 2, 0), false, true, false},
        {"second azimuth rotator, the map on it", Report(90, 30, 1, 1), Report(90, 40, 1, 1), false, true, true},
        {"status of rotator 1", Report(90, 30, 2, 0, 1), Report(90, 30, 2, 0, 0), true, false, false},
        {"status of rotator 2", Report(90, 30, 2, 0, 1, 1), Report(90, 30, 2, 0, 1, 255), false, true, false},
        {"the other rotator selected", Report(90, 200, 1, 0), Report(90, 200, 1, 1), true, true, true},
        {"rotator 2 turns azimuth rotator", Report(90, 30, 2, 0), Report(90, 30, 1, 0), false, true, false},
    };
    for (const Case& c : cases) {
        PositionDisplay d;
        Show(c.first, d);
        const PositionDisplay shown = d;
        Show(c.second, d);
        const DisplayChange change = ChangedParts(&shown, d);
        EXPECT_EQ(change.gauge1, c.gauge1) << c.what;
        EXPECT_EQ(change.gauge2, c.gauge2) << c.what;
        EXPECT_EQ(change.map, c.map) << c.what;
        EXPECT_EQ(change.Any(), c.gauge1 || c.gauge2 || c.map) << c.what;
    }
    // Nothing shown yet: everything is drawn once, whatever the values.
    const DisplayChange first = ChangedParts(nullptr, PositionDisplay{});
    EXPECT_TRUE(first.gauge1 && first.gauge2 && first.map);
}

TEST(Setpoints, ReadTheSameWhateverTheTickCounter)
{
    const SetpointLabel shown{"90°", true, 3};
    EXPECT_TRUE(ShowsSame(shown, SetpointLabel{"90°", true, 4}));
    EXPECT_FALSE(ShowsSame(shown, SetpointLabel{"90°", false, 3}));
    EXPECT_FALSE(ShowsSame(shown, SetpointLabel{"91°", true, 3}));
}

}  // namespace
}  // namespace vantora
