#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace mapgen {

// A yes/no raster of where a label may go, with a summed-area table so that "does this box
// lie entirely on allowed pixels" costs four look-ups.
class FitMask {
public:
    FitMask(int width, int height);

    void set(int x, int y, bool allowed);
    bool at(int x, int y) const;
    void forbid(const QRect &r);
    // Must be called after the last change and before fits/place.
    void build();

    // True when every pixel of r is allowed and r lies inside the raster.
    bool fits(const QRect &r) const;

    struct Placement {
        QPoint centre;
        int margin = 0;  // free pixels around the box on every side, up to the asked cap
    };
    // Centre of a box of the given size inside `area` that keeps the widest margin (at least
    // minMargin, counted up to capMargin); among equally good centres the one nearest to
    // `preferred`. None when the box does not fit anywhere.
    std::optional<Placement> place(QSize box, const QRect &area, int minMargin, int capMargin,
                                   QPointF preferred) const;

    // Mean position of the allowed pixels in `area` (used as the preferred label spot).
    std::optional<QPointF> centroid(const QRect &area) const;

private:
    long long boxSum(int x0, int y0, int x1, int y1) const;  // inclusive-exclusive

    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_bits;
    std::vector<long long> m_sat;  // (width + 1) x (height + 1)
};

}  // namespace mapgen
