#include "geo/world_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantora {

namespace {

constexpr int kScaleRoom = 26;          // pixels between the rim and the widget's edge
constexpr double kMaxStepPx = 12.0;     // a projected edge longer than this is split
constexpr double kMaxBendPx = 0.35;     // ... and so is one whose middle strays this far
constexpr int kMaxSplitDepth = 14;
constexpr double kRimStepDegrees = 4.0;
constexpr double kDistanceLabelBearing = 150.0;

using Local = AzimuthalProjection::Local;

double Distance(const PlanPoint& a, const PlanPoint& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Appends the great-circle edge from a to b (a already in `out`), split where its image bends.
void AppendEdge(const AzimuthalProjection& projection, const Local& a, const PlanPoint& pa, const Local& b,
                const PlanPoint& pb, int depth, PlanLine& out)
{
    if (depth < kMaxSplitDepth) {
        Local mid{a.east + b.east, a.north + b.north, a.up + b.up};
        const double norm = std::sqrt(mid.east * mid.east + mid.north * mid.north + mid.up * mid.up);
        if (norm > 1e-9) {
            mid = {mid.east / norm, mid.north / norm, mid.up / norm};
            const PlanPoint pm = projection.ProjectLocal(mid);
            const PlanPoint chordMid{(pa.x + pb.x) / 2, (pa.y + pb.y) / 2};
            if (Distance(pa, pb) > kMaxStepPx || Distance(pm, chordMid) > kMaxBendPx) {
                AppendEdge(projection, a, pa, mid, pm, depth + 1, out);
                AppendEdge(projection, mid, pm, b, pb, depth + 1, out);
                return;
            }
        }
    }
    out.push_back(pb);
}

// An arc's image, and for each step from point i to i + 1 whether it lies on the antimeridian
// (where the data cuts Antarctica open: filled, never drawn as a line).
struct ArcImage {
    PlanLine points;
    std::vector<bool> cut;
};

ArcImage ProjectArc(const AzimuthalProjection& projection, const OutlineArc& arc)
{
    ArcImage image;
    Local prev = projection.ToLocal(arc.points.front());
    PlanPoint prevPixel = projection.ProjectLocal(prev);
    image.points.push_back(prevPixel);
    for (std::size_t i = 1; i < arc.points.size(); ++i) {
        const Local next = projection.ToLocal(arc.points[i]);
        const PlanPoint nextPixel = projection.ProjectLocal(next);
        const std::size_t before = image.points.size();
        AppendEdge(projection, prev, prevPixel, next, nextPixel, 0, image.points);
        const bool cut = arc.points[i - 1].onAntimeridian && arc.points[i].onAntimeridian;
        image.cut.insert(image.cut.end(), image.points.size() - before, cut);
        prev = next;
        prevPixel = nextPixel;
    }
    return image;
}

double AngleAround(const AzimuthalProjection& projection, const PlanPoint& p)
{
    return std::atan2(p.y - projection.centreY(), p.x - projection.centreX());
}

// A step longer than the radius passes through the antipode: on the map it leaves at the rim
// and comes back at the opposite side.
bool CrossesAntipode(const AzimuthalProjection& projection, const PlanPoint& a, const PlanPoint& b)
{
    return Distance(a, b) > projection.radius();
}

// Closes a ring that crossed the antipode along the rim, the shorter way round.
void AppendRimDetour(const AzimuthalProjection& projection, const PlanPoint& from, const PlanPoint& to, PlanLine& out)
{
    const double a0 = AngleAround(projection, from);
    double span = AngleAround(projection, to) - a0;
    while (span > std::numbers::pi) span -= 2 * std::numbers::pi;
    while (span < -std::numbers::pi) span += 2 * std::numbers::pi;
    const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(span) / (kRimStepDegrees * std::numbers::pi / 180))));
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + span * i / steps;
        out.push_back({projection.centreX() + projection.radius() * std::cos(a),
                       projection.centreY() + projection.radius() * std::sin(a)});
    }
}

PlanLine AssembleRing(const AzimuthalProjection& projection, const std::vector<ArcImage>& images, const OutlineRing& ring)
{
    PlanLine joined;
    for (ArcRef ref : ring) {
        const PlanLine& arc = images[static_cast<std::size_t>(ref >= 0 ? ref : ~ref)].points;
        const std::size_t n = arc.size();
        for (std::size_t k = joined.empty() ? 0 : 1; k < n; ++k) joined.push_back(ref >= 0 ? arc[k] : arc[n - 1 - k]);
    }
    PlanLine out;
    out.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (i > 0 && CrossesAntipode(projection, joined[i - 1], joined[i])) AppendRimDetour(projection, joined[i - 1], joined[i], out);
        out.push_back(joined[i]);
    }
    if (out.size() > 1 && CrossesAntipode(projection, out.back(), out.front())) AppendRimDetour(projection, out.back(), out.front(), out);
    return out;
}

// Twice the signed area; positive when the ring runs clockwise on the screen (y down).
double SignedArea2(const PlanLine& ring)
{
    double sum = 0.0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) sum += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return sum;
}

// How many times the ring runs round the centre (0 unless it separates home from the antipode).
int TurnsAroundCentre(const AzimuthalProjection& projection, const PlanLine& ring)
{
    double total = 0.0;
    double prev = AngleAround(projection, ring.back());
    for (const PlanPoint& p : ring) {
        const double a = AngleAround(projection, p);
        double d = a - prev;
        while (d > std::numbers::pi) d -= 2 * std::numbers::pi;
        while (d < -std::numbers::pi) d += 2 * std::numbers::pi;
        total += d;
        prev = a;
    }
    return static_cast<int>(std::lround(total / (2 * std::numbers::pi)));
}

// Lines drawn along arcs of one kind, broken where they pass the antipode or run along a cut.
void CollectLines(const AzimuthalProjection& projection, const WorldOutline& outline, const std::vector<ArcImage>& images,
                  ArcKind kind, std::vector<PlanLine>& lines)
{
    for (std::size_t a = 0; a < outline.arcs.size(); ++a) {
        if (outline.arcs[a].kind != kind) continue;
        const ArcImage& image = images[a];
        PlanLine line{image.points.front()};
        for (std::size_t i = 1; i < image.points.size(); ++i) {
            if (image.cut[i - 1] || CrossesAntipode(projection, image.points[i - 1], image.points[i])) {
                if (line.size() > 1) lines.push_back(std::move(line));
                line.clear();
            }
            line.push_back(image.points[i]);
        }
        if (line.size() > 1) lines.push_back(std::move(line));
    }
}

}  // namespace

int WorldRadius(int width, int height)
{
    const int half = std::min(width, height) / 2;
    return std::max({half - kScaleRoom, half / 2, 1});
}

AzimuthalProjection WorldProjection(const GeoPosition& home, int width, int height)
{
    return AzimuthalProjection(home, width / 2, height / 2, WorldRadius(width, height));
}

WorldPlan PlanWorld(const WorldOutline& outline, const GeoPosition& home, int width, int height)
{
    WorldPlan plan{WorldProjection(home, width, height), {}, {}, {}, {}, {}, {}, {}};
    const AzimuthalProjection& projection = plan.projection;

    std::vector<ArcImage> images;
    images.reserve(outline.arcs.size());
    for (const OutlineArc& arc : outline.arcs) images.push_back(ProjectArc(projection, arc));

    for (const OutlineCountry& country : outline.countries) {
        PlanCountry shape;
        shape.tint = country.tint;
        for (const OutlinePolygon& polygon : country.polygons) {
            for (std::size_t r = 0; r < polygon.size(); ++r) {
                PlanLine ring = AssembleRing(projection, images, polygon[r]);
                const double area2 = ring.size() >= 3 ? SignedArea2(ring) : 0.0;
                if (std::abs(area2) < 1.0) continue;  // smaller than a pixel, or degenerate
                // The country lies right of an outline and left of a hole. When the ring goes
                // round the centre, that side is either the inside (home's side) or the band
                // out to the rim (the antipode's side).
                const bool outline = r == 0;
                if (TurnsAroundCentre(projection, ring) != 0 && (area2 > 0) != outline) shape.withRim = !shape.withRim;
                shape.rings.push_back(std::move(ring));
            }
        }
        if (!shape.rings.empty() || shape.withRim) plan.countries.push_back(std::move(shape));
    }

    CollectLines(projection, outline, images, ArcKind::Coast, plan.coasts);
    CollectLines(projection, outline, images, ArcKind::Border, plan.borders);

    for (int km = static_cast<int>(kDistanceRingStepKm); km <= 20000; km += static_cast<int>(kDistanceRingStepKm)) {
        const bool rim = km == 20000;
        if (!rim) plan.distanceRings.push_back(km / kAntipodeKm * projection.radius());
        PlanPoint anchor = projection.Polar(kDistanceLabelBearing, rim ? kAntipodeKm : km);
        if (rim) anchor.y -= 8;  // inside the rim, clear of the scale
        plan.distanceLabels.push_back({std::to_string(km) + " km", anchor});
    }

    const double r = projection.radius();
    const double kmPerPixel = kAntipodeKm / r;
    for (int bearing = 0; bearing < 360; bearing += kBearingTickStep) {
        const bool major = bearing % kBearingLabelStep == 0;
        const double length = major ? 8 : 5;
        plan.bearingTicks.push_back({projection.Polar(bearing, kAntipodeKm), projection.Polar(bearing, (r + length) * kmPerPixel), major});
        if (major) plan.bearingLabels.push_back({std::to_string(bearing), projection.Polar(bearing, (r + 17) * kmPerPixel)});
    }
    return plan;
}

}  // namespace vantora
