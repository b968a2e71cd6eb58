// The map view: home pixel and zoom arithmetic, the widened Europe image, and the views painted
// into the map gauge's background layer with the beam line drawn over them.
#include "geo/flood_fill.h"
#include "geo/locator.h"
#include "geo/map_view.h"
#include "geo/ui/map_image_source.h"
#include "geo/ui/map_view.h"
#include "geo/ui/png_rows.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace vantora {
namespace {

TEST(MapGeometry, HomePixelOfTheDefaultLocatorAndTheReference)
{
    EXPECT_EQ(HomePix({17.916667, 49.958333}), (MapPixel{1360, 652}));
    EXPECT_EQ(HomePix(VypLoc(kDefaultHomeLocator)), (MapPixel{1360, 652}));
    EXPECT_EQ(HomePix({12.0932, 51.05693}), (MapPixel{1143, 594}));
    // One degree east and north of the reference: 37.33 and 52.95 pixels.
    EXPECT_EQ(HomePix({13.0932, 52.05693}), (MapPixel{1180, 541}));
    // West and south of the map's corner: outside the image, still exact.
    EXPECT_EQ(HomePix({-20.0, 30.0}), (MapPixel{-55, 1709}));
}

TEST(MapGeometry, EuropeSourceWidensInTheWidgetsAspect)
{
    struct Case {
        int zoom;
        int a, b;
    };
    // The first layout's 796 x 617 widget.
    const Case cases[] = {
        {100, 0, 0}, {80, 100, 77}, {60, 200, 155}, {40, 300, 232}, {20, 400, 310}, {0, 500, 387},
        {50, 250, 193},  // a stored state of 5
    };
    const MapPixel home{1360, 652};
    for (const Case& c : cases) {
        EXPECT_EQ(EuropeWidening(c.zoom), c.a) << c.zoom;
        EXPECT_EQ(EuropeHeightening(c.zoom, 796, 617), c.b) << c.zoom;
        EXPECT_EQ(EuropeSource(home, c.zoom, 796, 617),
                  (MapRect{962 - c.a, 344 - c.b, 1758 + c.a, 960 + c.b}))
            << c.zoom;
    }
    // Odd sizes use integer halves: 2 x (W/2) wide, centred on the home pixel.
    EXPECT_EQ(EuropeSource(home, 100, 797, 618), (MapRect{962, 343, 1758, 961}));
    // Absurd stored zooms do not overflow.
    EXPECT_EQ(EuropeWidening(INT_MIN), (100 - kMinZoomValue) * 5);
}

TEST(MapGeometry, VisiblePartIsTheSourceCutToTheImage)
{
    struct Case {
        MapRect source;
        MapRect part;
    };
    const Case cases[] = {
        {{962, 344, 1758, 960}, {962, 344, 1758, 960}},       // wholly inside
        {{1876, 265, 3672, 1039}, {1876, 265, 3000, 1039}},   // past the east edge
        {{-500, -387, 1296, 1005}, {0, 0, 1296, 1005}},       // past the west and north edges
        {{2500, 1000, 3500, 2000}, {2500, 1000, 3000, 1461}}, // the south-east corner
        {{3100, 10, 3900, 600}, {}},                          // wholly east of the image
        {{-900, 10, -10, 600}, {}},                           // wholly west
    };
    for (const Case& c : cases)
        EXPECT_EQ(VisiblePart(c.source, 3000, 1461), c.part) << c.source.left << "," << c.source.top;
}

TEST(MapGeometry, LocalViewsIgnoreTheHome)
{
    EXPECT_EQ(LocalSource(110, 796, 617), (MapRect{70, 160, 866, 776}));
    EXPECT_EQ(LocalSource(120, 796, 617), (MapRect{30, 120, 906, 816}));
    EXPECT_EQ(LocalSource(115, 796, 617), LocalSource(120, 796, 617));
    EXPECT_TRUE(IsLocalZoom(110));
    EXPECT_FALSE(IsLocalZoom(109));
}

TEST(MapGeometry, MenuItemsMatchTheirZoomStates)
{
    const char* captions[] = {"100%", "80%", "60%", "40%", "20%", "0%", "Tarrin-1", "Tarrin-2", "World"};
    const int states[] = {10, 8, 6, 4, 2, 0, 11, 12, 13};
    ASSERT_EQ(kMapZoomItems.size(), std::size(states));
    for (std::size_t i = 0; i < kMapZoomItems.size(); ++i) {
        const MapZoomItem& item = kMapZoomItems[i];
        EXPECT_EQ(item.caption, captions[i]);
        EXPECT_EQ(item.zoomState, states[i]);
        EXPECT_EQ(ZoomState(item.zoomValue), item.zoomState) << item.caption;
        EXPECT_EQ(item.zoomValue, item.zoomState * 10);
        EXPECT_EQ(MapZoomItemForState(item.zoomState), static_cast<int>(i));
    }
    for (int unknown : {5, 1, 14, -1, 100}) EXPECT_EQ(MapZoomItemForState(unknown), -1) << unknown;
    // Only state 13 is the world; stored states above it keep showing the second local view.
    EXPECT_TRUE(IsWorldZoom(130));
    for (int other : {120, 129, 140, 100}) EXPECT_FALSE(IsWorldZoom(other)) << other;
    EXPECT_EQ(ZoomState(50), 5);
    EXPECT_EQ(ZoomState(119), 11);
}

// Pixel buffer helpers for the fill tests: '#' is a wall, '.' the target colour.
struct Grid {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

constexpr std::uint32_t kWall = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kFill = 0xFF112233;

Grid MakeGrid(const std::vector<std::string>& rows)
{
    Grid g{static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
    for (const std::string& row : rows)
        for (char c : row) g.pixels.push_back(c == '#' ? kWall : kWhite);
    return g;
}

std::vector<std::string> Render(const Grid& g)
{
    std::vector<std::string> rows;
    for (int y = 0; y < g.height; ++y) {
        std::string row;
        for (int x = 0; x < g.width; ++x) {
            const std::uint32_t p = g.pixels[static_cast<std::size_t>(y * g.width + x)];
            row += p == kWall ? '#' : p == kFill ? 'o' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(FloodFill, FillsTheFourConnectedRegionOnly)
{
    struct Case {
        const char* name;
        std::vector<std::string> in;
        int x, y;
        std::vector<std::string> out;
    };
    const std::vector<Case> cases = {
        {"around a wall and back up a pocket",
         {"..#....", ".##.##.", "....#..", "#####.."}, 0, 0,
         {"oo#oooo", "o##o##o", "oooo#oo", "#####oo"}},
        {"diagonal neighbours are not connected",
         {".#...", "#....", "....."}, 0, 0,
         {"o#...", "#....", "....."}},
        {"seed on a wall does nothing", {"#..", "..."}, 0, 0, {"#..", "..."}},
        {"seed outside does nothing", {"..."}, 5, 0, {"..."}},
    };
    for (const Case& c : cases) {
        Grid g = MakeGrid(c.in);
        FloodFillSurface(g.pixels.data(), g.width, g.height, static_cast<std::size_t>(g.width), c.x, c.y,
                         0xFFFFFF, 0x112233);
        EXPECT_EQ(Render(g), c.out) << c.name;
    }
}

TEST(FloodFill, LargeMazeNeedsNoRecursion)
{
    // A serpentine corridor through a 3000 x 1461 image: one long path, one pixel wide.
    const int w = 3000, h = 1461;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h, kWhite);
    std::size_t walls = 0;
    for (int y = 1; y < h; y += 2) {
        const int gap = (y / 2) % 2 == 0 ? w - 1 : 0;
        for (int x = 0; x < w; ++x) {
            if (x == gap) continue;
            pixels[static_cast<std::size_t>(y) * w + x] = kWall;
            ++walls;
        }
    }
    const std::size_t filled = FloodFillSurface(pixels.data(), w, h, w, 0, 0, 0xFFFFFF, 0x112233);
    EXPECT_EQ(filled, pixels.size() - walls);
    EXPECT_EQ(pixels.back() & 0xFFFFFF, 0x112233u);
    // Filling with the target colour itself changes nothing.
    EXPECT_EQ(FloodFillSurface(pixels.data(), w, h, w, 0, 0, 0x112233, 0x112233), 0u);
}

const QColor kBackground(192, 220, 192);
const QColor kSea(20, 60, 200);

// Each pixel tells where it came from: red and green the low bytes of x and y, blue their high
// bits. Nothing in it is white.
QImage CoordinateImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 3) | (y >> 8) | 0x80);
    }
    return image;
}

QPoint SourceOf(const QColor& c)
{
    const int blue = c.blue() & 0x7F;
    return {((blue >> 3) << 8) | c.red(), ((blue & 0x07) << 8) | c.green()};
}

QImage PlainLocal(const QColor& colour)
{
    QImage image(1266, 933, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

TEST(MapImage, WidenedStripAndConnectedWhiteTakeTheBackground)
{
    QImage europe(2000, 1461, QImage::Format_RGB888);
    europe.fill(kSea);
    QPainter painter(&europe);
    painter.fillRect(QRect(1900, 100, 100, 50), Qt::white);  // touches the east edge
    painter.fillRect(QRect(500, 500, 40, 40), Qt::white);    // an enclosed white lake
    painter.end();

    const QImage widened = WidenEuropeMap(europe);
    ASSERT_EQ(widened.size(), QSize(3000, 1461));
    EXPECT_EQ(widened.pixelColor(2000, 0), kBackground);
    EXPECT_EQ(widened.pixelColor(2900, 10), kBackground);
    EXPECT_EQ(widened.pixelColor(2999, 1460), kBackground);
    EXPECT_EQ(widened.pixelColor(1950, 120), kBackground);
    EXPECT_EQ(widened.pixelColor(520, 520), QColor(Qt::white));
    EXPECT_EQ(widened.pixelColor(1999, 99), kSea);
    EXPECT_EQ(widened.pixelColor(0, 0), kSea);
}

class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConfigureMapGauge(gauge);
        view.SetImages(CoordinateImage(2000, 1461), PlainLocal(QColor(250, 200, 10)));
        view.HomePix({17.916667, 49.958333});
    }

    // Source pixel shown at a destination pixel of the view, read from the background layer.
    QPoint Shown(int x, int y) { return SourceOf(gauge.backBitmap().pixelColor(x, y)); }

    TA3nalogGauge gauge;
    MapView view{gauge};
};

TEST_F(MapViewTest, FullZoomShowsTheSourceAroundTheHomePixel)
{
    view.SetZoom(100);
    EXPECT_EQ(view.zoomState(), 10);
    // Source (962, 344)..(1758, 960) stretched onto 795 x 616 pixels: about one to one.
    struct Probe {
        int x, y;
    };
    for (const Probe p : {Probe{0, 0}, Probe{100, 50}, Probe{398, 308}, Probe{700, 600}, Probe{794, 615}}) {
        const QPoint src = Shown(p.x, p.y);
        EXPECT_NEAR(src.x(), 962 + p.x * 796.0 / 795.0, 1.0) << p.x;
        EXPECT_NEAR(src.y(), 344 + p.y * 616.0 / 616.0, 1.0) << p.y;
    }
    // The copy's destination ends one pixel short of the right and bottom edges.
    EXPECT_EQ(gauge.backBitmap().pixelColor(795, 100), gauge.faceColor());
    EXPECT_EQ(gauge.backBitmap().pixelColor(100, 616), gauge.faceColor());
}

TEST_F(MapViewTest, EachZoomWidensTheSource)
{
    struct Case {
        int zoom;
        int a, b;
    };
    for (const Case c : {Case{0, 500, 387}, Case{50, 250, 193}, Case{80, 100, 77}}) {
        view.SetZoom(c.zoom);
        EXPECT_EQ(view.zoomState(), c.zoom / 10);
        const double sx = (796.0 + 2 * c.a) / 795.0;
        const double sy = (616.0 + 2 * c.b) / 616.0;
        for (int x : {10, 300, 600}) {
            const QPoint src = Shown(x, 500);
            EXPECT_NEAR(src.x(), 962 - c.a + x * sx, 1.5) << c.zoom << " x " << x;
            EXPECT_NEAR(src.y(), 344 - c.b + 500 * sy, 1.5) << c.zoom;
        }
    }
}

TEST_F(MapViewTest, ViewsBeyondTheImageShowTheBackground)
{
    // Far east: the source reaches past x 3000; the widened strip and beyond are background.
    view.HomePix({45.0, 49.958333});  // x = 2372
    view.SetZoom(0);
    EXPECT_EQ(gauge.backBitmap().pixelColor(780, 300), kBackground);
    EXPECT_EQ(gauge.backBitmap().pixelColor(600, 300), kBackground);  // the strip itself
    // Far west: nothing of the image west of x 0 either.
    view.HomePix({-40.0, 49.958333});
    view.SetZoom(100);
    EXPECT_EQ(gauge.backBitmap().pixelColor(10, 300), kBackground);
}

TEST_F(MapViewTest, CallsignOnEuropeViewsOnly)
{
    view.SetCallsign(QStringLiteral("OK1XYZ"));
    view.SetZoom(100);
    // Text from (373, 288) on the background colour; no map pixel inside its box.
    int background = 0, dark = 0;
    for (int y = 288; y < 299; ++y) {
        for (int x = 373; x < 400; ++x) {
            const QColor c = gauge.backBitmap().pixelColor(x, y);
            if (c == kBackground) ++background;
            if (c.lightness() < 100) ++dark;
        }
    }
    EXPECT_GT(background, 50);
    EXPECT_GT(dark, 10);
    EXPECT_NEAR(Shown(370, 292).x(), 962 + 370, 1);  // left of the text: map
    EXPECT_NEAR(Shown(370, 292).y(), 344 + 292, 1);

    view.SetZoom(110);
    for (int y = 288; y < 299; ++y)
        for (int x = 373; x < 400; ++x)
            ASSERT_EQ(gauge.backBitmap().pixelColor(x, y), QColor(250, 200, 10)) << x << "," << y;
}

TEST(MapGeometry, HomeOnTheEuropeMapIsOnItsPictureOnly)
{
    struct Case {
        MapPixel home;
        bool on;
    };
    const Case cases[] = {
        {{0, 0}, true},     {{1999, 1460}, true}, {{2000, 700}, false}, {{2372, 344}, false},
        {{-1, 700}, false}, {{900, -1}, false},   {{900, 1461}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HomeOnEuropeMap(c.home), c.on) << c.home.x << "," << c.home.y;
}

// A home off the Europe map (here in North America, or east of the picture) would show an empty
// map: each Europe view says so in one line and leaves the zoom alone. The local maps are fixed
// and show no hint, whatever the home.
TEST_F(MapViewTest, HomeOffTheEuropeMapGetsAOneLineHintOnEuropeViews)
{
    view.SetOutsideHint(QStringLiteral("Home is outside this map: View, Map zoom, World"));
    struct Case {
        const char* locator;
        int zoom;
        bool hinted;
    };
    const Case cases[] = {
        {"FN31PR", 100, true},  {"FN31PR", 0, true},    {"LN45AA", 60, true}, {"FN31PR", 110, false},
        {"FN31PR", 120, false}, {"JN89XX", 100, false}, {"JN89XX", 0, false},
    };
    for (const Case& c : cases) {
        view.HomePix(VypLoc(c.locator));
        view.SetZoom(c.zoom);
        EXPECT_EQ(view.zoomState(), c.zoom / 10) << c.locator;
        // The hint's box is white, which neither test picture has; its text is dark.
        int white = 0;
        int dark = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 500; ++x) {
                const QColor colour = gauge.backBitmap().pixelColor(x, y);
                white += colour == QColor(Qt::white);
                dark += colour.lightness() < 80;
            }
        }
        EXPECT_EQ(white > 1000 && dark > 50, c.hinted)
            << c.locator << " zoom " << c.zoom << ": " << white << " white, " << dark << " dark";
    }
}

TEST_F(MapViewTest, LocalViewsAreTheSameWhateverTheHome)
{
    QImage local(1266, 933, QImage::Format_RGB888);
    local.fill(Qt::darkCyan);
    QPainter(&local).fillRect(QRect(460, 460, 17, 17), Qt::yellow);  // around the centre 468
    view.SetImages(CoordinateImage(2000, 1461), local);
    view.SetZoom(110);
    const QImage first = gauge.backBitmap().copy();
    EXPECT_EQ(view.zoomState(), 11);
    EXPECT_EQ(first.pixelColor(398, 308), QColor(Qt::yellow));
    EXPECT_EQ(first.pixelColor(380, 308), QColor(Qt::darkCyan));

    view.HomePix({-5.0, 40.0});
    view.SetZoom(110);
    EXPECT_EQ(gauge.backBitmap(), first);
    view.SetZoom(120);
    EXPECT_EQ(view.zoomState(), 12);
    EXPECT_NE(gauge.backBitmap(), first);  // the second view is wider
}

TEST_F(MapViewTest, PointerMovesKeepTheMapAndFaceRedrawsWipeIt)
{
    view.SetZoom(100);
    const int faces = gauge.faceRedrawCount();
    const QColor mapPixel = gauge.backBitmap().pixelColor(600, 100);
    // North: a purple line up from the centre over the map, red disc at the centre.
    EXPECT_EQ(gauge.faceBitmap().pixelColor(398, 5), QColor(128, 0, 128));
    EXPECT_EQ(gauge.faceBitmap().pixelColor(398, 308), QColor(255, 0, 0));
    EXPECT_EQ(gauge.faceBitmap().pixelColor(600, 100), mapPixel);

    gauge.setPosition(225);  // north-east: the line crosses (600, 106)
    EXPECT_EQ(gauge.faceRedrawCount(), faces);
    EXPECT_EQ(gauge.backBitmap().pixelColor(600, 100), mapPixel);
    EXPECT_EQ(gauge.faceBitmap().pixelColor(398, 5), gauge.backBitmap().pixelColor(398, 5));
    EXPECT_EQ(gauge.faceBitmap().pixelColor(601, 105), QColor(128, 0, 128));
    EXPECT_EQ(gauge.faceBitmap().pixelColor(700, 400), gauge.backBitmap().pixelColor(700, 400));

    gauge.setCenterColor(Qt::green);  // any face change wipes the map
    EXPECT_EQ(gauge.backBitmap().pixelColor(600, 100), gauge.faceColor());
    EXPECT_EQ(gauge.faceBitmap().pixelColor(700, 400), gauge.faceColor());
    view.SetZoom(100);
    EXPECT_EQ(gauge.backBitmap().pixelColor(600, 100), mapPixel);
}

TEST_F(MapViewTest, ResizeRepaintedKeepsTheHomeAtTheCentre)
{
    view.SetZoom(100);
    gauge.resize(600, 400);
    EXPECT_EQ(gauge.backBitmap().pixelColor(300, 100), gauge.faceColor());  // wiped by the resize
    view.SetZoom(100);
    const QPoint centre = Shown(300, 200);
    EXPECT_NEAR(centre.x(), 1360, 1);
    EXPECT_NEAR(centre.y(), 652, 1);
}

// The embedded maps kept compressed and decoded a part at a time paint exactly what the whole
// decoded pictures paint, for views inside, across and beyond the images' edges.
TEST(MapViewResources, PartsPaintWhatTheWholeImagesPaint)
{
    TA3nalogGauge leanGauge;
    TA3nalogGauge wholeGauge;
    ConfigureMapGauge(leanGauge);
    ConfigureMapGauge(wholeGauge);
    MapView lean(leanGauge);
    MapView whole(wholeGauge);
    if (!lean.LoadImages())
        GTEST_SKIP() << "no embedded maps in this build";
    whole.SetImages(QImage(kEuropeMapResource), QImage(kLocalMapResource));

    struct Case {
        GeoPosition home;
        int zoom;
        int width, height;
    };
    const Case cases[] = {
        {{17.916667, 49.958333}, 100, 796, 617}, {{17.916667, 49.958333}, 0, 796, 617},
        {{17.916667, 49.958333}, 60, 1200, 900}, {{40.0, 49.958333}, 0, 796, 617},  // into the strip
        {{45.0, 49.958333}, 20, 700, 500},       {{-40.0, 60.0}, 40, 796, 617},     // west of the image
        {{17.916667, 49.958333}, 110, 796, 617}, {{17.916667, 49.958333}, 120, 300, 200},
        {{120.0, 10.0}, 100, 796, 617},                                               // nothing of the map
    };
    for (const Case& c : cases) {
        for (auto [gauge, view] : {std::pair{&leanGauge, &lean}, std::pair{&wholeGauge, &whole}}) {
            gauge->resize(c.width, c.height);
            view->HomePix(c.home);
            view->SetZoom(c.zoom);
        }
        ASSERT_EQ(leanGauge.backBitmap(), wholeGauge.backBitmap())
            << c.home.longitude << " zoom " << c.zoom << " " << c.width << "x" << c.height;
        // What the lean view holds is the visible part of one image, never more.
        const MapRect source = IsLocalZoom(c.zoom) ? LocalSource(c.zoom, c.width, c.height)
                                                   : EuropeSource(HomePix(c.home), c.zoom, c.width, c.height);
        const MapRect part = IsLocalZoom(c.zoom) ? VisiblePart(source, 1266, 933) : VisiblePart(source, 3000, 1461);
        EXPECT_EQ(lean.shownPart().size(), QSize(part.right - part.left, part.bottom - part.top)) << c.zoom;
    }
}

TEST(MapImageSource, DamagedPngDeliversItsGoodRowsAndTheFillBelow)
{
    QImage picture(200, 300, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x, y % 256, 77));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG", 100));  // uncompressed: a cut loses only later rows

    const MapImageSource intact = MapImageSource::Compressed(png, 210, 0x123456);
    ASSERT_EQ(intact.size(), QSize(210, 300));
    const QImage all = intact.All();
    EXPECT_EQ(all.copy(0, 0, 200, 300), picture);
    EXPECT_EQ(all.pixel(205, 10), qRgb(0x12, 0x34, 0x56));  // the extent beyond the picture
    EXPECT_EQ(intact.Part({10, 5, 20, 8}), picture.copy(10, 5, 10, 3));

    const QByteArray cut = png.left(png.size() * 2 / 3);
    const MapImageSource damaged = MapImageSource::Compressed(cut, 200, 0x123456);
    ASSERT_FALSE(damaged.isNull());  // the header is whole
    int rows = 0;
    EXPECT_FALSE(ForEachPngRow(cut, 0, 300, [&](int, const std::uint32_t*) { ++rows; }));
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 300);
    const QImage partly = damaged.All();
    EXPECT_EQ(partly.copy(0, 0, 200, rows), picture.copy(0, 0, 200, rows));
    EXPECT_EQ(partly.pixel(20, 299), qRgb(0x12, 0x34, 0x56));

    EXPECT_TRUE(MapImageSource::Compressed(QByteArray("not a picture"), 200, 0).isNull());
    EXPECT_TRUE(PngSize(QByteArray()).isEmpty());
}

// Whether any pixel of column `x` of the PNG has the colour `rgb` (alpha ignored).
bool PngColumnHolds(const QByteArray& png, int x, QRgb rgb)
{
    bool found = false;
    ForEachPngRow(png, 0, PngSize(png).height(), [&](int, const std::uint32_t* pixels) {
        found = found || ((pixels[x] ^ rgb) & 0x00FFFFFF) == 0;
    });
    return found;
}

TEST(MapViewResources, EmbeddedImagesLoadAtTheirSizes)
{
    TA3nalogGauge gauge;
    MapView view(gauge);
    const bool loaded = view.LoadImages();
    EXPECT_EQ(loaded, QFile::exists(kEuropeMapResource) && QFile::exists(kLocalMapResource));
    EXPECT_EQ(view.europe().size(), QSize(3000, 1461));
    EXPECT_EQ(view.local().size(), QSize(1266, 933));
    EXPECT_EQ(view.europe().pixelColor(2900, 10), kBackground);
    // Kept compressed, the Europe picture is not flood-filled: that is only the same while no
    // white on its east edge lets the fill in.
    QFile europe(kEuropeMapResource);
    if (europe.open(QIODevice::ReadOnly)) {
        const QByteArray png = europe.readAll();
        const int east = PngSize(png).width() - 1;
        EXPECT_FALSE(PngColumnHolds(png, east, 0xFFFFFF));
        EXPECT_TRUE(PngColumnHolds(png, east, QImage::fromData(png).pixel(east, 700)));  // the check sees the edge
    }
}

}  // namespace
}  // namespace vantora
