#include "geo/ui/map_view.h"

#include "geo/flood_fill.h"
#include "geo/ui/png_rows.h"
#include "widgets/ui/analog_gauge.h"

#include <QFile>
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
constexpr int kHintMargin = 6;  // the outside-the-map hint's box from the view's top-left corner
constexpr int kHintPadding = 3;

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
    QByteArray europe;
    QByteArray local;
    if (QFile file(kEuropeMapResource); file.open(QIODevice::ReadOnly))
        europe = file.readAll();
    if (QFile file(kLocalMapResource); file.open(QIODevice::ReadOnly))
        local = file.readAll();

    // Kept compressed, its east strip filled with the background: what widening it would paint,
    // since the embedded picture has no white on its east edge for the flood fill to enter (a
    // test holds the picture to that, so start-up need not decode it all to check).
    m_europe = MapImageSource::Compressed(europe, kEuropeWidenedWidth, kMapBackgroundRgb);
    m_local = MapImageSource::Compressed(local, 0, 0);
    const bool loaded = !m_europe.isNull() && !m_local.isNull();
    if (m_europe.isNull())
        m_europe = MapImageSource::Whole(WidenEuropeMap(PlainImage(kEuropeMapWidth, kEuropeMapHeight)));
    if (m_local.isNull())
        m_local = MapImageSource::Whole(PlainImage(kLocalMapWidth, kLocalMapHeight));
    m_part = QImage();
    m_partRect = {};
    return loaded;
}

void MapView::SetImages(const QImage& europe, const QImage& local)
{
    m_europe = MapImageSource::Whole(WidenEuropeMap(europe));
    m_local = MapImageSource::Whole(local);
    m_part = QImage();
    m_partRect = {};
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
        // Only the part of the image the view shows is decoded and kept. Cut exactly to the
        // image, it makes the stretch below cut the source where the whole image would have.
        const MapImageSource& image = local ? m_local : m_europe;
        const MapRect part = VisiblePart(source, image.size().width(), image.size().height());
        if (m_part.isNull() || local != m_partLocal || !(part == m_partRect)) {
            m_part = QImage();  // freed before the next part is decoded
            m_part = image.Part(part);
            m_partRect = part;
            m_partLocal = local;
        }
        // A plain pixel stretch; what lies outside the image keeps the background colour.
        if (!m_part.isNull())
            painter.drawImage(QRectF(0, 0, w - 1, h - 1), m_part,
                              QRectF(source.left - part.left, source.top - part.top, source.right - source.left,
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
        if (!local && !m_outsideHint.isEmpty() && !HomeOnEuropeMap(m_home)) {
            // Otherwise the operator sees an empty map and no way out of it.
            painter.setFont(m_gauge.font());
            const QFontMetrics metrics = painter.fontMetrics();
            const QRect box(kHintMargin, kHintMargin, metrics.horizontalAdvance(m_outsideHint) + 2 * kHintPadding,
                            metrics.height() + 2 * kHintPadding);
            painter.fillRect(box, Qt::white);
            painter.setPen(m_gauge.valueColor());
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, m_outsideHint);
        }
    }
    m_gauge.RedrawArrow();
    m_zoomState = ZoomState(zoomValue);
}

}  // namespace vantora
