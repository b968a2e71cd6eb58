#pragma once
// Geometry of the analog gauge face: centre, radius, direction of a value and the places of
// every face element, for a layer drawn at a supersampling factor k. All pixel coordinates are
// rounded to the nearest integer, halves to the even neighbour.

#include <cstdint>
#include <vector>

namespace vantora {

// Where the dial's centre sits: near the lower left corner, the lower right corner, or centred.
enum class TStyle { LeftStyle = 0, RightStyle = 1, CenterStyle = 2 };

// Supersampling of the face: factor 1 (none), 2, 3 or 4.
enum class TAntialiased { aaNone = 0, aaBiline = 1, aaTriline = 2, aaQuadral = 3 };

int SupersampleFactor(TAntialiased mode);

// Face elements, as bit numbers of TFaceOptions.
enum class TFaceOption {
    ShowMargin = 0,
    ShowCircles = 1,
    ShowMainTicks = 2,
    ShowSubTicks = 3,
    ShowIndicatorMin = 4,
    ShowIndicatorMid = 5,
    ShowIndicatorMax = 6,
    ShowValues = 7,
    ShowCenter = 8,
    ShowFrame = 9,
    Show3D = 10,
    ShowCaption = 11,
};

using TFaceOptions = std::uint32_t;  // set of TFaceOption bits, 12 bits used

constexpr TFaceOptions FaceBit(TFaceOption option)
{
    return TFaceOptions{1} << static_cast<int>(option);
}

constexpr bool HasFaceOption(TFaceOptions options, TFaceOption option)
{
    return (options & FaceBit(option)) != 0;
}

// Margin, main and sub ticks, max band, values, centre, frame, 3-D frame and caption.
inline constexpr TFaceOptions kDefaultFaceOptions = 4045;

struct GaugePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const GaugePoint&, const GaugePoint&) = default;
};

struct GaugeLine {
    GaugePoint from;
    GaugePoint to;
};

// A rectangle by its edges, right and bottom exclusive.
struct GaugeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const GaugeRect&, const GaugeRect&) = default;
};

// An arc of the circle inscribed in `box`. Angles in degrees, counter-clockwise on screen from
// the 3 o'clock direction; the arc runs counter-clockwise from startDegrees over spanDegrees.
struct GaugeArc {
    GaugeRect box;
    double startDegrees = 0.0;
    double spanDegrees = 0.0;
};

// Text placement: `anchor` is the text's horizontal centre and top edge.
struct GaugeText {
    GaugePoint anchor;
    int number = 0;
};

// Leftmost x of a text `textWidth` pixels wide centred on anchorX (half width rounded toward zero).
int TextLeft(int anchorX, int textWidth);

// Centre, radius and base angle of one layer. A value v lies in direction
// t = v * angle / scale + baseAngle degrees; the point at radius r in direction t is
// (cx - r cos t, cy - r sin t) with y growing downwards.
struct GaugeGeometry {
    double cx = 0.0;    // exact centre x, used for end points
    int cxPixel = 0;    // centre x where a pixel is addressed: pointer start, centre disc
    int cy = 0;
    int radius = 0;
    double baseAngle = 0.0;  // g, degrees
    int angle = 0;           // degrees the scale spans
    int scale = 1;           // value at the end of the scale

    double DirectionOf(double value) const;
    GaugePoint PointAt(double r, double directionDegrees) const;
    GaugePoint PointerStart() const { return {cxPixel, cy}; }
    GaugePoint PointerEnd(double position) const;
};

// Left and right styles span at most a quarter circle.
int LimitAngleForStyle(TStyle style, int angle);

// Geometry of a layer of layerWidth x layerHeight pixels at factor k (margin is in pixels at
// factor 1). `angle` must already respect LimitAngleForStyle; scale must be above 0.
GaugeGeometry ComputeGaugeGeometry(int layerWidth, int layerHeight, int k, TStyle style,
                                   int angle, int margin, int scale);

// Everything the face layer shows apart from fills, frame and texts' glyphs.
struct FaceParams {
    int k = 1;
    int margin = 10;
    int numMainTicks = 7;
    int lengthMainTicks = 15;
    int lengthSubTicks = 8;
    int indMinimum = 30;
    int indMaximum = 80;
    TFaceOptions options = kDefaultFaceOptions;
};

struct FaceLayout {
    GaugeRect margin;                 // (m, m, W - m, H - m)
    GaugePoint caption;               // caption anchor at radius R/2, middle of the scale
    bool hasMaxBand = false;
    bool hasMidBand = false;
    bool hasMinBand = false;
    GaugeArc maxBand;                 // scale end back to IndMaximum
    GaugeArc midBand;                 // IndMaximum back to IndMinimum
    GaugeArc minBand;                 // IndMinimum back to 0
    std::vector<GaugeLine> subTicks;  // 5N + 1 lines
    std::vector<GaugeLine> mainTicks; // N + 1 lines
    std::vector<GaugePoint> circles;  // centres of the main-tick circles
    std::vector<GaugeText> values;    // scale numbers
};

// Places of the face elements whose option is set in params.options (bands, ticks, circles and
// values only when shown; margin and caption always computed). numMainTicks must be above 0.
FaceLayout ComputeFaceLayout(const GaugeGeometry& geometry, int layerWidth, int layerHeight,
                             const FaceParams& params);

// Arc of radius R about the centre, counter-clockwise from value `from` back to value `to`.
GaugeArc BandArc(const GaugeGeometry& geometry, double from, double to);

}  // namespace vantora
