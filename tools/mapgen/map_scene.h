#pragma once

#include "fit_mask.h"
#include "projection.h"
#include "topology.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QStringList>

#include <array>
#include <vector>

class QPainter;

namespace mapgen {

// The look shared by both maps. No colour here is pure white: the program flood-fills white
// from outside the Europe bitmap and must not leak into it.
namespace look {
inline const QColor kSea(172, 206, 228);
inline const QColor kGraticule(152, 190, 216);
inline const QColor kSeaText(66, 108, 146);
inline const QColor kCoast(78, 112, 140);
inline const QColor kBorder(118, 98, 92);
inline const QColor kCountryText(74, 66, 58);
// Muted land tints; neighbours never share one.
inline const std::array<QColor, 6> kLand = {
    QColor(236, 226, 202),  // sand
    QColor(216, 230, 194),  // sage
    QColor(243, 214, 188),  // apricot
    QColor(224, 214, 232),  // heather
    QColor(246, 236, 162),  // straw
    QColor(236, 206, 204),  // rose
};
}  // namespace look

// Countries of one topology projected onto one image, with their neighbours and tints.
class MapScene {
public:
    // geoBox (longitude x, latitude y) skips polygons far from the image, which keeps the
    // local projection away from its antipode and saves time.
    MapScene(const Topology &topo, const Projection &proj, QSize size, const QRectF &geoBox);

    QSize size() const { return m_size; }
    const Projection &projection() const { return m_proj; }
    int countryCount() const { return int(m_paths.size()); }
    bool visible(int c) const { return m_visible[c]; }
    const QPainterPath &path(int c) const { return m_paths[c]; }
    QString name(int c) const { return m_topo.countries()[c].name; }
    int tint(int c) const { return m_tint[c]; }
    QColor landColour(int c) const;

    // Neighbours (sharing a border) get different tints: DSatur colouring, each country taking
    // the least used of the tints its neighbours leave free. `fixed` carries tints decided
    // elsewhere (so both maps show a country alike); -1 means free.
    void colourCountries(const std::vector<int> &fixed = {});

    // Sea, land tints, borders and coasts, antialiased.
    void paintBase(QPainter &p, double coastWidth, double borderWidth) const;
    void paintLand(QPainter &p) const;
    void paintBorders(QPainter &p, double borderWidth) const;
    void paintCoasts(QPainter &p, double coastWidth) const;

    // Country index + 1 per pixel, 0 for sea; no antialiasing.
    const QImage &idImage() const { return m_ids; }
    int countryAt(int x, int y) const;

    // Pixels of one country (or of the sea for -1) not covered by anything in `blocked`.
    FitMask maskOf(int country, const std::vector<QRectF> &blocked, int inset) const;

private:
    const Topology &m_topo;
    const Projection &m_proj;
    QSize m_size;
    std::vector<QPainterPath> m_paths;
    std::vector<bool> m_visible;
    std::vector<std::vector<int>> m_neighbours;
    std::vector<int> m_tint;
    QPainterPath m_coasts;
    QPainterPath m_borders;
    QImage m_ids;
};

// A label's outline centred on the origin: lines stacked and each centred.
QPainterPath textPath(const QStringList &lines, const QFont &font, double lineFactor = 1.0);

// Splits a name into two lines at the space nearest its middle; empty when it has no space.
QStringList twoLines(const QString &text);

// Text filled over a halo (a wide stroke of its outline) so it stays legible over lines.
void drawText(QPainter &p, const QPainterPath &path, QPointF centre, const QColor &text,
              const QColor &halo, double haloWidth);

QFont makeFont(const QString &family, double pixelSize, double letterSpacing, bool italic = false,
               QFont::Weight weight = QFont::Normal);

}  // namespace mapgen
