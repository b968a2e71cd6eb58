#include "geo/map_view.h"

#include "common/round_half_even.h"

#include <algorithm>

namespace vantora {

namespace {

int ClampZoom(int zoomValue)
{
    return std::max(zoomValue, kMinZoomValue);
}

}  // namespace

MapPixel HomePix(const GeoPosition& home)
{
    const int x = RoundHalfEven((home.longitude - kEuropeRefLongitude) / kEuropeDegreesPerPixelX);
    const int y = RoundHalfEven((kEuropeRefLatitude - home.latitude) / kEuropeDegreesPerPixelY);
    return {x + kEuropeRefX, y + kEuropeRefY};
}

bool HomeOnEuropeMap(const MapPixel& home)
{
    return home.x >= 0 && home.x < kEuropeMapWidth && home.y >= 0 && home.y < kEuropeMapHeight;
}

bool IsLocalZoom(int zoomValue)
{
    return zoomValue >= kLocalZoomValue;
}

bool IsWorldZoom(int zoomValue)
{
    return ZoomState(zoomValue) == kWorldZoomState;
}

int ZoomState(int zoomValue)
{
    return zoomValue / 10;
}

int EuropeWidening(int zoomValue)
{
    return (100 - ClampZoom(zoomValue)) * 5;
}

int EuropeHeightening(int zoomValue, int width, int height)
{
    if (width == 0) return 0;
    return static_cast<int>(static_cast<long long>(EuropeWidening(zoomValue)) * height / width);
}

MapRect EuropeSource(const MapPixel& home, int zoomValue, int width, int height)
{
    const int a = EuropeWidening(zoomValue);
    const int b = EuropeHeightening(zoomValue, width, height);
    const int halfW = width / 2;
    const int halfH = height / 2;
    return {home.x - halfW - a, home.y - halfH - b, home.x + halfW + a, home.y + halfH + b};
}

MapRect LocalSource(int zoomValue, int width, int height)
{
    const int e = zoomValue == kLocalZoomValue ? 0 : 40;
    const int halfW = width / 2;
    const int halfH = height / 2;
    return {kLocalMapCentre - halfW - e, kLocalMapCentre - halfH - e,
            kLocalMapCentre + halfW + e, kLocalMapCentre + halfH + e};
}

MapRect VisiblePart(const MapRect& source, int width, int height)
{
    const MapRect part{std::max(source.left, 0), std::max(source.top, 0), std::min(source.right, width),
                       std::min(source.bottom, height)};
    if (part.left >= part.right || part.top >= part.bottom)
        return {};
    return part;
}

int MapZoomItemForState(int zoomState)
{
    for (std::size_t i = 0; i < kMapZoomItems.size(); ++i) {
        if (kMapZoomItems[i].zoomState == zoomState) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace vantora
