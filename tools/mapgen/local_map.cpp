#include "map_scene.h"
#include "maps.h"

#include <QPainter>

#include <cmath>

namespace mapgen {

namespace {

const QSize kLocalSize(1266, 933);
const QPoint kCentrePixel(468, 468);
// South-west corner of locator JN89XX: 16 + 23 * 5' E, 49 + 23 * 2.5' N.
constexpr double kHomeLon = 16.0 + 23.0 / 12.0;
constexpr double kHomeLat = 49.0 + 23.0 / 24.0;
// 796 pixels (the first window layout's map) span about 360 km.
constexpr double kKmPerPixel = 0.45;
constexpr int kRingStepKm = 50;
constexpr int kBearingStep = 30;
// The part of the map the first local view shows in the first window layout (796 x 617).
const QRect kFirstView(468 - 398, 468 - 308, 796, 617);
const QRectF kLocalGeoBox(QPointF(5, 42), QPointF(32, 58));

const QString kLabelFamily = QStringLiteral("DejaVu Sans Condensed");
const QString kTextFamily = QStringLiteral("DejaVu Sans");

const QColor kRing(52, 74, 122, 175);
const QColor kBearing(52, 74, 122, 135);
const QColor kOverlayText(36, 54, 100);
const QColor kHalo(250, 248, 240);
const QColor kTown(58, 52, 48);

struct Town {
    const char *name;
    double lon;
    double lat;
    int rank;  // 1 the largest cities, 3 small towns; smaller ranks are placed first
};

// Town centres, rounded to about 0.01 degree.
const Town kTowns[] = {
    {"Ostrava", 18.26, 49.83, 1},       {"Brno", 16.61, 49.20, 1},
    {"Kraków", 19.94, 50.06, 1},        {"Wrocław", 17.04, 51.11, 1},
    {"Katowice", 19.02, 50.26, 1},      {"Wien", 16.37, 48.21, 1},
    {"Bratislava", 17.11, 48.15, 1},    {"Łódź", 19.46, 51.76, 1},
    {"Olomouc", 17.25, 49.59, 2},       {"Opole", 17.92, 50.68, 2},
    {"Gliwice", 18.67, 50.29, 2},       {"Bielsko-Biała", 19.04, 49.82, 2},
    {"Częstochowa", 19.12, 50.81, 2},   {"Žilina", 18.74, 49.22, 2},
    {"Košice", 21.26, 48.72, 2},        {"Zlín", 17.67, 49.23, 2},
    {"Hradec Králové", 15.83, 50.21, 2}, {"Pardubice", 15.78, 50.04, 2},
    {"Kielce", 20.63, 50.87, 2},        {"Tarnów", 20.99, 50.01, 2},
    {"Rybnik", 18.55, 50.10, 2},        {"Banská Bystrica", 19.15, 48.74, 2},
    {"Nitra", 18.08, 48.31, 2},         {"Radom", 21.15, 51.40, 2},
    {"Jihlava", 15.59, 49.40, 2},       {"Prešov", 21.24, 49.00, 2},
    {"Opava", 17.90, 49.94, 3},         {"Přerov", 17.45, 49.46, 3},
    {"Prostějov", 17.11, 49.47, 3},     {"Frýdek-Místek", 18.35, 49.68, 3},
    {"Karviná", 18.54, 49.85, 3},       {"Nový Jičín", 18.01, 49.59, 3},
    {"Vsetín", 18.00, 49.34, 3},        {"Šumperk", 16.97, 49.97, 3},
    {"Krnov", 17.70, 50.09, 3},         {"Jeseník", 17.20, 50.23, 3},
    {"Kroměříž", 17.39, 49.30, 3},      {"Uherské Hradiště", 17.46, 49.07, 3},
    {"Hodonín", 17.13, 48.85, 3},       {"Třinec", 18.67, 49.68, 3},
    {"Racibórz", 18.22, 50.09, 3},      {"Nysa", 17.33, 50.47, 3},
    {"Kłodzko", 16.65, 50.43, 3},       {"Wałbrzych", 16.28, 50.77, 3},
    {"Nowy Sącz", 20.69, 49.62, 3},     {"Zakopane", 19.95, 49.30, 3},
    {"Trenčín", 18.04, 48.89, 3},       {"Martin", 18.92, 49.07, 3},
    {"Trnava", 17.59, 48.38, 3},        {"Poprad", 20.30, 49.06, 3},
    {"Svitavy", 16.47, 49.76, 3},       {"Liptovský Mikuláš", 19.61, 49.08, 3},
};

bool clashes(const QRectF &r, const std::vector<QRectF> &used, const QRectF &bounds)
{
    if (!bounds.contains(r))
        return true;
    for (const QRectF &u : used)
        if (u.intersects(r))
            return true;
    return false;
}

class LocalPainter {
public:
    LocalPainter(QPainter &p, const MapScene &scene, const AzimuthalProjection &proj)
        : m_p(p), m_scene(scene), m_proj(proj),
          m_bounds(QPointF(3, 3), QSizeF(kLocalSize) - QSizeF(6, 6))
    {
        // Keep the home spot clear for the program's centre disc.
        m_used.push_back(QRectF(proj.centre() - QPointF(14, 14), QSizeF(28, 28)));
    }

    void paintRingsAndBearings()
    {
        m_p.setBrush(Qt::NoBrush);
        const double farthest = 1100 * kKmPerPixel;
        QPen bearing(kBearing, 1.0, Qt::CustomDashLine, Qt::FlatCap);
        bearing.setDashPattern({6.0, 4.0});
        m_p.setPen(bearing);
        for (int b = 0; b < 360; b += kBearingStep)
            m_p.drawLine(m_proj.polar(b, 22 * kKmPerPixel), m_proj.polar(b, farthest));
        for (int km = kRingStepKm; km <= 450; km += kRingStepKm) {
            const double r = km / kKmPerPixel;
            m_p.setPen(QPen(kRing, km % 100 == 0 ? 1.5 : 1.1));
            m_p.drawEllipse(m_proj.centre(), r, r);
        }
    }

    void paintBearingLabels()
    {
        const QFont font = makeFont(kTextFamily, 12, 0.3, false, QFont::DemiBold);
        for (int b = 0; b < 360; b += kBearingStep) {
            const QPainterPath path = textPath({QStringLiteral("%1°").arg(b)}, font);
            const QPointF at = m_proj.polar(b, 282 * kKmPerPixel);
            drawText(m_p, path, at, kOverlayText, kHalo, 4.0);
            m_used.push_back(path.boundingRect().translated(at).adjusted(-3, -3, 3, 3));
        }
    }

    void paintRingLabels()
    {
        const QFont font = makeFont(kTextFamily, 11, 0.2);
        for (int km = kRingStepKm; km <= 450; km += kRingStepKm) {
            for (int b = 15; b < 360; b += 90) {
                const QPainterPath path = textPath({QStringLiteral("%1 km").arg(km)}, font);
                const QPointF at = m_proj.polar(b, km);
                const QRectF box = path.boundingRect().translated(at).adjusted(-3, -3, 3, 3);
                if (!m_bounds.contains(box))
                    continue;
                drawText(m_p, path, at, kOverlayText, kHalo, 3.5);
                m_used.push_back(box);
            }
        }
    }

    void paintTowns()
    {
        for (int rank = 1; rank <= 3; ++rank) {
            for (const Town &t : kTowns) {
                if (t.rank != rank)
                    continue;
                placeTown(t);
            }
        }
    }

    void paintCountryNames()
    {
        struct Size {
            double pixels;
            double spacing;
        };
        const Size sizes[] = {{22, 6.0}, {19, 4.5}, {16, 3.0}};
        for (int c = 0; c < m_scene.countryCount(); ++c) {
            if (!m_scene.visible(c))
                continue;
            const QString name = m_scene.name(c).toUpper();
            // Names sit wholly inside the first view, where an operator sees them.
            const QRect area = kFirstView.adjusted(8, 8, -8, -8);
            std::vector<QRectF> blocked = m_used;
            const QRectF all(QPointF(0, 0), QSizeF(kLocalSize));
            blocked.push_back(QRectF(all.left(), all.top(), all.width(), area.top()));
            blocked.push_back(QRectF(all.left(), area.bottom() + 1, all.width(), all.height()));
            blocked.push_back(QRectF(all.left(), all.top(), area.left(), all.height()));
            blocked.push_back(QRectF(area.right() + 1, all.top(), all.width(), all.height()));
            const FitMask mask = m_scene.maskOf(c, blocked, 4);
            const auto preferred = mask.centroid(area);
            if (!preferred)
                continue;
            for (const Size &s : sizes) {
                const QFont font = makeFont(kLabelFamily, s.pixels, s.spacing);
                const QPainterPath path = textPath({name}, font);
                const QSize box = path.boundingRect().size().toSize() + QSize(2, 2);
                const auto at = mask.place(box, area, 4, 14, *preferred);
                if (!at)
                    continue;
                QColor text = m_scene.landColour(c).darker(185);
                text.setAlpha(200);
                drawText(m_p, path, at->centre, text, m_scene.landColour(c), 3.0);
                break;
            }
        }
    }

private:
    QColor groundAt(QPointF at) const
    {
        const int c = m_scene.countryAt(int(at.x()), int(at.y()));
        return c >= 0 ? m_scene.landColour(c) : look::kSea;
    }

    void placeTown(const Town &t)
    {
        const QPointF at = m_proj(QPointF(t.lon, t.lat));
        const double radius = t.rank == 1 ? 3.6 : t.rank == 2 ? 2.8 : 2.2;
        const QRectF dot(at - QPointF(radius + 1, radius + 1),
                         QSizeF(2 * radius + 2, 2 * radius + 2));
        if (clashes(dot, m_used, m_bounds))
            return;
        const double size = t.rank == 1 ? 14 : t.rank == 2 ? 12 : 11;
        const QFont font = makeFont(kTextFamily, size, 0.0, false,
                                    t.rank == 1 ? QFont::DemiBold : QFont::Normal);
        const QPainterPath path = textPath({QString::fromUtf8(t.name)}, font);
        const QRectF tb = path.boundingRect();
        const double gap = radius + 3;
        const double dx = tb.width() / 2 + gap;
        const double dy = tb.height() / 2 + gap;
        const QPointF offsets[] = {
            {dx, 0},       {-dx, 0},       {0, -dy},      {0, dy},
            {dx, -dy / 2}, {dx, dy / 2},   {-dx, -dy / 2}, {-dx, dy / 2},
        };
        for (const QPointF &o : offsets) {
            const QRectF box = tb.translated(at + o).adjusted(-2, -2, 2, 2);
            if (clashes(box, m_used, m_bounds) || box.intersects(dot))
                continue;
            m_p.setPen(QPen(kHalo, 1.4));
            m_p.setBrush(kTown);
            m_p.drawEllipse(at, radius, radius);
            drawText(m_p, path, at + o, kTown, groundAt(at + o).lighter(104), 3.0);
            m_used.push_back(box);
            m_used.push_back(dot);
            return;
        }
    }

    QPainter &m_p;
    const MapScene &m_scene;
    const AzimuthalProjection &m_proj;
    QRectF m_bounds;
    std::vector<QRectF> m_used;
};

}  // namespace

QImage renderLocal(const Topology &topo, const std::vector<int> &tints)
{
    const AzimuthalProjection proj(kHomeLon, kHomeLat, kCentrePixel, kKmPerPixel);
    MapScene scene(topo, proj, kLocalSize, kLocalGeoBox);
    scene.colourCountries(tints);

    QImage image(kLocalSize, QImage::Format_RGB32);
    image.fill(look::kSea);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    scene.paintLand(p);
    LocalPainter local(p, scene, proj);
    scene.paintBorders(p, 1.6);
    scene.paintCoasts(p, 1.2);
    local.paintRingsAndBearings();
    local.paintBearingLabels();
    local.paintRingLabels();
    local.paintTowns();
    local.paintCountryNames();
    p.end();
    return image;
}

}  // namespace mapgen
