#pragma once
// Map view arithmetic: the home station's pixel on the Europe map, the source rectangle of each
// zoom view, and the zoom choices the operator is offered.

#include "common/europe_calibration.h"
#include "geo/locator.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vantora {

inline constexpr int kEuropeMapWidth = 2000;   // pixels of the embedded image
inline constexpr int kEuropeMapHeight = 1461;
inline constexpr int kEuropeWidenedWidth = 3000;  // after loading, the east strip shows background
inline constexpr int kEuropeFillSeedX = 2900;
inline constexpr int kEuropeFillSeedY = 10;
inline constexpr int kLocalMapWidth = 1266;
inline constexpr int kLocalMapHeight = 933;
inline constexpr int kLocalMapCentre = 468;    // local views centre on pixel (468, 468)

// Pale green behind the map and under the callsign, 0xRRGGBB.
inline constexpr std::uint32_t kMapBackgroundRgb = 0xC0DCC0;

// Zoom values from 110 up show the local map; below, the Europe map.
inline constexpr int kLocalZoomValue = 110;

struct MapPixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const MapPixel&, const MapPixel&) = default;
};

// A source rectangle by its edges, as handed to the stretch copy (width right - left).
struct MapRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const MapRect&, const MapRect&) = default;
};

// Home pixel on the Europe map: the home position's place, rounded half to even.
MapPixel HomePix(const GeoPosition& home);

// Whether the home pixel lies on the Europe map's picture (not in the widened east strip or
// beyond it): a Europe view around a home elsewhere shows no land at all.
bool HomeOnEuropeMap(const MapPixel& home);

bool IsLocalZoom(int zoomValue);

// The world map around home (zoom state 13); it comes before the local maps' rule.
inline constexpr int kWorldZoomState = 13;
bool IsWorldZoom(int zoomValue);

// Zoom state stored in the settings: the zoom value divided by 10 (integer division).
int ZoomState(int zoomValue);

// Widening of the Europe source on each side: a = (100 - z) * 5 pixels across, and
// b = a * H / W down, keeping the widget's aspect ratio.
int EuropeWidening(int zoomValue);
int EuropeHeightening(int zoomValue, int width, int height);

// Source rectangle of a Europe view centred on the home pixel for a widget of width x height.
MapRect EuropeSource(const MapPixel& home, int zoomValue, int width, int height);

// Source rectangle of a local view; the home position plays no part. 110 is the first view,
// anything above the second (40 pixels wider on every side).
MapRect LocalSource(int zoomValue, int width, int height);

// The part of a map image that a view's source rectangle shows: the rectangle cut to the image
// (width x height). Empty (all edges 0) when the view lies wholly outside the image.
MapRect VisiblePart(const MapRect& source, int width, int height);

// Zoom values far below 0 would overflow the widening; they are held at this floor.
inline constexpr int kMinZoomValue = -100000;

struct MapZoomItem {
    std::string_view caption;
    int zoomValue;
    int zoomState;
};

// The "Map zoom" menu's radio items, in menu order.
inline constexpr std::array<MapZoomItem, 9> kMapZoomItems{{
    {"100%", 100, 10},
    {"80%", 80, 8},
    {"60%", 60, 6},
    {"40%", 40, 4},
    {"20%", 20, 2},
    {"0%", 0, 0},
    {"Tarrin-1", 110, 11},
    {"Tarrin-2", 120, 12},
    {"World", 130, kWorldZoomState},
}};

// Index in kMapZoomItems of the item for a zoom state, -1 when none matches.
int MapZoomItemForState(int zoomState);

}  // namespace vantora
