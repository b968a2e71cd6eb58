// The main window's three layouts and the Basic layout's resize rule.
#include "app/layout_geometry.h"

#include <gtest/gtest.h>

namespace vantora {
namespace {

TEST(Velikost, BasicFollowsTheWindow)
{
    const ResizeGeometry r = Velikost(1300, 800);
    EXPECT_EQ(r.gauge1, (Rect{1104, 4, 193, 193}));
    EXPECT_EQ(r.gauge2, (Rect{1104, 201, 193, 193}));
    EXPECT_EQ(r.map, (Rect{3, 4, 1097, 793}));
    EXPECT_EQ(r.panel1, (Rect{1104, 398, 193, 321}));
    EXPECT_EQ(r.panel2, (Rect{1104, 759, 193, 38}));
    EXPECT_EQ(r.panel3, (Rect{1104, 723, 193, 32}));

    const ResizeGeometry design = Velikost(999, 624);
    EXPECT_EQ(design.map, (Rect{3, 4, 796, 617}));
    EXPECT_EQ(design.panel1, (Rect{803, 398, 193, 145}));
    EXPECT_EQ(design.panel2, (Rect{803, 583, 193, 38}));
    EXPECT_EQ(design.panel3, (Rect{803, 547, 193, 32}));

    const ResizeGeometry tiny = Velikost(100, 50);
    EXPECT_EQ(tiny.map.width, 0);
    EXPECT_EQ(tiny.map.height, 43);
    EXPECT_EQ(tiny.panel1.height, 0);
}

TEST(StartupLayout, StoredSizeOnlyForBasicAndUnknownViewsAreBasicAtTheDesignSize)
{
    struct Case {
        std::int32_t view;
        LayoutKind layout;
        bool storedSize;
    };
    const Case cases[] = {
        {0, LayoutKind::Basic, true},     {1, LayoutKind::CompactH, false}, {2, LayoutKind::CompactV, false},
        {3, LayoutKind::Basic, false},    {-1, LayoutKind::Basic, false},   {2147483647, LayoutKind::Basic, false},
    };
    for (const Case& c : cases) {
        const StartupLayout startup = StartupLayoutFor(c.view);
        EXPECT_EQ(startup.layout, c.layout) << c.view;
        EXPECT_EQ(startup.storedSize, c.storedSize) << c.view;
    }
}

TEST(Vzhled, ThreeLayouts)
{
    struct Case {
        LayoutKind kind;
        const char* caption;
        bool fixed;
        int minW, minH, clientW, clientH;
        bool map;
        Rect gauge1, gauge2, panel1, panel2, panel3;
    };
    const Case cases[] = {
        {LayoutKind::Basic, "Vantora", false, 1007, 677, 999, 624, true,
         {803, 4, 193, 193}, {803, 201, 193, 193}, {803, 398, 193, 145}, {803, 583, 193, 38},
         {803, 547, 193, 32}},
        {LayoutKind::CompactH, "Vantora", true, 0, 0, 647, 228, false,
         {3, 4, 221, 221}, {227, 4, 221, 221}, {451, 4, 193, 145}, {451, 187, 193, 38},
         {451, 152, 193, 32}},
        {LayoutKind::CompactV, "Vanto", true, 0, 0, 199, 624, false,
         {3, 4, 193, 193}, {3, 201, 193, 193}, {3, 398, 193, 145}, {3, 583, 193, 38},
         {3, 547, 193, 32}},
    };
    for (const Case& c : cases) {
        const WindowLayout w = Vzhled(c.kind);
        SCOPED_TRACE(c.caption + std::to_string(c.clientW));
        EXPECT_EQ(w.caption, c.caption);
        EXPECT_EQ(w.fixedBorder, c.fixed);
        EXPECT_EQ(w.minWidth, c.minW);
        EXPECT_EQ(w.minHeight, c.minH);
        EXPECT_EQ(w.clientWidth, c.clientW);
        EXPECT_EQ(w.clientHeight, c.clientH);
        EXPECT_EQ(w.mapVisible, c.map);
        EXPECT_EQ(w.mapZoomEnabled, c.map);
        EXPECT_EQ(w.gauge1, c.gauge1);
        EXPECT_EQ(w.gauge2, c.gauge2);
        EXPECT_EQ(w.panel1, c.panel1);
        EXPECT_EQ(w.panel2, c.panel2);
        EXPECT_EQ(w.panel3, c.panel3);
        // Everything fits inside the client area.
        for (const Rect& r : {w.gauge1, w.gauge2, w.panel1, w.panel2, w.panel3}) {
            EXPECT_LE(r.x + r.width, w.clientWidth);
            EXPECT_LE(r.y + r.height, w.clientHeight);
        }
    }
    EXPECT_EQ(Vzhled(LayoutKind::Basic).map, (Rect{3, 4, 796, 617}));
}

TEST(Vzhled, StoredViewValues)
{
    EXPECT_EQ(LayoutFromView(0), LayoutKind::Basic);
    EXPECT_EQ(LayoutFromView(1), LayoutKind::CompactH);
    EXPECT_EQ(LayoutFromView(2), LayoutKind::CompactV);
    EXPECT_EQ(LayoutFromView(3), std::nullopt);
    EXPECT_EQ(LayoutFromView(-1), std::nullopt);
}

}  // namespace
}  // namespace vantora
