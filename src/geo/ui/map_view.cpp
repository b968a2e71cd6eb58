#include "geo/ui/map_view.h"

#include "geo/flood_fill.h"
#include "widgets/ui/analog_gauge.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

// The images are compiled into a static library: their registration must be asked for by name,
// and the macro only works outside a namespace.
static void InitMapResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vantora {

namespace {

constexpr QImage::Format kMapFormat = QImage::Format_RGB32;
constexpr int kCallsignOffsetX = 25;  // callsign's top-left corner from the view's centre
constexpr int kCallsignOffsetY = 20;

QImage PlainImage(int width, int height)
{
    QImage image(width, height, kMapFormat);
    image.fill(MapBackgroundColor());
    return image;
}

}  // namespace

QColor MapBackgroundColor()
{
    return QColor::fromRgb(kMapBackgroundRgb);
}

QImage WidenEuropeMap(const QImage& europe)
{
    const QImage source = europe.convertToFormat(kMapFormat);
    const int width = std::max(kEuropeWidenedWidth, source.width());
    QImage widened(width, source.height(), kMapFormat);
    widened.fill(Qt::white);
    {
        QPainter painter(&widened);
        painter.drawImage(0, 0, source);
    }
    FloodFillSurface(reinterpret_cast<std::uint32_t*>(widened.bits()), widened.width(),
                     widened.height(), static_cast<std::size_t>(widened.bytesPerLine()) / 4,
                     kEuropeFillSeedX, kEuropeFillSeedY, 0xFFFFFF, kMapBackgroundRgb);
    return widened;
}

MapView::MapView(TA3nalogGauge& gauge)
    : m_gauge(gauge)
{
}

bool MapView::LoadImages()
{
    InitMapResources();
    QImage europe(kEuropeMapResource);
    QImage local(kLocalMapResource);
    const bool loaded = !europe.isNull() && !local.isNull();
    if (europe.isNull()) europe = PlainImage(kEuropeMapWidth, kEuropeMapHeight);
    if (local.isNull()) local = PlainImage(kLocalMapWidth, kLocalMapHeight);
    SetImages(europe, local);
    return loaded;
}

void MapView::SetImages(const QImage& europe, const QImage& local)
{
    m_europe = WidenEuropeMap(europe);
    m_local = local.convertToFormat(kMapFormat);
}

void MapView::HomePix(const GeoPosition& home)
{
    m_home = vantora::HomePix(home);
    m_homePosition = home;
}

void MapView::SetTargetLocator(const QString& locator)
{
    m_world.SetTarget(locator);
    if (m_world.shown()) m_world.Show(m_gauge, m_homePosition, m_callsign);
}

void MapView::SetZoom(int zoomValue)
{
    if (IsWorldZoom(zoomValue)) {
        m_world.Show(m_gauge, m_homePosition, m_callsign);
        m_zoomState = ZoomState(zoomValue);
        return;
    }
    m_world.Leave(m_gauge);
    const int w = m_gauge.width();
    const int h = m_gauge.height();
    QImage& layer = m_gauge.backBitmap();
    {
        QPainter painter(&layer);
        // A supersampled gauge has larger layers; the view is laid out in control pixels.
        const int k = w > 0 ? layer.width() / w : 1;
        if (k > 1) painter.scale(k, k);
        painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)), MapBackgroundColor());
        const bool local = IsLocalZoom(zoomValue);
        const MapRect source = local ? LocalSource(zoomValue, w, h) : EuropeSource(m_home, zoomValue, w, h);
        // A plain pixel stretch; what lies outside the image keeps the background colour.
        painter.drawImage(QRectF(0, 0, w - 1, h - 1), local ? m_local : m_europe,
                          QRectF(source.left, source.top, source.right - source.left,
                                 source.bottom - source.top));
        if (!local && !m_callsign.isEmpty()) {
            painter.setFont(m_gauge.font());
            const QFontMetrics metrics = painter.fontMetrics();
            const QRect box(w / 2 - kCallsignOffsetX, h / 2 - kCallsignOffsetY,
                            metrics.horizontalAdvance(m_callsign), metrics.height());
            painter.fillRect(box, MapBackgroundColor());
            painter.setPen(m_gauge.valueColor());
            painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, m_callsign);
        }
    }
    m_gauge.RedrawArrow();
    m_zoomState = ZoomState(zoomValue);
}

}  // namespace vantora
