// Makes the world outline compiled into the program for its world map, from Natural Earth
// 1:110m countries (public domain) as packaged in TopoJSON by the npm package world-atlas.
//
//   worldgen <countries-110m.json> <output file>
//
// The file keeps the topology (shared arcs), so that the program tells coasts from borders and
// neighbours from each other without matching coordinates. Layout, all integers little-endian:
//
//   "VWO1"
//   u32 arc count, then per arc: u32 point count, then per point i16 longitude and i16
//       latitude in hundredths of a degree
//   u32 country count, then per country: u32 polygon count, per polygon u32 ring count
//       (outline first, then holes), per ring u32 reference count and the references as i32
//       (i is arc i as stored, ~i arc i reversed)

#include "boundaries.h"
#include "topology.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdio>

using namespace mapgen;

namespace {

void putU32(QByteArray &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

void putI16(QByteArray &out, int v)
{
    const auto u = std::uint16_t(std::int16_t(v));
    out.append(char(u & 0xFF));
    out.append(char(u >> 8));
}

int centidegrees(double degrees)
{
    return int(std::lround(degrees * 100.0));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: worldgen <countries-110m.json> <output file>\n");
        return 2;
    }
    Topology topo;
    QString error;
    if (!topo.load(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "worldgen: %s\n", qPrintable(error));
        return 1;
    }
    adjustBoundaries(topo);

    QByteArray out("VWO1");
    putU32(out, std::uint32_t(topo.arcs().size()));
    std::size_t points = 0;
    for (const Ring &arc : topo.arcs()) {
        putU32(out, std::uint32_t(arc.size()));
        for (const QPointF &p : arc) {
            putI16(out, centidegrees(p.x()));
            putI16(out, centidegrees(p.y()));
        }
        points += arc.size();
    }
    putU32(out, std::uint32_t(topo.countries().size()));
    for (const Country &c : topo.countries()) {
        putU32(out, std::uint32_t(c.polygons.size()));
        for (const ArcPolygon &polygon : c.polygons) {
            putU32(out, std::uint32_t(polygon.size()));
            for (const ArcRing &ring : polygon) {
                putU32(out, std::uint32_t(ring.size()));
                for (int ref : ring)
                    putU32(out, std::uint32_t(ref));
            }
        }
    }

    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "worldgen: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %zu arcs, %zu points, %zu countries, %lld bytes\n", argv[2],
                topo.arcs().size(), points, topo.countries().size(), (long long)out.size());
    return 0;
}
