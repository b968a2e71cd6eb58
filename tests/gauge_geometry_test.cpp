// Gauge geometry, property rules, redraw-rate measurement and supersample reduction: the parts of
// the dial that need no display.
#include "widgets/downsample.h"
#include "widgets/frame_meter.h"
#include "common/round_half_even.h"
#include "widgets/gauge_geometry.h"
#include "widgets/gauge_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace vantora {
namespace {

TEST(GaugeRounding, HalvesGoToTheEvenNeighbour)
{
    struct Case {
        double in;
        int out;
    };
    const Case cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},     {50.5, 50},  {-0.5, 0},       {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {1e12, INT_MAX}, {-1e12, INT_MIN},
        {std::nan(""), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

struct GeometryCase {
    const char* name;
    int w, h, k;
    TStyle style;
    int angle, margin, scale;
    double cx;
    int cxPixel, cy, radius;
    double baseAngle;
    std::vector<std::pair<float, GaugePoint>> ends;  // pointer end at a position
};

TEST(GaugeGeometry, CentreRadiusBaseAngleAndPointerEndsOfEachStyle)
{
    const GeometryCase cases[] = {
        // Rotator dial: integer halves for radius and cy, exact half for cx. 0 points down, a
        // quarter left, half up, three quarters right; 96.5 and 187.5 round to even.
        {"rotator dial", 193, 193, 1, TStyle::CenterStyle, 360, 5, 360, 96.5, 96, 96, 91, -90.0,
         {{0.0f, {96, 187}}, {90.0f, {6, 96}}, {180.0f, {96, 5}}, {270.0f, {188, 96}}, {360.0f, {96, 187}}}},
        // Odd width: the pointer starts at the truncated half, end points use the exact one
        // (97.5 rounds to even 98).
        {"odd width", 195, 195, 1, TStyle::CenterStyle, 360, 5, 360, 97.5, 97, 97, 92, -90.0, {{180.0f, {98, 5}}}},
        {"rotator dial x2", 386, 386, 2, TStyle::CenterStyle, 360, 5, 360, 193.0, 193, 193, 183, -90.0, {}},
        // 173 - 153 * 0.7071 = 64.81 at 45.
        {"quarter dial", 193, 193, 1, TStyle::RightStyle, 90, 20, 90, 173.0, 173, 173, 153, 0.0,
         {{0.0f, {20, 173}}, {90.0f, {173, 20}}, {45.0f, {65, 65}}}},
        {"left style", 100, 80, 1, TStyle::LeftStyle, 90, 10, 90, 10.0, 10, 70, 80, 90.0,
         {{0.0f, {10, -10}}, {90.0f, {90, 70}}}},
        // Below 180 degrees the radius reaches the margins: 102.5 / cos 30 = 118.35 -> 118,
        // and the centre sits low: 118 + (180 - 118) / 2.
        {"default 120 degrees", 225, 180, 1, TStyle::CenterStyle, 120, 10, 140, 112.5, 112, 149, 118, 30.0, {}},
        // 102.5 / cos 60 = 205 is limited to H - 2m = 80; cy = 80 + 20 / 2.
        {"flat box", 225, 100, 1, TStyle::CenterStyle, 60, 10, 140, 112.5, 112, 90, 80, 60.0, {}},
        {"half circle", 225, 180, 1, TStyle::CenterStyle, 180, 10, 140, 112.5, 112, 90, 102, 0.0, {}},
        // Map: a negative margin gives a radius beyond the edges.
        {"map", 796, 617, 1, TStyle::CenterStyle, 360, -120, 360, 398.0, 398, 308, 518, -90.0,
         {{180.0f, {398, -210}}, {270.0f, {916, 308}}}},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GaugeGeometry g = ComputeGaugeGeometry(c.w, c.h, c.k, c.style, c.angle, c.margin, c.scale);
        EXPECT_DOUBLE_EQ(g.cx, c.cx);
        EXPECT_EQ(g.cxPixel, c.cxPixel);
        EXPECT_EQ(g.cy, c.cy);
        EXPECT_EQ(g.radius, c.radius);
        EXPECT_DOUBLE_EQ(g.baseAngle, c.baseAngle);
        for (const auto& [position, end] : c.ends)
            EXPECT_EQ(g.PointerEnd(position), end) << position;
    }
}

TEST(GaugeGeometry, LeftAndRightStylesSpanAtMostAQuarter)
{
    EXPECT_EQ(LimitAngleForStyle(TStyle::LeftStyle, 360), 90);
    EXPECT_EQ(LimitAngleForStyle(TStyle::RightStyle, 120), 90);
    EXPECT_EQ(LimitAngleForStyle(TStyle::RightStyle, 45), 45);
    EXPECT_EQ(LimitAngleForStyle(TStyle::CenterStyle, 360), 360);
}

FaceParams RotatorFace()
{
    FaceParams p;
    p.margin = 5;
    p.numMainTicks = 4;
    p.lengthMainTicks = 20;
    p.lengthSubTicks = 4;
    p.indMinimum = 1;
    p.indMaximum = 89;
    p.options = FaceBit(TFaceOption::ShowMainTicks) | FaceBit(TFaceOption::ShowSubTicks) |
                FaceBit(TFaceOption::ShowCenter) | FaceBit(TFaceOption::ShowCaption);
    return p;
}

TEST(GaugeFaceLayout, RotatorDialCaptionTicksAndMargin)
{
    const GaugeGeometry dial = ComputeGaugeGeometry(193, 193, 1, TStyle::CenterStyle, 360, 5, 360);
    const FaceLayout layout = ComputeFaceLayout(dial, 193, 193, RotatorFace());
    // Radius 45.5 straight up from y 96: 50.5, halves to even.
    EXPECT_EQ(layout.caption, (GaugePoint{96, 50}));
    EXPECT_EQ(layout.margin, (GaugeRect{5, 5, 188, 188}));
    ASSERT_EQ(layout.subTicks.size(), 21u);
    ASSERT_EQ(layout.mainTicks.size(), 5u);
    EXPECT_TRUE(layout.circles.empty());
    EXPECT_TRUE(layout.values.empty());
    EXPECT_FALSE(layout.hasMaxBand || layout.hasMidBand || layout.hasMinBand);
    // Main tick 2 is half the scale: straight up from radius 71 to 91.
    EXPECT_EQ(layout.mainTicks[2].from, (GaugePoint{96, 25}));
    EXPECT_EQ(layout.mainTicks[2].to, (GaugePoint{96, 5}));
    // A full circle puts the first and last tick on the same spot.
    EXPECT_EQ(layout.mainTicks[0].to, layout.mainTicks[4].to);
    EXPECT_EQ(layout.subTicks[0].to, layout.subTicks[20].to);
    // Sub tick 5 coincides with main tick 1 (pointing left): from radius 87 to 91.
    EXPECT_EQ(layout.subTicks[5].from, (GaugePoint{10, 96}));
    EXPECT_EQ(layout.subTicks[5].to, layout.mainTicks[1].to);
}

TEST(GaugeFaceLayout, CaptionOfTheQuarterDialSitsMidScale)
{
    const GaugeGeometry quarter = ComputeGaugeGeometry(193, 193, 1, TStyle::RightStyle, 90, 20, 90);
    FaceParams p = RotatorFace();
    p.margin = 20;
    const FaceLayout layout = ComputeFaceLayout(quarter, 193, 193, p);
    // Radius 76.5 at 45 degrees from (173, 173): 173 - 54.09 = 118.9.
    EXPECT_EQ(layout.caption, (GaugePoint{119, 119}));
    EXPECT_EQ(layout.margin, (GaugeRect{20, 20, 173, 173}));
}

TEST(GaugeFaceLayout, NumbersUseIntegerValuesAndAShrinkingHorizontalRadius)
{
    const GaugeGeometry dial = ComputeGaugeGeometry(193, 193, 1, TStyle::CenterStyle, 360, 5, 140);
    FaceParams p = RotatorFace();
    p.numMainTicks = 3;
    p.options = FaceBit(TFaceOption::ShowValues) | FaceBit(TFaceOption::ShowCircles);
    const FaceLayout layout = ComputeFaceLayout(dial, 193, 193, p);
    ASSERT_EQ(layout.values.size(), 4u);
    const int numbers[] = {0, 46, 93, 140};  // i * 140 / 3, remainder dropped
    for (int i = 0; i < 4; ++i) EXPECT_EQ(layout.values[i].number, numbers[i]) << i;
    EXPECT_TRUE(layout.mainTicks.empty());
    ASSERT_EQ(layout.circles.size(), 4u);
    EXPECT_EQ(layout.circles[0], (GaugePoint{96, 187}));

    // Four intervals: value 1 points left, value 3 right. Top edge at radius 91 - 20 - 5 = 66,
    // horizontal centre at radius 66 - i.
    p.numMainTicks = 4;
    const FaceLayout four = ComputeFaceLayout(dial, 193, 193, p);
    ASSERT_EQ(four.values.size(), 5u);
    EXPECT_EQ(four.values[1].anchor, (GaugePoint{32, 96}));   // 96.5 - 65 = 31.5 -> 32
    EXPECT_EQ(four.values[2].anchor, (GaugePoint{96, 30}));   // straight up, radius 66
    EXPECT_EQ(four.values[3].anchor, (GaugePoint{160, 96}));  // 96.5 + 63 = 159.5 -> 160
    EXPECT_EQ(four.values[0].anchor, (GaugePoint{96, 162}));  // straight down, radius 66
}

TEST(GaugeFaceLayout, IndicatorBandsRunCounterClockwiseFromTheHigherValue)
{
    const GaugeGeometry dial = ComputeGaugeGeometry(193, 193, 1, TStyle::CenterStyle, 360, 5, 360);
    FaceParams p = RotatorFace();
    p.indMinimum = 30;
    p.indMaximum = 80;
    p.options = FaceBit(TFaceOption::ShowIndicatorMax) | FaceBit(TFaceOption::ShowIndicatorMid) |
                FaceBit(TFaceOption::ShowIndicatorMin);
    const FaceLayout layout = ComputeFaceLayout(dial, 193, 193, p);
    ASSERT_TRUE(layout.hasMaxBand && layout.hasMidBand && layout.hasMinBand);
    // Circle about (96.5, 96) of radius 91: 5.5 and 187.5 round to even.
    EXPECT_EQ(layout.maxBand.box, (GaugeRect{6, 5, 188, 187}));
    // Value 360 points down (-90 from 3 o'clock); the band sweeps back over 280 degrees to 80.
    EXPECT_DOUBLE_EQ(layout.maxBand.startDegrees, -90.0);
    EXPECT_DOUBLE_EQ(layout.maxBand.spanDegrees, 280.0);
    EXPECT_DOUBLE_EQ(layout.midBand.startDegrees, 190.0);
    EXPECT_DOUBLE_EQ(layout.midBand.spanDegrees, 50.0);
    EXPECT_DOUBLE_EQ(layout.minBand.startDegrees, 240.0);
    EXPECT_DOUBLE_EQ(layout.minBand.spanDegrees, 30.0);

    p.indMinimum = 80;  // no middle band when the low band reaches the high one
    EXPECT_FALSE(ComputeFaceLayout(dial, 193, 193, p).hasMidBand);
}

TEST(GaugeFaceLayout, SupersampledLengthsScaleButNumberOffsetsDoNot)
{
    const GaugeGeometry dial = ComputeGaugeGeometry(386, 386, 2, TStyle::CenterStyle, 360, 5, 360);
    FaceParams p = RotatorFace();
    p.k = 2;
    p.options |= FaceBit(TFaceOption::ShowValues);
    const FaceLayout layout = ComputeFaceLayout(dial, 386, 386, p);
    EXPECT_EQ(layout.margin, (GaugeRect{10, 10, 376, 376}));
    EXPECT_EQ(layout.mainTicks[2].from, (GaugePoint{193, 50}));  // radius 183 - 40
    EXPECT_EQ(layout.values[2].anchor, (GaugePoint{193, 55}));   // radius 183 - 40 - 5
    EXPECT_EQ(layout.caption, (GaugePoint{193, 102}));           // 193 - 91.5 = 101.5 -> 102
}

TEST(GaugeModel, DefaultsOfANewGauge)
{
    const GaugeModel m;
    EXPECT_EQ(m.centerRadius(), 8);
    EXPECT_EQ(m.circleRadius(), 3);
    EXPECT_EQ(m.angle(), 120);
    EXPECT_EQ(m.margin(), 10);
    EXPECT_EQ(m.style(), TStyle::CenterStyle);
    EXPECT_EQ(m.arrowWidth(), 1);
    EXPECT_EQ(m.numberMainTicks(), 7);
    EXPECT_EQ(m.lengthMainTicks(), 15);
    EXPECT_EQ(m.lengthSubTicks(), 8);
    EXPECT_EQ(m.faceOptions(), 4045u);
    EXPECT_EQ(m.position(), 0.0f);
    EXPECT_EQ(m.scale(), 140);
    EXPECT_EQ(m.indMinimum(), 30);
    EXPECT_EQ(m.indMaximum(), 80);
    EXPECT_EQ(m.antiAliased(), TAntialiased::aaNone);
    // The stored number 4045 is exactly these options.
    EXPECT_EQ(kDefaultFaceOptions,
              FaceBit(TFaceOption::ShowMargin) | FaceBit(TFaceOption::ShowMainTicks) |
                  FaceBit(TFaceOption::ShowSubTicks) | FaceBit(TFaceOption::ShowIndicatorMax) |
                  FaceBit(TFaceOption::ShowValues) | FaceBit(TFaceOption::ShowCenter) |
                  FaceBit(TFaceOption::ShowFrame) | FaceBit(TFaceOption::Show3D) |
                  FaceBit(TFaceOption::ShowCaption));
}

TEST(GaugeModel, AngleAndArrowWidthAcceptance)
{
    struct Case {
        int value;
        int stored;
        GaugeRedraw redraw;
    };
    const Case angles[] = {
        {10, 120, GaugeRedraw::Face},  {361, 120, GaugeRedraw::Face}, {0, 120, GaugeRedraw::Face},
        {11, 11, GaugeRedraw::Face},   {360, 360, GaugeRedraw::Face}, {120, 120, GaugeRedraw::None},
    };
    for (const Case& c : angles) {
        GaugeModel m;
        EXPECT_EQ(m.SetAngle(c.value), c.redraw) << c.value;
        EXPECT_EQ(m.angle(), c.stored) << c.value;
    }
    // Starting from width 2: clamped to 1..5, the pointer redrawn; the held value does nothing.
    const Case widths[] = {
        {9, 5, GaugeRedraw::Arrow},  {5, 5, GaugeRedraw::Arrow}, {0, 1, GaugeRedraw::Arrow},
        {-4, 1, GaugeRedraw::Arrow}, {3, 3, GaugeRedraw::Arrow}, {2, 2, GaugeRedraw::None},
    };
    for (const Case& c : widths) {
        GaugeModel m;
        ASSERT_EQ(m.SetArrowWidth(2), GaugeRedraw::Arrow);
        EXPECT_EQ(m.SetArrowWidth(c.value), c.redraw) << c.value;
        EXPECT_EQ(m.arrowWidth(), c.stored) << c.value;
    }
}

TEST(GaugeModel, IndicatorLimitsAreTakenOnlyInsideTheScale)
{
    struct Case {
        bool maximum;
        int value;
        int stored;
    };
    const Case cases[] = {
        {false, 0, 30}, {false, 140, 30}, {false, 139, 139}, {false, 1, 1}, {false, -5, 30},
        {true, 0, 80},  {true, 140, 80},  {true, 139, 139},  {true, 1, 1},
    };
    for (const Case& c : cases) {
        GaugeModel m;
        const GaugeRedraw r = c.maximum ? m.SetIndMaximum(c.value) : m.SetIndMinimum(c.value);
        EXPECT_EQ(r, GaugeRedraw::Face) << c.value;  // refused or not, the face is redrawn
        EXPECT_EQ(c.maximum ? m.indMaximum() : m.indMinimum(), c.stored) << c.value;
    }
    GaugeModel m;
    EXPECT_EQ(m.SetIndMinimum(30), GaugeRedraw::None);
    EXPECT_EQ(m.SetIndMaximum(80), GaugeRedraw::None);
}

TEST(GaugeModel, ScaleLowersTheIndicatorLimitsToFit)
{
    struct Case {
        int minimum, maximum, scale;
        int storedScale, storedMin, storedMax;
        GaugeRedraw redraw;
    };
    const Case cases[] = {
        {30, 80, 1, 140, 30, 80, GaugeRedraw::Face},     // refused
        {30, 80, 0, 140, 30, 80, GaugeRedraw::Face},     // refused
        {30, 80, 360, 360, 30, 80, GaugeRedraw::Face},   // room enough
        {30, 80, 100, 100, 20, 80, GaugeRedraw::Face},   // 100 - 80 < 30: minimum becomes 20
        {30, 80, 50, 50, 1, 49, GaugeRedraw::Face},      // maximum to 49, then minimum 50 - 49
        {30, 80, 80, 80, 1, 79, GaugeRedraw::Face},      // maximum not below the scale
        {1, 89, 90, 90, 1, 89, GaugeRedraw::Face},       // rotator dial to quarter scale
        {30, 80, 140, 140, 30, 80, GaugeRedraw::None},   // unchanged
    };
    for (const Case& c : cases) {
        GaugeModel m;
        m.SetIndMaximum(c.maximum);
        m.SetIndMinimum(c.minimum);
        if (c.scale == 90) m.SetScale(360);
        EXPECT_EQ(m.SetScale(c.scale), c.redraw) << c.scale;
        EXPECT_EQ(m.scale(), c.storedScale) << c.scale;
        EXPECT_EQ(m.indMinimum(), c.storedMin) << c.scale;
        EXPECT_EQ(m.indMaximum(), c.storedMax) << c.scale;
    }
}

TEST(GaugeModel, PositionReportsLimitsAndIgnoresRepeats)
{
    struct Case {
        float value;
        bool overMax, overMin;
        GaugeRedraw redraw;
    };
    const Case cases[] = {
        {0.0f, false, false, GaugeRedraw::None},   // held already
        {81.0f, true, false, GaugeRedraw::Arrow},
        {80.0f, false, false, GaugeRedraw::Arrow},
        {30.0f, false, false, GaugeRedraw::Arrow},
        {29.5f, false, true, GaugeRedraw::Arrow},
        {-400.0f, false, true, GaugeRedraw::Arrow},  // not clamped
        {420.0f, true, false, GaugeRedraw::Arrow},
        {std::nanf(""), false, false, GaugeRedraw::None},
        {INFINITY, false, false, GaugeRedraw::None},
    };
    for (const Case& c : cases) {
        GaugeModel m;
        const PositionChange change = m.SetPosition(c.value);
        EXPECT_EQ(change.redraw, c.redraw) << c.value;
        EXPECT_EQ(change.overMax, c.overMax) << c.value;
        EXPECT_EQ(change.overMin, c.overMin) << c.value;
        if (c.redraw == GaugeRedraw::Arrow) EXPECT_EQ(m.position(), c.value);
        else EXPECT_EQ(m.position(), 0.0f);
    }
}

TEST(GaugeModel, SideStylesLowerTheAngleWhenTheFaceIsDrawn)
{
    GaugeModel m;
    ASSERT_EQ(m.SetAngle(360), GaugeRedraw::Face);
    EXPECT_EQ(m.SetStyle(TStyle::LeftStyle), GaugeRedraw::Face);
    EXPECT_EQ(m.angle(), 360);  // stored at the face redraw that follows
    EXPECT_EQ(m.Geometry(193, 193).angle, 90);
    m.ApplyStyleLimit();
    EXPECT_EQ(m.angle(), 90);
    EXPECT_EQ(m.SetStyle(TStyle::CenterStyle), GaugeRedraw::Face);
    m.ApplyStyleLimit();
    EXPECT_EQ(m.angle(), 90);  // the centre style does not restore the old angle
    EXPECT_EQ(m.SetStyle(TStyle::CenterStyle), GaugeRedraw::None);
}

TEST(GaugeModel, OtherFaceSettersIgnoreRepeatsAndRefuseZeroIntervals)
{
    GaugeModel m;
    EXPECT_EQ(m.SetMargin(10), GaugeRedraw::None);
    EXPECT_EQ(m.SetMargin(-120), GaugeRedraw::Face);
    EXPECT_EQ(m.margin(), -120);
    EXPECT_EQ(m.SetNumberMainTicks(0), GaugeRedraw::None);
    EXPECT_EQ(m.SetNumberMainTicks(-3), GaugeRedraw::None);
    EXPECT_EQ(m.numberMainTicks(), 7);
    EXPECT_EQ(m.SetNumberMainTicks(4), GaugeRedraw::Face);
    EXPECT_EQ(m.SetFaceOptions(kDefaultFaceOptions), GaugeRedraw::None);
    EXPECT_EQ(m.SetAntiAliased(TAntialiased::aaTriline), GaugeRedraw::Face);
    EXPECT_EQ(m.factor(), 3);
}

class FakeClock final : public FrameClock {
public:
    std::int64_t frequency = 1000;
    std::int64_t counter = 0;
    std::uint32_t tickMs = 0;
    std::int64_t Frequency() const override { return frequency; }
    std::int64_t Counter() const override { return counter; }
    std::uint32_t TickMs() const override { return tickMs; }
};

TEST(FrameMeter, FramesArePeriodOverElapsedAndZeroElapsedKeepsThem)
{
    FakeClock clock;
    clock.frequency = 1'000'000;
    FrameMeter meter(clock);
    EXPECT_FALSE(meter.Finish());  // nothing runs
    struct Step {
        std::int64_t elapsed;
        bool changed;
        int frames;
    };
    const Step steps[] = {
        {4000, true, 250}, {3999, false, 250}, {3000, true, 333}, {0, false, 333},
        {-5, false, 333},  {3, true, 333333},
    };
    for (const Step& s : steps) {
        meter.Start();
        EXPECT_TRUE(meter.Running());
        clock.counter += s.elapsed;
        EXPECT_EQ(meter.Finish(), s.changed) << s.elapsed;
        EXPECT_EQ(meter.Frames(), s.frames) << s.elapsed;
        EXPECT_FALSE(meter.Running());
    }
}

TEST(FrameMeter, MillisecondTicksCarryOverTheirWrap)
{
    FakeClock clock;
    clock.frequency = 0;
    FrameMeter meter(clock);
    clock.tickMs = 0xFFFFFFF0u;
    meter.Start();
    clock.tickMs = 0x10u;  // wrapped: 32 ms later
    EXPECT_TRUE(meter.Finish());
    EXPECT_EQ(meter.Frames(), 31);
    clock.tickMs = 500;
    meter.Start();
    clock.tickMs = 520;
    EXPECT_TRUE(meter.Finish());
    EXPECT_EQ(meter.Frames(), 50);
    meter.Start();
    EXPECT_FALSE(meter.Finish());  // same tick: undefined rate, Frames kept
    EXPECT_EQ(meter.Frames(), 50);
}

std::uint32_t Rgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

TEST(Downsample, EachChannelIsTheBlockMeanWithTheRemainderDropped)
{
    // Two 2x2 blocks side by side in a 4x2 source with a stride of 5 (one padding pixel).
    const std::vector<std::uint32_t> src = {
        Rgb(10, 20, 30), Rgb(11, 21, 31), Rgb(0, 0, 0),       Rgb(255, 255, 255), 0xDEADBEEF,
        Rgb(12, 22, 32), Rgb(13, 23, 34), Rgb(255, 255, 255), Rgb(255, 255, 254), 0xDEADBEEF,
    };
    std::vector<std::uint32_t> dst(3, 0);
    DownsampleBlocks(src.data(), 5, dst.data(), 3, 2, 1, 2);
    EXPECT_EQ(dst[0], Rgb(11, 21, 31));  // 46/4, 86/4, 127/4
    EXPECT_EQ(dst[1], Rgb(191, 191, 191));  // 765/4, 765/4, 764/4
    EXPECT_EQ(dst[2], 0u);  // beyond the width: untouched

    // Factor 4: sixteen pixels, one of them bright.
    std::vector<std::uint32_t> big(16, Rgb(0, 0, 0));
    big[5] = Rgb(255, 17, 16);
    std::uint32_t out = 0;
    DownsampleBlocks(big.data(), 4, &out, 1, 1, 1, 4);
    EXPECT_EQ(out, Rgb(15, 1, 1));
}

}  // namespace
}  // namespace vantora
