#include "map_scene.h"

#include <QPainter>

#include <algorithm>
#include <set>

namespace mapgen {

namespace {

QRectF geoBounds(const Ring &ring)
{
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (const QPointF &p : ring) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

QPolygonF projectRing(const Ring &ring, const Projection &proj)
{
    QPolygonF out;
    out.reserve(int(ring.size()));
    for (const QPointF &p : ring)
        out << proj(p);
    return out;
}

}  // namespace

MapScene::MapScene(const Topology &topo, const Projection &proj, QSize size,
                   const QRectF &geoBox)
    : m_topo(topo), m_proj(proj), m_size(size)
{
    const auto &countries = topo.countries();
    const int n = int(countries.size());
    m_paths.resize(n);
    m_visible.assign(n, false);
    m_neighbours.resize(n);
    m_tint.assign(n, 0);
    const QRectF imageRect(QPointF(-2, -2), QSizeF(size) + QSizeF(4, 4));

    for (int c = 0; c < n; ++c) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        for (const ArcPolygon &poly : countries[c].polygons) {
            if (poly.empty())
                continue;
            const Ring outer = topo.ring(poly.front());
            if (!geoBounds(outer).intersects(geoBox))
                continue;
            for (const ArcRing &r : poly) {
                path.addPolygon(projectRing(topo.ring(r), proj));
                path.closeSubpath();
            }
        }
        m_visible[c] = !path.isEmpty() && path.boundingRect().intersects(imageRect);
        m_paths[c] = std::move(path);
    }

    const auto users = topo.arcUsers();
    for (std::size_t a = 0; a < users.size(); ++a) {
        const Ring &arc = topo.arcs()[a];
        if (arc.size() < 2 || !geoBounds(arc).intersects(geoBox))
            continue;
        const std::set<int> distinct(users[a].begin(), users[a].end());
        QPainterPath *target = nullptr;
        if (users[a].size() == 1)
            target = &m_coasts;
        else if (distinct.size() == 2)
            target = &m_borders;
        if (distinct.size() == 2) {
            const int u = *distinct.begin();
            const int v = *distinct.rbegin();
            m_neighbours[u].push_back(v);
            m_neighbours[v].push_back(u);
        }
        if (!target)
            continue;  // a line inside one country after a merge
        const QPolygonF line = projectRing(arc, proj);
        if (!line.boundingRect().intersects(imageRect))
            continue;
        target->moveTo(line.front());
        for (int i = 1; i < line.size(); ++i)
            target->lineTo(line[i]);
    }
    for (auto &nb : m_neighbours) {
        std::sort(nb.begin(), nb.end());
        nb.erase(std::unique(nb.begin(), nb.end()), nb.end());
    }

    m_ids = QImage(size, QImage::Format_RGB32);
    m_ids.fill(0);
    QPainter p(&m_ids);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int c = 0; c < n; ++c)
        if (m_visible[c])
            p.fillPath(m_paths[c], QColor::fromRgb(QRgb(0xff000000u | unsigned(c + 1))));
}

QColor MapScene::landColour(int c) const
{
    return look::kLand[std::size_t(m_tint[c]) % look::kLand.size()];
}

void MapScene::colourCountries(const std::vector<int> &fixed)
{
    const int n = countryCount();
    const int k = int(look::kLand.size());
    std::vector<int> tint(n, -1);
    std::vector<int> used(k, 0);
    for (int c = 0; c < n; ++c)
        if (c < int(fixed.size()) && fixed[c] >= 0 && m_visible[c]) {
            tint[c] = fixed[c];
            ++used[fixed[c]];
        }
    for (;;) {
        int pick = -1, pickSat = -1, pickDeg = -1;
        for (int c = 0; c < n; ++c) {
            if (!m_visible[c] || tint[c] >= 0)
                continue;
            std::set<int> seen;
            int deg = 0;
            for (int v : m_neighbours[c])
                if (m_visible[v]) {
                    ++deg;
                    if (tint[v] >= 0)
                        seen.insert(tint[v]);
                }
            const int sat = int(seen.size());
            if (sat > pickSat || (sat == pickSat && deg > pickDeg)) {
                pick = c;
                pickSat = sat;
                pickDeg = deg;
            }
        }
        if (pick < 0)
            break;
        std::vector<bool> taken(k, false);
        for (int v : m_neighbours[pick])
            if (m_visible[v] && tint[v] >= 0)
                taken[tint[v]] = true;
        int best = -1;
        for (int t = 0; t < k; ++t)
            if (!taken[t] && (best < 0 || used[t] < used[best]))
                best = t;
        if (best < 0)
            best = 0;  // more than six mutual neighbours: does not happen on these maps
        tint[pick] = best;
        ++used[best];
    }
    for (int c = 0; c < n; ++c)
        m_tint[c] = std::max(tint[c], 0);
}

void MapScene::paintLand(QPainter &p) const
{
    p.setPen(Qt::NoPen);
    for (int c = 0; c < countryCount(); ++c)
        if (m_visible[c])
            p.fillPath(m_paths[c], landColour(c));
}

void MapScene::paintBorders(QPainter &p, double borderWidth) const
{
    p.setBrush(Qt::NoBrush);
    // A soft band under the line, as political maps shade their frontiers.
    QColor band = look::kBorder;
    band.setAlpha(40);
    p.setPen(QPen(band, borderWidth * 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(m_borders);
    p.setPen(QPen(look::kBorder, borderWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(m_borders);
}

void MapScene::paintCoasts(QPainter &p, double coastWidth) const
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look::kCoast, coastWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(m_coasts);
}

void MapScene::paintBase(QPainter &p, double coastWidth, double borderWidth) const
{
    paintLand(p);
    paintBorders(p, borderWidth);
    paintCoasts(p, coastWidth);
}

int MapScene::countryAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_size.width() || y >= m_size.height())
        return -1;
    const int v = int(m_ids.pixel(x, y) & 0xffffffu);
    return v - 1;
}

FitMask MapScene::maskOf(int country, const std::vector<QRectF> &blocked, int inset) const
{
    FitMask m(m_size.width(), m_size.height());
    const unsigned want = unsigned(country + 1);
    for (int y = inset; y < m_size.height() - inset; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(m_ids.constScanLine(y));
        for (int x = inset; x < m_size.width() - inset; ++x)
            m.set(x, y, (line[x] & 0xffffffu) == want);
    }
    for (const QRectF &r : blocked)
        m.forbid(r.toAlignedRect());
    m.build();
    return m;
}

QPainterPath textPath(const QStringList &lines, const QFont &font, double lineFactor)
{
    const double lineHeight = QFontMetricsF(font).height() * lineFactor;
    QPainterPath all;
    for (int i = 0; i < lines.size(); ++i) {
        QPainterPath line;
        line.addText(0, 0, font, lines[i]);
        line.translate(-line.boundingRect().center().x(), i * lineHeight);
        all.addPath(line);
    }
    all.translate(-all.boundingRect().center());
    return all;
}

QStringList twoLines(const QString &text)
{
    int best = -1;
    for (int i = 0; i < text.size(); ++i)
        if (text[i] == ' ' && (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)))
            best = i;
    if (best < 0)
        return {};
    return {text.left(best), text.mid(best + 1)};
}

void drawText(QPainter &p, const QPainterPath &path, QPointF centre, const QColor &text,
              const QColor &halo, double haloWidth)
{
    const QPainterPath t = path.translated(centre);
    if (haloWidth > 0)
        p.strokePath(t, QPen(halo, haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(t, text);
}

QFont makeFont(const QString &family, double pixelSize, double letterSpacing, bool italic,
               QFont::Weight weight)
{
    QFont f(family);
    f.setPixelSize(int(pixelSize));
    f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    f.setItalic(italic);
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

}  // namespace mapgen
