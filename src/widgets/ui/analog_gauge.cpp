#include "widgets/ui/analog_gauge.h"

#include "common/round_half_even.h"
#include "widgets/downsample.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPaintEvent>
#include <QPalette>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cstring>

namespace vantora {

namespace {

constexpr QImage::Format kLayerFormat = QImage::Format_RGB32;

QPoint ToQt(const GaugePoint& p)
{
    return {p.x, p.y};
}

// A rectangle by its edges (right and bottom exclusive) as Qt outlines it with a thin pen.
QRect OutlineRect(const GaugeRect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QFont ScaledFont(const QFont& font, int k)
{
    QFont scaled(font);
    if (k == 1) return scaled;
    if (scaled.pixelSize() > 0) {
        scaled.setPixelSize(scaled.pixelSize() * k);
    } else {
        scaled.setPointSizeF(scaled.pointSizeF() * k);
    }
    return scaled;
}

// Text centred on anchor.x with its top edge on anchor.y, on an opaque background.
void DrawOpaqueText(QPainter& painter, const GaugePoint& anchor, const QString& text,
                    const QColor& color, const QColor& background)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    const QRect box(TextLeft(anchor.x, width), anchor.y, width, metrics.height());
    painter.fillRect(box, background);
    painter.setPen(color);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void DrawBand(QPainter& painter, const GaugeArc& arc, const QColor& color, int k)
{
    painter.setPen(QPen(color, 4 * k, Qt::SolidLine, Qt::FlatCap));
    const QRect box(arc.box.left, arc.box.top, arc.box.right - arc.box.left,
                    arc.box.bottom - arc.box.top);
    painter.drawArc(box, RoundHalfEven(arc.startDegrees * 16), RoundHalfEven(arc.spanDegrees * 16));
}

}  // namespace

TA3nalogGauge::TA3nalogGauge(QWidget* parent)
    : QWidget(parent)
{
    m_faceColor = palette().color(QPalette::Button);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kDefaultWidth, kDefaultHeight);
    SyncLayers();
    RedrawFace();
}

void TA3nalogGauge::Apply(GaugeRedraw redraw)
{
    if (redraw == GaugeRedraw::Face) {
        RedrawFace();
    } else if (redraw == GaugeRedraw::Arrow) {
        RedrawArrow();
    }
}

void TA3nalogGauge::SetFaceColorField(QColor& field, const QColor& value)
{
    if (field == value) return;
    field = value;
    RedrawFace();
}

void TA3nalogGauge::setMinColor(const QColor& value) { SetFaceColorField(m_minColor, value); }
void TA3nalogGauge::setMidColor(const QColor& value) { SetFaceColorField(m_midColor, value); }
void TA3nalogGauge::setMaxColor(const QColor& value) { SetFaceColorField(m_maxColor, value); }
void TA3nalogGauge::setFaceColor(const QColor& value) { SetFaceColorField(m_faceColor, value); }
void TA3nalogGauge::setTicksColor(const QColor& value) { SetFaceColorField(m_ticksColor, value); }
void TA3nalogGauge::setValueColor(const QColor& value) { SetFaceColorField(m_valueColor, value); }
void TA3nalogGauge::setCaptionColor(const QColor& value) { SetFaceColorField(m_captionColor, value); }
void TA3nalogGauge::setMarginColor(const QColor& value) { SetFaceColorField(m_marginColor, value); }
void TA3nalogGauge::setCenterColor(const QColor& value) { SetFaceColorField(m_centerColor, value); }
void TA3nalogGauge::setCircleColor(const QColor& value) { SetFaceColorField(m_circleColor, value); }

void TA3nalogGauge::setArrowColor(const QColor& value)
{
    if (m_arrowColor == value) return;
    m_arrowColor = value;
    RedrawArrow();
}

void TA3nalogGauge::setCenterRadius(int value) { Apply(m_model.SetCenterRadius(value)); }
void TA3nalogGauge::setCircleRadius(int value) { Apply(m_model.SetCircleRadius(value)); }
void TA3nalogGauge::setAngle(int value) { Apply(m_model.SetAngle(value)); }
void TA3nalogGauge::setMargin(int value) { Apply(m_model.SetMargin(value)); }
void TA3nalogGauge::setGaugeStyle(TStyle value) { Apply(m_model.SetStyle(value)); }
void TA3nalogGauge::setArrowWidth(int value) { Apply(m_model.SetArrowWidth(value)); }
void TA3nalogGauge::setNumberMainTicks(int value) { Apply(m_model.SetNumberMainTicks(value)); }
void TA3nalogGauge::setLengthMainTicks(int value) { Apply(m_model.SetLengthMainTicks(value)); }
void TA3nalogGauge::setLengthSubTicks(int value) { Apply(m_model.SetLengthSubTicks(value)); }
void TA3nalogGauge::setFaceOptions(TFaceOptions value) { Apply(m_model.SetFaceOptions(value)); }
void TA3nalogGauge::setScale(int value) { Apply(m_model.SetScale(value)); }
void TA3nalogGauge::setIndMinimum(int value) { Apply(m_model.SetIndMinimum(value)); }
void TA3nalogGauge::setIndMaximum(int value) { Apply(m_model.SetIndMaximum(value)); }

void TA3nalogGauge::setPosition(float value)
{
    const PositionChange change = m_model.SetPosition(value);
    if (change.overMax) emit OnOverMax();
    if (change.overMin) emit OnOverMin();
    Apply(change.redraw);
}

void TA3nalogGauge::setCaption(const QString& value)
{
    if (m_caption == value) return;
    m_caption = value;
    RedrawFace();
}

void TA3nalogGauge::setTailStyle(Qt::PenStyle style)
{
    if (m_tailStyle == style) return;
    m_tailStyle = style;
    RedrawArrow();
}

void TA3nalogGauge::setAntiAliased(TAntialiased value)
{
    if (m_model.SetAntiAliased(value) == GaugeRedraw::None) return;
    // The layers change size (and the reduced bitmap appears or goes): start from fresh bitmaps.
    m_backBitmap = QImage();
    m_faceBitmap = QImage();
    m_aaBitmap = QImage();
    SyncLayers();
    RedrawFace();
}

QImage& TA3nalogGauge::backBitmap()
{
    if (SyncLayers()) RedrawFace();
    return m_backBitmap;
}

GaugeGeometry TA3nalogGauge::layerGeometry() const
{
    const int k = m_model.factor();
    return m_model.Geometry(width() * k, height() * k);
}

bool TA3nalogGauge::SyncLayers()
{
    const int k = m_model.factor();
    const QSize layerSize = size() * k;
    bool remade = false;
    if (m_backBitmap.size() != layerSize || m_backBitmap.format() != kLayerFormat) {
        m_backBitmap = QImage(layerSize, kLayerFormat);
        m_backBitmap.fill(m_faceColor);
        remade = true;
    }
    if (m_faceBitmap.size() != layerSize || m_faceBitmap.format() != kLayerFormat) {
        m_faceBitmap = QImage(layerSize, kLayerFormat);
        remade = true;
    }
    if (k > 1) {
        if (m_aaBitmap.size() != size()) {
            m_aaBitmap = QImage(size(), kLayerFormat);
            remade = true;
        }
    } else if (!m_aaBitmap.isNull()) {
        m_aaBitmap = QImage();
        remade = true;
    }
    return remade;
}

void TA3nalogGauge::RedrawFace()
{
    m_meter.Start();
    SyncLayers();
    DrawFace(m_backBitmap, m_model.factor());
    RedrawArrow();
}

void TA3nalogGauge::RedrawArrow()
{
    if (!m_meter.Running()) m_meter.Start();
    const int k = m_model.factor();
    if (SyncLayers()) DrawFace(m_backBitmap, k);
    ++m_arrowRedraws;
    std::memcpy(m_faceBitmap.bits(), m_backBitmap.constBits(),
                static_cast<std::size_t>(m_backBitmap.sizeInBytes()));
    DrawArrow(m_faceBitmap, k);
    if (k > 1) DownsampleFace();
    if (!m_inPaintEvent) repaint();  // shown now, not at the toolkit's next paint
    if (m_meter.Finish()) emit OnFrames(m_meter.Frames());
}

void TA3nalogGauge::DrawFace(QImage& layer, int k)
{
    ++m_faceRedraws;
    m_model.ApplyStyleLimit();
    const int w = layer.width();
    const int h = layer.height();
    const GaugeGeometry geometry = m_model.Geometry(w, h);
    const FaceLayout layout = ComputeFaceLayout(geometry, w, h, m_model.Face());
    const TFaceOptions options = m_model.faceOptions();

    QPainter painter(&layer);
    painter.setFont(ScaledFont(font(), k));
    painter.fillRect(layer.rect(), m_faceColor);

    if (HasFaceOption(options, TFaceOption::ShowFrame)) {
        if (HasFaceOption(options, TFaceOption::Show3D)) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(palette().color(QPalette::Dark), 2 * k));
            painter.drawPolyline(QPolygon({QPoint(w, 0), QPoint(0, 0), QPoint(0, h)}));
            painter.setPen(QPen(palette().color(QPalette::Light), 2 * k));
            painter.drawPolyline(QPolygon({QPoint(0, h), QPoint(w, h), QPoint(w, 0)}));
        } else {
            painter.setPen(QPen(palette().color(QPalette::ButtonText), k));
            painter.setBrush(m_faceColor);
            painter.drawRect(OutlineRect({0, 0, w, h}));
        }
    }

    if (HasFaceOption(options, TFaceOption::ShowMargin)) {
        painter.setPen(QPen(m_marginColor, k));
        painter.setBrush(m_faceColor);
        painter.drawRect(OutlineRect(layout.margin));
    }

    if (HasFaceOption(options, TFaceOption::ShowCaption)) {
        DrawOpaqueText(painter, layout.caption, m_caption, m_captionColor, m_faceColor);
    }

    painter.setBrush(Qt::NoBrush);
    if (layout.hasMaxBand) DrawBand(painter, layout.maxBand, m_maxColor, k);
    if (layout.hasMidBand) DrawBand(painter, layout.midBand, m_midColor, k);
    if (layout.hasMinBand) DrawBand(painter, layout.minBand, m_minColor, k);

    const QPen ticksPen(m_ticksColor, k, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(ticksPen);
    for (const GaugeLine& tick : layout.subTicks) painter.drawLine(ToQt(tick.from), ToQt(tick.to));

    // Main ticks, circles and numbers are interleaved per tick, as each overlaps the previous.
    const int circleRadius = m_model.circleRadius() * k;
    const std::size_t mainCount = static_cast<std::size_t>(std::max(0, m_model.numberMainTicks()) + 1);
    for (std::size_t i = 0; i < mainCount; ++i) {
        if (i < layout.mainTicks.size()) {
            painter.setPen(ticksPen);
            painter.drawLine(ToQt(layout.mainTicks[i].from), ToQt(layout.mainTicks[i].to));
        }
        if (i < layout.circles.size()) {
            painter.setPen(ticksPen);
            painter.setBrush(m_circleColor);
            painter.drawEllipse(ToQt(layout.circles[i]), circleRadius, circleRadius);
        }
        if (i < layout.values.size()) {
            const GaugeText& value = layout.values[i];
            DrawOpaqueText(painter, value.anchor, QString::number(value.number), m_valueColor, m_faceColor);
        }
    }
    m_drawnFont = font();
}

void TA3nalogGauge::DrawArrow(QImage& layer, int k)
{
    const GaugeGeometry geometry = m_model.Geometry(layer.width(), layer.height());
    const QPoint start = ToQt(geometry.PointerStart());
    QPainter painter(&layer);
    if (m_tailStyle != Qt::NoPen) {
        painter.setPen(QPen(m_arrowColor, m_model.arrowWidth() * k, m_tailStyle, Qt::FlatCap, Qt::RoundJoin));
        painter.drawLine(start, ToQt(geometry.PointAt(geometry.radius, geometry.DirectionOf(m_model.position()) + 180.0)));
    }
    painter.setPen(QPen(m_arrowColor, m_model.arrowWidth() * k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(start, ToQt(geometry.PointerEnd(m_model.position())));
    if (HasFaceOption(m_model.faceOptions(), TFaceOption::ShowCenter)) {
        const int radius = m_model.centerRadius() * k;
        painter.setBrush(m_centerColor);
        painter.drawEllipse(start, radius, radius);
    }
}

void TA3nalogGauge::DownsampleFace()
{
    const int k = m_model.factor();
    const auto* src = reinterpret_cast<const std::uint32_t*>(m_faceBitmap.constBits());
    auto* dst = reinterpret_cast<std::uint32_t*>(m_aaBitmap.bits());
    DownsampleBlocks(src, static_cast<std::size_t>(m_faceBitmap.bytesPerLine()) / 4, dst,
                     static_cast<std::size_t>(m_aaBitmap.bytesPerLine()) / 4, m_aaBitmap.width(),
                     m_aaBitmap.height(), k);
}

void TA3nalogGauge::paintEvent(QPaintEvent*)
{
    m_inPaintEvent = true;
    if (SyncLayers()) RedrawFace();
    m_inPaintEvent = false;
    QPainter painter(this);
    painter.drawImage(0, 0, m_model.factor() > 1 ? m_aaBitmap : m_faceBitmap);
}

void TA3nalogGauge::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The layers may already have followed the new size (an owner painted into them first);
    // redrawing again would wipe that painting.
    if (SyncLayers()) RedrawFace();
}

void TA3nalogGauge::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && font() != m_drawnFont) RedrawFace();
}

}  // namespace vantora
