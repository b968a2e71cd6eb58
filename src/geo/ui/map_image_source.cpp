#include "geo/ui/map_image_source.h"

#include "geo/ui/png_rows.h"

#include <algorithm>
#include <cstring>

namespace vantora {

namespace {

constexpr QImage::Format kMapFormat = QImage::Format_RGB32;

}  // namespace

MapImageSource MapImageSource::Whole(const QImage& image)
{
    MapImageSource source;
    source.m_whole = image.convertToFormat(kMapFormat);
    source.m_size = source.m_whole.size();
    return source;
}

MapImageSource MapImageSource::Compressed(const QByteArray& png, int extentWidth, QRgb fill)
{
    MapImageSource source;
    const QSize size = PngSize(png);
    if (size.isEmpty())
        return source;
    source.m_png = png;
    source.m_pngWidth = size.width();
    source.m_fill = 0xFF000000u | fill;
    source.m_size = QSize(std::max(extentWidth, size.width()), size.height());
    return source;
}

QImage MapImageSource::Part(const MapRect& part) const
{
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    if (width <= 0 || height <= 0)
        return {};
    if (!isCompressed())
        return m_whole.copy(part.left, part.top, width, height);

    QImage image(width, height, kMapFormat);
    if (image.isNull())
        return image;
    image.fill(m_fill);
    // Only the columns of the PNG itself are copied; those of the wider extent keep the fill.
    const int copyLeft = std::min(part.left, m_pngWidth);
    const int copyRight = std::min(part.right, m_pngWidth);
    if (copyLeft < copyRight) {
        const std::size_t bytes = static_cast<std::size_t>(copyRight - copyLeft) * 4;
        ForEachPngRow(m_png, part.top, part.bottom, [&](int y, const std::uint32_t* pixels) {
            std::memcpy(image.scanLine(y - part.top), pixels + copyLeft, bytes);
        });
    }
    return image;
}

}  // namespace vantora
