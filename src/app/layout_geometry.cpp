#include "app/layout_geometry.h"

#include <algorithm>

namespace vantora {

namespace {

constexpr int kBasicWidth = 999;
constexpr int kBasicHeight = 624;
constexpr int kDialSize = 193;
constexpr int kCompactDialSize = 221;

}  // namespace

std::optional<LayoutKind> LayoutFromView(std::int32_t view)
{
    switch (view) {
    case 0:
        return LayoutKind::Basic;
    case 1:
        return LayoutKind::CompactH;
    case 2:
        return LayoutKind::CompactV;
    default:
        return std::nullopt;
    }
}

StartupLayout StartupLayoutFor(std::int32_t storedView)
{
    const std::optional<LayoutKind> layout = LayoutFromView(storedView);
    if (!layout)
        return {LayoutKind::Basic, false};
    return {*layout, *layout == LayoutKind::Basic};
}

WindowLayout Vzhled(LayoutKind layout)
{
    WindowLayout w;
    switch (layout) {
    case LayoutKind::Basic: {
        const ResizeGeometry r = Velikost(kBasicWidth, kBasicHeight);
        w.caption = "Vantora";
        w.fixedBorder = false;
        w.minWidth = 1007;
        w.minHeight = 677;
        w.clientWidth = kBasicWidth;
        w.clientHeight = kBasicHeight;
        w.mapVisible = true;
        w.mapZoomEnabled = true;
        w.map = r.map;
        w.gauge1 = r.gauge1;
        w.gauge2 = r.gauge2;
        w.panel1 = r.panel1;
        w.panel2 = r.panel2;
        w.panel3 = r.panel3;
        break;
    }
    case LayoutKind::CompactH:
        w.caption = "Vantora";
        w.fixedBorder = true;
        w.clientWidth = 647;
        w.clientHeight = 228;
        w.gauge1 = {3, 4, kCompactDialSize, kCompactDialSize};
        w.gauge2 = {227, 4, kCompactDialSize, kCompactDialSize};
        w.panel1 = {451, 4, kPanelWidth, kPanel1Height};
        w.panel2 = {451, 187, kPanelWidth, kPanel2Height};
        w.panel3 = {451, 152, kPanelWidth, kPanel3Height};
        break;
    case LayoutKind::CompactV:
        w.caption = "Vanto";
        w.fixedBorder = true;
        w.clientWidth = 199;
        w.clientHeight = 624;
        w.gauge1 = {3, 4, kDialSize, kDialSize};
        w.gauge2 = {3, 201, kDialSize, kDialSize};
        w.panel1 = {3, 398, kPanelWidth, kPanel1Height};
        w.panel2 = {3, 583, kPanelWidth, kPanel2Height};
        w.panel3 = {3, 547, kPanelWidth, kPanel3Height};
        break;
    }
    return w;
}

ResizeGeometry Velikost(int clientWidth, int clientHeight)
{
    const int column = clientWidth - 196;
    ResizeGeometry r;
    r.gauge1 = {column, 4, kDialSize, kDialSize};
    r.gauge2 = {column, 201, kDialSize, kDialSize};
    r.map = {3, 4, std::max(0, clientWidth - 203), std::max(0, clientHeight - 7)};
    r.panel1 = {column, 398, kPanelWidth, std::max(0, clientHeight - 479)};
    r.panel2 = {column, clientHeight - 41, kPanelWidth, kPanel2Height};
    r.panel3 = {column, clientHeight - 77, kPanelWidth, kPanel3Height};
    return r;
}

}  // namespace vantora
