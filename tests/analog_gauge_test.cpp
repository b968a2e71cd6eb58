// The gauge widget drawn offscreen: what its layers hold after each kind of change, which changes
// redraw what, and the pixels that show the geometry was honoured.
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vantora {
namespace {

const QColor kSilver(192, 192, 192);
const QColor kPaleGreen(192, 220, 192);

// True when the pixel is clearly the given colour (text and lines are not smoothed, but a font
// may be; a tolerance of a few units keeps such a pixel from passing for another colour).
bool IsColour(const QImage& image, int x, int y, const QColor& colour)
{
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - colour.red()) <= 3 && std::abs(c.green() - colour.green()) <= 3 &&
           std::abs(c.blue() - colour.blue()) <= 3;
}

struct RedrawCounts {
    int face;
    int arrow;
};

RedrawCounts Counts(const TA3nalogGauge& g)
{
    return {g.faceRedrawCount(), g.arrowRedrawCount()};
}

TEST(AnalogGauge, CreatedWithItsDefaults)
{
    TA3nalogGauge g;
    EXPECT_EQ(g.size(), QSize(225, 180));
    EXPECT_EQ(g.minimumSize(), QSize(60, 50));
    EXPECT_EQ(g.minColor(), QColor(0, 128, 0));
    EXPECT_EQ(g.midColor(), QColor(255, 255, 0));
    EXPECT_EQ(g.maxColor(), QColor(255, 0, 0));
    EXPECT_EQ(g.faceColor(), g.palette().color(QPalette::Button));
    EXPECT_EQ(g.centerColor(), QColor(128, 128, 128));
    EXPECT_EQ(g.circleColor(), QColor(0, 0, 255));
    for (const QColor& black : {g.ticksColor(), g.valueColor(), g.captionColor(), g.arrowColor(), g.marginColor()})
        EXPECT_EQ(black, QColor(0, 0, 0));
    EXPECT_EQ(g.caption(), QStringLiteral("mV"));
    EXPECT_EQ(g.backBitmap().size(), QSize(225, 180));
    EXPECT_EQ(g.faceBitmap().size(), QSize(225, 180));
    EXPECT_TRUE(g.aaBitmap().isNull());
    // The face is drawn at creation: its colour fills the corner inside the 3-D frame.
    EXPECT_TRUE(IsColour(g.faceBitmap(), 5, 100, g.faceColor()));
}

TEST(AnalogGauge, ResizeBelowTheMinimumIsRaisedAndTheLayersFollow)
{
    TA3nalogGauge g;
    g.resize(10, 200);
    EXPECT_EQ(g.size(), QSize(60, 200));
    EXPECT_EQ(g.backBitmap().size(), QSize(60, 200));
    EXPECT_EQ(g.faceBitmap().size(), QSize(60, 200));
    g.resize(300, 20);
    EXPECT_EQ(g.size(), QSize(300, 50));
    EXPECT_EQ(g.backBitmap().size(), QSize(300, 50));
}

TEST(AnalogGauge, RotatorDialPointsUpFromItsCentre)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    const GaugeGeometry geo = g.layerGeometry();
    EXPECT_EQ(geo.PointerStart(), (GaugePoint{96, 96}));
    EXPECT_EQ(geo.radius, 91);
    const QImage& face = g.faceBitmap();
    // Position 180: a black line straight up to (96, 5), nothing beyond it.
    EXPECT_TRUE(IsColour(face, 96, 5, Qt::black));
    EXPECT_TRUE(IsColour(face, 96, 40, Qt::black));
    EXPECT_TRUE(IsColour(face, 96, 2, kSilver));
    EXPECT_TRUE(IsColour(face, 96, 150, kSilver));  // nothing below the centre
    // Centre disc of radius 6 in pale green over the pointer's start.
    EXPECT_TRUE(IsColour(face, 96, 96, kPaleGreen));
    EXPECT_TRUE(IsColour(face, 99, 99, kPaleGreen));
    // Face colour where no element lies; the pointer is not part of the background.
    EXPECT_TRUE(IsColour(face, 20, 20, kSilver));
    EXPECT_TRUE(IsColour(g.backBitmap(), 96, 40, kSilver));
    // The main tick pointing left runs from x 26 out to x 6, on the background layer.
    EXPECT_TRUE(IsColour(g.backBitmap(), 8, 96, Qt::black));
    EXPECT_TRUE(IsColour(g.backBitmap(), 30, 96, kSilver));

    g.setPosition(270);  // right
    EXPECT_TRUE(IsColour(g.faceBitmap(), 150, 96, Qt::black));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 96, 40, kSilver));
}

TEST(AnalogGauge, CaptionSitsHalfwayUpTheRadius)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    g.setPosition(0);  // pointer down, out of the caption's way
    g.setCaption(QStringLiteral("888"));
    const QImage& back = g.backBitmap();
    // Text 19 pixels high from y 50: dark pixels in rows 50..69 near x 96, none above row 50.
    int firstDarkRow = -1;
    for (int y = 30; y < 80 && firstDarkRow < 0; ++y) {
        for (int x = 70; x < 122; ++x) {
            if (back.pixelColor(x, y).lightness() < 80) {
                firstDarkRow = y;
                break;
            }
        }
    }
    EXPECT_GE(firstDarkRow, 50);
    EXPECT_LT(firstDarkRow, 69);
    g.setCaption(QString());
    for (int x = 70; x < 122; ++x) EXPECT_TRUE(IsColour(g.backBitmap(), x, 60, kSilver)) << x;
}

TEST(AnalogGauge, QuarterDialEndsAtTheMargins)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, true);
    EXPECT_EQ(g.angle(), 90);
    EXPECT_EQ(g.layerGeometry().PointerStart(), (GaugePoint{173, 173}));
    EXPECT_EQ(g.layerGeometry().radius, 153);
    EXPECT_TRUE(IsColour(g.faceBitmap(), 20, 173, Qt::black));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 16, 173, kSilver));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 100, 173, Qt::black));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 176, 176, kPaleGreen));
    g.setPosition(90);
    EXPECT_TRUE(IsColour(g.faceBitmap(), 173, 20, Qt::black));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 173, 100, Qt::black));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 173, 16, kSilver));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 60, 173, kSilver));  // the old pointer is gone
}

TEST(AnalogGauge, WhatEachSetterRedraws)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    struct Case {
        const char* name;
        std::function<void(TA3nalogGauge&)> change;
        int faces;
        int arrows;
    };
    const Case cases[] = {
        {"same position", [](TA3nalogGauge& x) { x.setPosition(180); }, 0, 0},
        {"new position", [](TA3nalogGauge& x) { x.setPosition(181); }, 0, 1},
        {"arrow width 9", [](TA3nalogGauge& x) { x.setArrowWidth(9); }, 0, 1},
        {"arrow colour", [](TA3nalogGauge& x) { x.setArrowColor(Qt::blue); }, 0, 1},
        {"same arrow colour", [](TA3nalogGauge& x) { x.setArrowColor(Qt::black); }, 0, 0},
        {"angle 10 refused", [](TA3nalogGauge& x) { x.setAngle(10); }, 1, 1},
        {"angle 361 refused", [](TA3nalogGauge& x) { x.setAngle(361); }, 1, 1},
        {"same angle", [](TA3nalogGauge& x) { x.setAngle(360); }, 0, 0},
        {"scale 1 refused", [](TA3nalogGauge& x) { x.setScale(1); }, 1, 1},
        {"ind maximum refused", [](TA3nalogGauge& x) { x.setIndMaximum(400); }, 1, 1},
        {"face colour", [](TA3nalogGauge& x) { x.setFaceColor(Qt::red); }, 1, 1},
        {"same face colour", [](TA3nalogGauge& x) { x.setFaceColor(kSilver); }, 0, 0},
        {"caption", [](TA3nalogGauge& x) { x.setCaption("12°"); }, 1, 1},
        {"same caption", [](TA3nalogGauge& x) { x.setCaption("0°"); }, 0, 0},
        {"margin", [](TA3nalogGauge& x) { x.setMargin(3); }, 1, 1},
        {"options", [](TA3nalogGauge& x) { x.setFaceOptions(kDefaultFaceOptions); }, 1, 1},
        {"same font", [](TA3nalogGauge& x) { x.setFont(QFont(x.font())); }, 0, 0},
        {"new font", [](TA3nalogGauge& x) { QFont f = x.font(); f.setPixelSize(12); x.setFont(f); }, 1, 1},
    };
    for (const Case& c : cases) {
        TA3nalogGauge fresh;
        ConfigureRotatorDial(fresh, false);
        const RedrawCounts before = Counts(fresh);
        c.change(fresh);
        const RedrawCounts after = Counts(fresh);
        EXPECT_EQ(after.face - before.face, c.faces) << c.name;
        EXPECT_EQ(after.arrow - before.arrow, c.arrows) << c.name;
    }
    g.setArrowWidth(9);
    EXPECT_EQ(g.arrowWidth(), 5);
    g.setAngle(10);
    g.setAngle(361);
    EXPECT_EQ(g.angle(), 360);
}

TEST(AnalogGauge, SideStyleLowersTheAngleAtItsFaceRedraw)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    ASSERT_EQ(g.angle(), 360);
    g.setGaugeStyle(TStyle::LeftStyle);
    EXPECT_EQ(g.angle(), 90);
    g.setGaugeStyle(TStyle::CenterStyle);
    EXPECT_EQ(g.angle(), 90);
}

TEST(AnalogGauge, PositionBeyondTheIndicatorsRaisesItsSignal)
{
    TA3nalogGauge g;  // IndMinimum 30, IndMaximum 80
    int overMax = 0;
    int overMin = 0;
    QObject::connect(&g, &TA3nalogGauge::OnOverMax, [&] { ++overMax; });
    QObject::connect(&g, &TA3nalogGauge::OnOverMin, [&] { ++overMin; });
    const float positions[] = {50, 81, 81, 80, 29, -10, 30};
    for (float p : positions) g.setPosition(p);
    EXPECT_EQ(overMax, 1);  // the repeated 81 changes nothing
    EXPECT_EQ(overMin, 2);
    EXPECT_EQ(g.position(), 30.0f);
}

class StepClock final : public FrameClock {
public:
    mutable std::int64_t now = 0;
    std::int64_t step = 2;
    std::int64_t Frequency() const override { return 1000; }
    std::int64_t Counter() const override { return now += step; }
    std::uint32_t TickMs() const override { return 0; }
};

TEST(AnalogGauge, FramesComeFromTheRedrawMeasurement)
{
    StepClock clock;
    TA3nalogGauge g;
    g.setFrameClock(clock);
    std::vector<int> reported;
    QObject::connect(&g, &TA3nalogGauge::OnFrames, [&](int f) { reported.push_back(f); });
    g.setPosition(10);  // start and end read the clock once each: 2 ticks of 1/1000 s
    EXPECT_EQ(g.frames(), 500);
    g.setPosition(20);  // same rate: no notification
    clock.step = 0;
    g.setPosition(30);  // zero elapsed: Frames kept
    EXPECT_EQ(g.frames(), 500);
    clock.step = 5;
    g.setPosition(40);
    EXPECT_EQ(g.frames(), 200);
    EXPECT_EQ(reported, (std::vector<int>{500, 200}));
}

TEST(AnalogGauge, OwnerPaintingSurvivesPointerMovesButNotAFaceRedraw)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    {
        QPainter painter(&g.backBitmap());
        painter.fillRect(QRect(10, 150, 30, 30), Qt::magenta);
    }
    g.RedrawArrow();
    EXPECT_TRUE(IsColour(g.faceBitmap(), 20, 160, Qt::magenta));
    g.setPosition(300);
    EXPECT_TRUE(IsColour(g.faceBitmap(), 20, 160, Qt::magenta));
    g.setCaption("1°");
    EXPECT_TRUE(IsColour(g.faceBitmap(), 20, 160, kSilver));
    EXPECT_TRUE(IsColour(g.backBitmap(), 20, 160, kSilver));
}

TEST(AnalogGauge, SupersampledFaceIsReducedBlockByBlock)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    g.setAntiAliased(TAntialiased::aaBiline);
    EXPECT_EQ(g.backBitmap().size(), QSize(386, 386));
    EXPECT_EQ(g.faceBitmap().size(), QSize(386, 386));
    ASSERT_EQ(g.aaBitmap().size(), QSize(193, 193));
    const GaugeGeometry geo = g.layerGeometry();
    EXPECT_EQ(geo.PointerEnd(180), (GaugePoint{193, 10}));

    // Every reduced pixel is the per-channel mean of its 2 x 2 block, remainder dropped.
    const QImage& face = g.faceBitmap();
    const QImage& aa = g.aaBitmap();
    int mixed = 0;
    for (int y = 0; y < 193; y += 3) {
        for (int x = 0; x < 193; x += 3) {
            int r = 0, gr = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const QColor c = face.pixelColor(2 * x + dx, 2 * y + dy);
                    r += c.red();
                    gr += c.green();
                    b += c.blue();
                }
            }
            const QColor got = aa.pixelColor(x, y);
            ASSERT_EQ(got, QColor(r / 4, gr / 4, b / 4)) << x << "," << y;
            if (got != kSilver && got != Qt::black) ++mixed;
        }
    }
    EXPECT_GT(mixed, 0);  // edges were actually blended
    // The pointer at factor 2 is 4 pixels wide: the reduced column at x 96 is black above the
    // centre disc.
    EXPECT_TRUE(IsColour(aa, 96, 40, Qt::black));

    g.setAntiAliased(TAntialiased::aaNone);
    EXPECT_TRUE(g.aaBitmap().isNull());
    EXPECT_EQ(g.faceBitmap().size(), QSize(193, 193));
    EXPECT_TRUE(IsColour(g.faceBitmap(), 96, 5, Qt::black));
}

TEST(AnalogGauge, ShownGaugePaintsItsFaceOnTheScreen)
{
    TA3nalogGauge g;
    ConfigureRotatorDial(g, false);
    g.show();
    QApplication::processEvents();
    g.setPosition(270);
    const QImage shot = g.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(193, 193));
    EXPECT_TRUE(IsColour(shot, 150, 96, Qt::black));
    EXPECT_TRUE(IsColour(shot, 20, 20, kSilver));
    EXPECT_EQ(g.backBitmap().size(), QSize(193, 193));
}

}  // namespace
}  // namespace vantora
