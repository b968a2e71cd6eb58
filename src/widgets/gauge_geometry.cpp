#include "widgets/gauge_geometry.h"

#include "common/round_half_even.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace vantora {

namespace {

struct CosSin {
    double cos;
    double sin;
};

// Exact values on the four axes, so that a centre on a half pixel rounds the same way whatever
// the radius (the library cosine of 90 degrees is not zero).
CosSin CosSinDegrees(double degrees)
{
    double reduced = std::fmod(degrees, 360.0);
    if (reduced < 0.0) reduced += 360.0;
    if (reduced == 0.0) return {1.0, 0.0};
    if (reduced == 90.0) return {0.0, 1.0};
    if (reduced == 180.0) return {-1.0, 0.0};
    if (reduced == 270.0) return {0.0, -1.0};
    const double radians = degrees * std::numbers::pi / 180.0;
    return {std::cos(radians), std::sin(radians)};
}

}  // namespace

int SupersampleFactor(TAntialiased mode)
{
    switch (mode) {
    case TAntialiased::aaNone: return 1;
    case TAntialiased::aaBiline: return 2;
    case TAntialiased::aaTriline: return 3;
    case TAntialiased::aaQuadral: return 4;
    }
    return 1;
}

int TextLeft(int anchorX, int textWidth)
{
    return anchorX - textWidth / 2;
}

double GaugeGeometry::DirectionOf(double value) const
{
    return value * angle / scale + baseAngle;
}

GaugePoint GaugeGeometry::PointAt(double r, double directionDegrees) const
{
    const CosSin cs = CosSinDegrees(directionDegrees);
    return {RoundHalfEven(cx - r * cs.cos), RoundHalfEven(cy - r * cs.sin)};
}

GaugePoint GaugeGeometry::PointerEnd(double position) const
{
    return PointAt(radius, DirectionOf(position));
}

int LimitAngleForStyle(TStyle style, int angle)
{
    if (style == TStyle::CenterStyle) return angle;
    return std::min(angle, 90);
}

GaugeGeometry ComputeGaugeGeometry(int layerWidth, int layerHeight, int k, TStyle style,
                                   int angle, int margin, int scale)
{
    const int w = layerWidth;
    const int h = layerHeight;
    const int m = margin * k;
    GaugeGeometry g;
    g.angle = angle;
    g.scale = scale;
    switch (style) {
    case TStyle::LeftStyle:
        g.cx = m;
        g.cxPixel = m;
        g.cy = h - m;
        g.radius = w - 2 * m;
        g.baseAngle = 90.0;
        break;
    case TStyle::RightStyle:
        g.cx = w - m;
        g.cxPixel = w - m;
        g.cy = h - m;
        g.radius = w - 2 * m;
        g.baseAngle = 0.0;
        break;
    case TStyle::CenterStyle:
        g.baseAngle = (180.0 - angle) / 2.0;
        g.cx = w / 2.0;
        g.cxPixel = w / 2;
        if (angle >= 180) {
            g.radius = (w - 2 * m) / 2;
            g.cy = h / 2;
        } else {
            // A narrower arc keeps its ends on the margin, so the radius grows as the arc shrinks.
            const double radius = ((w - 2 * m) / 2.0) / CosSinDegrees(g.baseAngle).cos;
            g.radius = std::min(RoundHalfEven(radius), h - 2 * m);
            g.cy = g.radius + (h - g.radius) / 2;
        }
        break;
    }
    return g;
}

GaugeArc BandArc(const GaugeGeometry& geometry, double from, double to)
{
    const double r = geometry.radius;
    GaugeArc arc;
    arc.box = {RoundHalfEven(geometry.cx - r), geometry.cy - geometry.radius,
               RoundHalfEven(geometry.cx + r), geometry.cy + geometry.radius};
    const double tFrom = geometry.DirectionOf(from);
    const double tTo = geometry.DirectionOf(to);
    // A direction t on the dial is 180 - t counter-clockwise from 3 o'clock.
    arc.startDegrees = 180.0 - tFrom;
    double span = std::fmod(tFrom - tTo, 360.0);
    if (span <= 0.0) span += 360.0;  // counter-clockwise the long way round; equal ends: full circle
    arc.spanDegrees = span;
    return arc;
}

FaceLayout ComputeFaceLayout(const GaugeGeometry& geometry, int layerWidth, int layerHeight,
                             const FaceParams& params)
{
    FaceLayout layout;
    const int k = params.k;
    const int m = params.margin * k;
    const int r = geometry.radius;
    const TFaceOptions options = params.options;

    layout.margin = {m, m, layerWidth - m, layerHeight - m};
    layout.caption = geometry.PointAt(r / 2.0, geometry.angle / 2.0 + geometry.baseAngle);

    layout.hasMaxBand = HasFaceOption(options, TFaceOption::ShowIndicatorMax);
    if (layout.hasMaxBand) layout.maxBand = BandArc(geometry, geometry.scale, params.indMaximum);
    layout.hasMidBand = HasFaceOption(options, TFaceOption::ShowIndicatorMid) &&
                        params.indMinimum < params.indMaximum;
    if (layout.hasMidBand) layout.midBand = BandArc(geometry, params.indMaximum, params.indMinimum);
    layout.hasMinBand = HasFaceOption(options, TFaceOption::ShowIndicatorMin);
    if (layout.hasMinBand) layout.minBand = BandArc(geometry, params.indMinimum, 0);

    const int n = params.numMainTicks;
    if (n <= 0) return layout;

    if (HasFaceOption(options, TFaceOption::ShowSubTicks)) {
        const int subCount = 5 * n;
        const int inner = r - params.lengthSubTicks * k;
        for (int i = 0; i <= subCount; ++i) {
            const double t = static_cast<double>(i) * geometry.angle / subCount + geometry.baseAngle;
            layout.subTicks.push_back({geometry.PointAt(inner, t), geometry.PointAt(r, t)});
        }
    }

    const bool mainTicks = HasFaceOption(options, TFaceOption::ShowMainTicks);
    const bool circles = HasFaceOption(options, TFaceOption::ShowCircles);
    const bool values = HasFaceOption(options, TFaceOption::ShowValues);
    const int mainInner = r - params.lengthMainTicks * k;
    const int valueRadius = mainInner - 5;
    for (int i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) * geometry.angle / n + geometry.baseAngle;
        if (mainTicks) layout.mainTicks.push_back({geometry.PointAt(mainInner, t), geometry.PointAt(r, t)});
        if (circles) layout.circles.push_back(geometry.PointAt(r, t));
        if (values) {
            // The numbers' horizontal radius shrinks by one pixel per tick index.
            const GaugePoint across = geometry.PointAt(valueRadius - i, t);
            const GaugePoint down = geometry.PointAt(valueRadius, t);
            const long long number = static_cast<long long>(i) * geometry.scale / n;
            layout.values.push_back({{across.x, down.y}, static_cast<int>(number)});
        }
    }
    return layout;
}

}  // namespace vantora
