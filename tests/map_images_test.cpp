// The two map bitmaps compiled into the program: size and depth, and that the Europe map's
// land and sea lie where its longitude/latitude calibration puts them, so the beam drawn from
// the home pixel starts at the right place on the map.
#include <QFile>
#include <QImage>
#include <QPoint>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

// Resources of a static library are linked only when something asks for them by name.
static void initMapResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace vantora {
namespace {

// The sea tint the generator paints (tools/mapgen). A point counts as sea only when its pixel
// has exactly this colour, so a coast, a label or a grid line is never taken for open water.
constexpr QRgb kSea = qRgb(172, 206, 228);
constexpr QRgb kWhite = qRgb(255, 255, 255);

// The local map: centred on pixel (468, 468), azimuthal equidistant at 0.45 km per pixel.
constexpr double kLocalCentre = 468.5;  // centre of pixel 468
constexpr double kLocalKmPerPixel = 0.45;

QImage loadMap(const QString &path)
{
    initMapResources();
    return QImage(path);
}

// Europe map pixel of a geographic point: pixel (1143, 594) is 12.0932 E, 51.05693 N;
// 1955 pixels per 52.3567 degrees of longitude, 1760 per 33.2407 degrees of latitude.
QPoint europePixel(double lon, double lat)
{
    const double x = 1143 + (lon - 12.0932) / (52.3567 / 1955);
    const double y = 594 + (51.05693 - lat) / (33.2407 / 1760);
    return {int(std::nearbyint(x)), int(std::nearbyint(y))};
}

QPoint localPixel(double bearingDeg, double radiusPx)
{
    const double a = bearingDeg * std::numbers::pi / 180.0;
    return {int(std::floor(kLocalCentre + radiusPx * std::sin(a))),
            int(std::floor(kLocalCentre - radiusPx * std::cos(a)))};
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// Most frequent colour around a point: a country's tint even where a name crosses it.
QRgb dominantColour(const QImage &img, QPoint at, int half = 6)
{
    std::map<QRgb, int> counts;
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx)
            ++counts[img.pixel(at.x() + dx, at.y() + dy) & 0xffffffu];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto &a, const auto &b) { return a.second < b.second; })
        ->first;
}

struct MapFile {
    const char *resource;
    int width;
    int height;
};

class MapFileTest : public ::testing::TestWithParam<MapFile> {};

TEST_P(MapFileTest, HasItsSizeAnd24BitsWithoutAlpha)
{
    const MapFile m = GetParam();
    const QImage img = loadMap(m.resource);
    ASSERT_FALSE(img.isNull()) << m.resource;
    EXPECT_EQ(img.width(), m.width);
    EXPECT_EQ(img.height(), m.height);
    EXPECT_FALSE(img.hasAlphaChannel());

    // The stored PNG itself is 8-bit truecolour: IHDR bit depth 8, colour type 2 (RGB).
    QFile f(m.resource);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(26);
    ASSERT_EQ(head.size(), 26);
    EXPECT_EQ(head.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(head.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(int(uchar(head[24])), 8) << "bit depth";
    EXPECT_EQ(int(uchar(head[25])), 2) << "colour type";
}

INSTANTIATE_TEST_SUITE_P(Maps, MapFileTest,
                         ::testing::Values(MapFile{":/maps/zoom_0.png", 2000, 1461},
                                           MapFile{":/maps/tarrinmapa.png", 1266, 933}));

struct GeoPoint {
    const char *name;
    double lon;
    double lat;
    bool sea;
};

// Pairs sit three or four map pixels (about 3 km each) either side of a coast that faces
// west, east, north or south, so a calibration off by four pixels in either direction of
// either axis moves one of them across the coast.
const GeoPoint kEuropePoints[] = {
    {"Prague", 14.42, 50.08, false},
    {"Bay of Biscay", -5.0, 45.0, true},
    {"Galicia inland of Cape Finisterre", -9.10, 42.95, false},
    {"off Cape Finisterre", -9.39, 42.95, true},
    {"Cornwall east of Land's End", -5.63, 50.10, false},
    {"off Land's End", -5.80, 50.10, true},
    {"Holland inland of The Hague", 4.37, 52.10, false},
    {"North Sea off The Hague", 4.10, 52.10, true},
    {"Romagna inland of Rimini", 12.59, 44.00, false},
    {"Adriatic off Rimini", 13.00, 44.00, true},
    {"Bulgaria inland of Varna", 27.89, 43.20, false},
    {"Black Sea off Varna", 28.12, 43.20, true},
    {"Cantabria", -4.0, 43.41, false},
    {"Cantabrian Sea", -4.0, 43.54, true},
    {"Pomerania", 17.0, 54.57, false},
    {"Baltic off Pomerania", 17.0, 54.74, true},
    {"south shore of the Gulf of Riga", 24.0, 56.98, false},
    {"Gulf of Riga", 24.0, 57.14, true},
    {"Languedoc", 3.5, 43.35, false},
    {"Gulf of Lion", 3.5, 43.20, true},
    {"Finland east of Helsinki", 25.3, 60.28, false},
    {"Gulf of Finland", 25.3, 60.16, true},
};

TEST(EuropeMap, LandAndSeaSitWhereTheCalibrationPutsThem)
{
    const QImage img = loadMap(":/maps/zoom_0.png");
    ASSERT_FALSE(img.isNull());
    for (const GeoPoint &p : kEuropePoints) {
        const QPoint px = europePixel(p.lon, p.lat);
        ASSERT_TRUE(img.rect().contains(px)) << p.name;
        const QRgb c = img.pixel(px) & 0xffffffu;
        if (p.sea)
            EXPECT_EQ(c, kSea & 0xffffffu) << p.name << " at " << px.x() << "," << px.y();
        else
            EXPECT_NE(c, kSea & 0xffffffu) << p.name << " at " << px.x() << "," << px.y();
    }
}

TEST(EuropeMap, NeighbouringCountriesHaveDifferentTints)
{
    const QImage img = loadMap(":/maps/zoom_0.png");
    ASSERT_FALSE(img.isNull());
    const std::map<std::string, QPoint> inside = {
        {"Czechia", europePixel(15.6, 49.6)},   {"Germany", europePixel(10.0, 51.0)},
        {"Poland", europePixel(19.5, 52.0)},    {"Austria", europePixel(14.5, 47.5)},
        {"Slovakia", europePixel(19.5, 48.7)},  {"Hungary", europePixel(19.0, 47.0)},
        {"France", europePixel(2.5, 46.5)},     {"Spain", europePixel(-3.7, 40.4)},
        {"Portugal", europePixel(-8.0, 39.7)},  {"Italy", europePixel(12.5, 42.8)},
        {"Switzerland", europePixel(8.2, 46.8)}, {"Ukraine", europePixel(31.0, 49.0)},
        {"Romania", europePixel(25.0, 45.8)},   {"Belarus", europePixel(28.0, 53.5)},
        {"Norway", europePixel(9.5, 60.5)},     {"Sweden", europePixel(15.0, 60.0)},
    };
    const std::pair<const char *, const char *> neighbours[] = {
        {"Czechia", "Germany"}, {"Czechia", "Poland"},     {"Czechia", "Austria"},
        {"Czechia", "Slovakia"}, {"Slovakia", "Hungary"},  {"Slovakia", "Poland"},
        {"Austria", "Hungary"}, {"Germany", "Poland"},     {"Germany", "France"},
        {"France", "Spain"},    {"Spain", "Portugal"},     {"France", "Italy"},
        {"Switzerland", "Italy"}, {"Switzerland", "Germany"}, {"Ukraine", "Poland"},
        {"Ukraine", "Romania"}, {"Belarus", "Ukraine"},    {"Norway", "Sweden"},
    };
    for (const auto &[a, b] : neighbours) {
        const QRgb ca = dominantColour(img, inside.at(a));
        const QRgb cb = dominantColour(img, inside.at(b));
        EXPECT_NE(ca, kSea & 0xffffffu) << a;
        EXPECT_NE(cb, kSea & 0xffffffu) << b;
        EXPECT_NE(ca, cb) << a << " and " << b;
    }
}

TEST(EuropeMap, HasNoPureWhiteForTheProgramsFloodFill)
{
    // The program widens this bitmap with white and flood-fills white from outside it; a
    // white pixel on the map that touches the right edge would be repainted.
    const QImage img = loadMap(":/maps/zoom_0.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    int white = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            white += (img.pixel(x, y) & 0xffffffu) == (kWhite & 0xffffffu);
    EXPECT_EQ(white, 0);
}

TEST(LocalMap, CentreIsLand)
{
    const QImage img = loadMap(":/maps/tarrinmapa.png");
    ASSERT_FALSE(img.isNull());
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QRgb c = img.pixel(468 + dx, 468 + dy) & 0xffffffu;
            EXPECT_NE(c, kSea & 0xffffffu) << dx << "," << dy;
            EXPECT_NE(c, kWhite & 0xffffffu) << dx << "," << dy;
        }
}

TEST(LocalMap, FiftyKilometreRingCrossesPlainLand)
{
    const QImage img = loadMap(":/maps/tarrinmapa.png");
    ASSERT_FALSE(img.isNull());
    const double ring = 50.0 / kLocalKmPerPixel;
    // Two bearings between the bearing lines, one over each of the two countries near home.
    for (const double bearing : {55.0, 245.0}) {
        const QRgb inner = img.pixel(localPixel(bearing, ring - 8));
        const QRgb outer = img.pixel(localPixel(bearing, ring + 8));
        ASSERT_EQ(inner, outer) << "plain land either side of the ring at " << bearing;
        int strongest = 0;
        for (double d = -1; d <= 1; d += 1)
            strongest = std::max(strongest,
                                 channelDistance(img.pixel(localPixel(bearing, ring + d)), inner));
        EXPECT_GT(strongest, 30) << "no ring at 50 km, bearing " << bearing;
    }
}

int pixelsOffTheSide(const QImage &img, double bearing)
{
    // Along the radial from 40 to 90 pixels, how many pixels differ from the one 5 pixels to
    // the side of them.
    const double a = bearing * std::numbers::pi / 180.0;
    int count = 0;
    for (int r = 40; r <= 90; ++r) {
        const QPoint on = localPixel(bearing, r);
        const QPoint side(int(std::floor(kLocalCentre + r * std::sin(a) + 5 * std::cos(a))),
                          int(std::floor(kLocalCentre - r * std::cos(a) + 5 * std::sin(a))));
        if (channelDistance(img.pixel(on), img.pixel(side)) > 25)
            ++count;
    }
    return count;
}

TEST(LocalMap, BearingLinesRunEveryThirtyDegreesFromTheCentre)
{
    const QImage img = loadMap(":/maps/tarrinmapa.png");
    ASSERT_FALSE(img.isNull());
    // Dashed lines cover about 60 % of their length.
    for (int bearing = 0; bearing < 360; bearing += 30)
        EXPECT_GE(pixelsOffTheSide(img, bearing), 20) << "no line at " << bearing;
    // Halfway between lines the land is plain: the lines are not turned.
    for (const int bearing : {15, 45, 195, 225})
        EXPECT_LE(pixelsOffTheSide(img, bearing), 4) << "unexpected line at " << bearing;
}

}  // namespace
}  // namespace vantora
