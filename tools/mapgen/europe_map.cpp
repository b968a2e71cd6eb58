#include "map_scene.h"
#include "maps.h"

#include <QPainter>

#include <cmath>

namespace mapgen {

namespace {

const QSize kEuropeSize(2000, 1461);
// Longitudes and latitudes that reach well past the image on every side.
const QRectF kEuropeGeoBox(QPointF(-45, 20), QPointF(65, 80));

const QString kLabelFamily = QStringLiteral("DejaVu Sans Condensed");
const QString kSeaFamily = QStringLiteral("DejaVu Serif");

struct SeaName {
    const char *text;
    double lon;
    double lat;
    double pixelSize;
    double spacing;
};

// Anchors in open water; each name settles at the free spot nearest its anchor.
const SeaName kSeas[] = {
    {"Atlantic Ocean", -13.5, 47.0, 16, 3.0},
    {"North Sea", 3.0, 56.0, 14, 2.0},
    {"Norwegian Sea", -1.0, 61.4, 13, 1.5},
    {"Baltic Sea", 18.2, 55.5, 13, 1.5},
    {"Bay of Biscay", -4.0, 46.4, 12, 1.0},
    {"Celtic Sea", -7.8, 50.6, 12, 1.0},
    {"Mediterranean Sea", 5.5, 38.6, 14, 2.0},
    {"Tyrrhenian Sea", 12.0, 39.7, 12, 1.0},
    {"Adriatic Sea", 15.2, 42.9, 12, 1.0},
    {"Ionian Sea", 18.8, 37.4, 13, 1.5},
    {"Aegean Sea", 25.0, 39.3, 12, 1.0},
    {"Black Sea", 32.0, 43.3, 15, 2.5},
    {"Gulf of Bothnia", 20.0, 61.2, 12, 1.0},
};

// Country names that fit only shortened or are better known in another form.
QString displayName(const QString &dataName)
{
    if (dataName == "Bosnia and Herz.")
        return QStringLiteral("Bosnia and Herzegovina");
    if (dataName == "Macedonia")
        return QStringLiteral("North Macedonia");
    if (dataName == "Faeroe Is.")
        return QStringLiteral("Faroe Islands");
    return dataName;
}

QString degreeText(int value, char positive, char negative)
{
    if (value == 0)
        return QStringLiteral("0°");
    return QStringLiteral("%1°%2").arg(std::abs(value)).arg(QChar(value > 0 ? positive : negative));
}

void paintGraticule(QPainter &p, const Projection &proj)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(look::kGraticule, 1));
    // Lines on whole pixels, so each is one crisp pixel wide.
    for (int lon = -10; lon <= 30; lon += 10) {
        const double x = std::floor(proj.project(lon, 0).x());
        p.drawLine(QPointF(x, 0), QPointF(x, kEuropeSize.height()));
    }
    for (int lat = 40; lat <= 60; lat += 10) {
        const double y = std::floor(proj.project(0, lat).y());
        p.drawLine(QPointF(0, y), QPointF(kEuropeSize.width(), y));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
}

QColor groundAt(const MapScene &scene, QPointF at)
{
    const int c = scene.countryAt(int(at.x()), int(at.y()));
    return c >= 0 ? scene.landColour(c) : look::kSea;
}

void paintGraticuleLabels(QPainter &p, const MapScene &scene, std::vector<QRectF> *used)
{
    const Projection &proj = scene.projection();
    const QFont font = makeFont(kLabelFamily, 11, 0.5);
    const QColor text = look::kSeaText;
    auto place = [&](const QString &s, QPointF centre) {
        const QPainterPath path = textPath({s}, font);
        drawText(p, path, centre, text, groundAt(scene, centre), 3.0);
        used->push_back(path.boundingRect().translated(centre).adjusted(-3, -3, 3, 3));
    };
    for (int lon = -10; lon <= 30; lon += 10) {
        const QString s = degreeText(lon, 'E', 'W');
        const double x = std::floor(proj.project(lon, 0).x()) + 0.5;
        const double half = QFontMetricsF(font).horizontalAdvance(s) / 2 + 5;
        place(s, QPointF(x + half, 10));
        place(s, QPointF(x + half, kEuropeSize.height() - 10));
    }
    for (int lat = 40; lat <= 60; lat += 10) {
        const QString s = degreeText(lat, 'N', 'S');
        const double y = std::floor(proj.project(0, lat).y()) + 0.5;
        const double half = QFontMetricsF(font).horizontalAdvance(s) / 2 + 4;
        place(s, QPointF(half, y - 9));
        place(s, QPointF(kEuropeSize.width() - half, y - 9));
    }
}

void paintCountryNames(QPainter &p, const MapScene &scene, const std::vector<QRectF> &blocked)
{
    struct Size {
        double pixels;
        double spacing;
    };
    const Size sizes[] = {{17, 2.5}, {15, 2.0}, {13, 1.5}, {12, 1.0}, {11, 0.6}, {10, 0.3}};
    for (int c = 0; c < scene.countryCount(); ++c) {
        if (!scene.visible(c))
            continue;
        const QString name = displayName(scene.name(c)).toUpper();
        const FitMask mask = scene.maskOf(c, blocked, 6);
        const QRectF bounds = scene.path(c).boundingRect().intersected(
            QRectF(QPointF(0, 0), QSizeF(kEuropeSize)));
        const auto preferred = mask.centroid(bounds.toAlignedRect());
        if (!preferred)
            continue;
        bool placed = false;
        for (const Size &s : sizes) {
            const QFont font = makeFont(kLabelFamily, s.pixels, s.spacing, false, QFont::Bold);
            std::vector<QStringList> layouts{{name}};
            if (const QStringList two = twoLines(name); !two.isEmpty())
                layouts.push_back(two);
            for (const QStringList &lines : layouts) {
                const QPainterPath path = textPath(lines, font, 0.95);
                const QSize box = path.boundingRect().size().toSize() + QSize(2, 2);
                const auto at = mask.place(box, bounds.toAlignedRect(), 2, 8, *preferred);
                if (!at)
                    continue;
                QColor text = look::kCountryText;
                text.setAlpha(175);
                drawText(p, path, at->centre, text, scene.landColour(c), 2.5);
                placed = true;
                break;
            }
            if (placed)
                break;
        }
    }
}

void paintSeaNames(QPainter &p, const MapScene &scene, std::vector<QRectF> *used)
{
    const FitMask sea = scene.maskOf(-1, *used, 4);
    for (const SeaName &s : kSeas) {
        const QPointF anchor = scene.projection().project(s.lon, s.lat);
        const QRect area = QRectF(anchor - QPointF(70, 50), QSizeF(140, 100)).toAlignedRect();
        for (double size = s.pixelSize; size >= 10; size -= 1) {
            const QFont font = makeFont(kSeaFamily, size, s.spacing, true);
            const QString text = QString::fromUtf8(s.text);
            std::vector<QStringList> layouts{{text}};
            if (const QStringList two = twoLines(text); !two.isEmpty())
                layouts.push_back(two);
            bool placed = false;
            for (const QStringList &lines : layouts) {
                const QPainterPath path = textPath(lines, font, 0.95);
                const QSize box = path.boundingRect().size().toSize() + QSize(2, 2);
                const auto at = sea.place(box, area, 3, 3, anchor);
                if (!at)
                    continue;
                drawText(p, path, at->centre, look::kSeaText, look::kSea, 2.5);
                used->push_back(path.boundingRect().translated(at->centre));
                placed = true;
                break;
            }
            if (placed)
                break;
        }
    }
}

}  // namespace

QImage renderEurope(const Topology &topo, std::vector<int> *tints)
{
    const EuropeProjection proj;
    MapScene scene(topo, proj, kEuropeSize, kEuropeGeoBox);
    scene.colourCountries();
    tints->assign(scene.countryCount(), -1);
    for (int c = 0; c < scene.countryCount(); ++c)
        if (scene.visible(c))
            (*tints)[c] = scene.tint(c);

    QImage image(kEuropeSize, QImage::Format_RGB32);
    image.fill(look::kSea);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    paintGraticule(p, proj);
    scene.paintBase(p, 0.9, 0.9);

    std::vector<QRectF> used;
    paintGraticuleLabels(p, scene, &used);
    paintSeaNames(p, scene, &used);
    paintCountryNames(p, scene, used);
    p.end();
    return image;
}

}  // namespace mapgen
