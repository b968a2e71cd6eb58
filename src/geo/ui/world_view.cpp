#include "geo/ui/world_view.h"

#include "geo/map_view.h"
#include "geo/ui/map_view.h"
#include "widgets/ui/analog_gauge.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cstring>

namespace vantora {

namespace {

// The look of the map bitmaps (tools/mapgen), so the views belong together.
const QColor kSea(172, 206, 228);
const QColor kCoast(78, 112, 140);
const QColor kBorder(118, 98, 92);
const QColor kRing(96, 128, 160);
const QColor kTargetMark(200, 0, 0);
const std::array<QColor, kCountryTints> kLand = {
    QColor(236, 226, 202), QColor(216, 230, 194), QColor(243, 214, 188),
    QColor(224, 214, 232), QColor(246, 236, 162), QColor(236, 206, 204),
};
constexpr int kCallsignOffsetX = 25;  // the callsign's top-left corner from home, as on the Europe map
constexpr int kCallsignOffsetY = 20;
constexpr double kTargetMarkRadius = 4.0;

QPointF Qt(const PlanPoint& p)
{
    return {p.x, p.y};
}

QPolygonF Polygon(const PlanLine& line)
{
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(line.size()));
    for (const PlanPoint& p : line) polygon.append(Qt(p));
    return polygon;
}

void DrawCentredText(QPainter& painter, const PlanPoint& anchor, const QString& text)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QRectF box(anchor.x - metrics.horizontalAdvance(text) / 2.0, anchor.y - metrics.height() / 2.0,
                     metrics.horizontalAdvance(text), metrics.height());
    painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, text);
}

// Text on an opaque box of the background colour, top-left corner given.
void DrawBoxedText(QPainter& painter, QPointF topLeft, const QString& text, const QColor& color)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QRectF box(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(box, MapBackgroundColor());
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

}  // namespace

void PaintWorldPlan(QImage& image, const WorldPlan& plan, const QFont& font, const QColor& textColor, int scale)
{
    const AzimuthalProjection& projection = plan.projection;
    const QPointF centre(projection.centreX(), projection.centreY());
    const double r = projection.radius();

    image.fill(MapBackgroundColor());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.translate(0.5, 0.5);  // plan coordinates address pixels; painting hits their centres

    painter.setPen(Qt::NoPen);
    painter.setBrush(kSea);
    painter.drawEllipse(centre, r, r);

    for (const PlanCountry& country : plan.countries) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        for (const PlanLine& ring : country.rings) path.addPolygon(Polygon(ring)), path.closeSubpath();
        if (country.withRim) path.addEllipse(centre, r, r);
        painter.fillPath(path, kLand[static_cast<std::size_t>(country.tint) % kLand.size()]);
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kBorder, 0.7));
    for (const PlanLine& line : plan.borders) painter.drawPolyline(Polygon(line));
    painter.setPen(QPen(kCoast, 0.9));
    for (const PlanLine& line : plan.coasts) painter.drawPolyline(Polygon(line));

    painter.setPen(QPen(kRing, 1.0, Qt::DashLine));
    for (double radius : plan.distanceRings) painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(kCoast, 1.4));
    painter.drawEllipse(centre, r, r);
    for (const PlanTick& tick : plan.bearingTicks) {
        painter.setPen(QPen(textColor, tick.major ? 1.4 : 1.0));
        painter.drawLine(Qt(tick.from), Qt(tick.to));
    }

    painter.setFont(font);
    painter.setPen(textColor);
    for (const PlanLabel& label : plan.bearingLabels) DrawCentredText(painter, label.anchor, QString::fromStdString(label.text));
    painter.setPen(kRing.darker(150));
    for (const PlanLabel& label : plan.distanceLabels) DrawCentredText(painter, label.anchor, QString::fromStdString(label.text));
}

bool WorldView::LoadOutline()
{
    if (m_loaded) return m_outline.has_value();
    m_loaded = true;
    QFile file(kWorldOutlineResource);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    m_outline = ParseWorldOutline(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return m_outline.has_value();
}

void WorldView::SetOutline(std::optional<WorldOutline> outline)
{
    m_outline = std::move(outline);
    m_loaded = true;
    Forget();
}

void WorldView::Show(TA3nalogGauge& gauge, const GeoPosition& home, const QString& callsign)
{
    LoadOutline();
    const int w = gauge.width();
    const int h = gauge.height();
    if (!m_shown) m_gaugeMargin = gauge.margin();
    m_shown = true;
    // The pointer ends at the rim (the antipode), and runs on dashed through home: the long path.
    gauge.setMargin(w / 2 - WorldRadius(w, h));
    gauge.setTailStyle(Qt::DashLine);

    QImage& layer = gauge.backBitmap();
    if (layer.isNull()) {  // a gauge of no size: nothing to paint into
        gauge.RedrawArrow();
        return;
    }
    const int k = w > 0 ? std::max(1, layer.width() / w) : 1;
    if (m_picture.size() != layer.size() || m_pictureHome.longitude != home.longitude ||
        m_pictureHome.latitude != home.latitude) {
        m_picture = QImage(layer.size(), layer.format());
        static const WorldOutline kNone;
        const WorldPlan plan = PlanWorld(m_outline ? *m_outline : kNone, home, w, h);
        PaintWorldPlan(m_picture, plan, gauge.font(), gauge.valueColor(), k);
        m_pictureHome = home;
        ++m_worldDraws;
    }

    std::memcpy(layer.bits(), m_picture.constBits(), static_cast<std::size_t>(layer.sizeInBytes()));
    {
        QPainter painter(&layer);
        painter.scale(k, k);
        painter.setFont(gauge.font());
        if (!m_target.isEmpty()) {
            const std::string text = m_target.toStdString();
            const PlanPoint p = WorldProjection(home, w, h).Project(VypLoc(text));
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(kTargetMark, 2.0));
            painter.setBrush(Qt::NoBrush);
            const QPointF centre(p.x + 0.5, p.y + 0.5);
            painter.drawEllipse(centre, kTargetMarkRadius, kTargetMarkRadius);
            painter.setRenderHint(QPainter::Antialiasing, false);
            DrawBoxedText(painter, centre + QPointF(kTargetMarkRadius + 3, -painter.fontMetrics().height() / 2.0), m_target,
                          kTargetMark.darker(130));
        }
        if (!callsign.isEmpty())
            DrawBoxedText(painter, QPointF(w / 2 - kCallsignOffsetX, h / 2 - kCallsignOffsetY), callsign, gauge.valueColor());
    }
    gauge.RedrawArrow();
}

void WorldView::Leave(TA3nalogGauge& gauge)
{
    if (!m_shown) return;
    m_shown = false;
    m_picture = QImage();  // the other views need no world picture: 2 MB less for them
    gauge.setTailStyle(Qt::NoPen);
    gauge.setMargin(m_gaugeMargin);
}

void WorldView::SetTarget(const QString& locator)
{
    m_target = CheckLoc(locator.toStdString()) ? locator.toUpper() : QString();
}

}  // namespace vantora
