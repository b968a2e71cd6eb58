#pragma once
// Where the main window's parts go in each of its three layouts, and how the Basic layout
// follows a resize. Coordinates are pixels inside the client area.

#include <cstdint>
#include <optional>
#include <string>

namespace vantora {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// Settings::View.
enum class LayoutKind : std::int32_t { Basic = 0, CompactH = 1, CompactV = 2 };

// A stored View value as a layout; nothing for values that name none.
std::optional<LayoutKind> LayoutFromView(std::int32_t view);

// How the window is sized at start for a stored View: Basic takes the stored client size (never
// below the Basic minimum); the compact layouts, and a View that names no layout, take their
// layout's own size. A View that names no layout is treated as Basic.
struct StartupLayout {
    LayoutKind layout = LayoutKind::Basic;
    bool storedSize = false;  // SizeX, SizeY and SizeM apply
};
StartupLayout StartupLayoutFor(std::int32_t storedView);

inline constexpr int kPanelWidth = 193;
inline constexpr int kPanel1Height = 145;  // design height; Basic stretches it with the window
inline constexpr int kPanel2Height = 38;
inline constexpr int kPanel3Height = 32;

struct WindowLayout {
    std::string caption;          // window title
    bool fixedBorder = false;     // single fixed border, no maximize box; else sizeable
    int minWidth = 0;             // outer window size; 0 means no limit
    int minHeight = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool mapVisible = false;      // AnalogGauge3
    bool mapZoomEnabled = false;  // the "Map zoom" submenu
    Rect map;                     // meaningful only when mapVisible
    Rect gauge1;                  // AnalogGauge1
    Rect gauge2;                  // AnalogGauge2
    Rect panel1;                  // read-outs
    Rect panel2;                  // target entry
    Rect panel3;                  // PARK, STOP, PRESETS
};

// Vzhled ("appearance"): the geometry of a layout. In Basic the window then gets its client size
// set, which raises a resize and Velikost; the rectangles here equal Velikost at 999 x 624.
// The window applies them in the fixed order: Basic - caption, minimum size, border, map shown
// (top 4), dials, panels, client width, client height; compact - map hidden, caption, border,
// no minimum, client width, client height, dials, panels.
WindowLayout Vzhled(LayoutKind layout);

struct ResizeGeometry {
    Rect gauge1;
    Rect gauge2;
    Rect map;
    Rect panel1;
    Rect panel2;
    Rect panel3;
};

// Velikost ("size"): the Basic layout for a client area of width x height: dials and panels glued
// to the right edge, target entry and buttons to the bottom, the map takes the rest. Sizes that
// would come out negative in a tiny client area are 0. Only for the Basic layout; the window then
// recomputes the map's home point and redraws the map at its zoom.
ResizeGeometry Velikost(int clientWidth, int clientHeight);

}  // namespace vantora
