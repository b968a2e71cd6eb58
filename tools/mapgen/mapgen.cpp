// Makes the two map bitmaps compiled into the program from Natural Earth 1:10m countries
// (public domain) as packaged in TopoJSON by the npm package world-atlas.
//
//   mapgen <countries-10m.json> <output folder>
//
// writes zoom_0.png (Europe, 2000 x 1461) and tarrinmapa.png (local, 1266 x 933), both 24-bit
// RGB without alpha.

#include "boundaries.h"
#include "maps.h"
#include "topology.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

using namespace mapgen;

namespace {

bool fontsPresent()
{
    const char *families[] = {"DejaVu Sans", "DejaVu Sans Condensed", "DejaVu Serif"};
    bool ok = true;
    for (const char *f : families) {
        if (!QFontDatabase::hasFamily(QString::fromLatin1(f))) {
            std::fprintf(stderr, "mapgen: font family \"%s\" is missing "
                                 "(Debian: fonts-dejavu-core, fonts-dejavu-extra)\n", f);
            ok = false;
        }
    }
    return ok;
}

// A 24-bit image: alpha dropped, and no pure white pixel (the program flood-fills white).
QImage finish(const QImage &painted, int *whitened)
{
    QImage rgb = painted.convertToFormat(QImage::Format_RGB888);
    *whitened = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        uchar *line = rgb.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            uchar *px = line + 3 * x;
            if (px[0] == 255 && px[1] == 255 && px[2] == 255) {
                px[0] = px[1] = px[2] = 254;
                ++*whitened;
            }
        }
    }
    return rgb;
}

bool save(const QImage &painted, const QString &path)
{
    int whitened = 0;
    const QImage rgb = finish(painted, &whitened);
    QImageWriter writer(path, "png");
    writer.setQuality(0);  // smallest file; PNG is lossless whatever the setting
    if (!writer.write(rgb)) {
        std::fprintf(stderr, "mapgen: %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    std::printf("%s: %d x %d%s\n", qPrintable(path), rgb.width(), rgb.height(),
                whitened ? qPrintable(QStringLiteral(" (%1 white pixels dimmed)").arg(whitened))
                         : "");
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mapgen <countries-10m.json> <output folder>\n");
        return 2;
    }
    if (!fontsPresent())
        return 1;
    Topology topo;
    QString error;
    if (!topo.load(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "mapgen: %s\n", qPrintable(error));
        return 1;
    }
    adjustBoundaries(topo);

    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "mapgen: cannot make %s\n", argv[2]);
        return 1;
    }
    std::vector<int> tints;
    const QImage europe = renderEurope(topo, &tints);
    const QImage local = renderLocal(topo, tints);
    if (!save(europe, out.filePath("zoom_0.png")) || !save(local, out.filePath("tarrinmapa.png")))
        return 1;
    return 0;
}
