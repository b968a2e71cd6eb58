#include "topology.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace mapgen {

namespace {

ArcRing readRing(const QJsonArray &a)
{
    ArcRing r;
    r.reserve(a.size());
    for (const QJsonValue &v : a)
        r.push_back(v.toInt());
    return r;
}

ArcPolygon readPolygon(const QJsonArray &a)
{
    ArcPolygon p;
    for (const QJsonValue &v : a)
        p.push_back(readRing(v.toArray()));
    return p;
}

}  // namespace

bool Topology::load(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (doc.isNull()) {
        *error = QStringLiteral("%1: %2").arg(path, pe.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    const QJsonObject transform = root.value("transform").toObject();
    const QJsonArray scale = transform.value("scale").toArray();
    const QJsonArray translate = transform.value("translate").toArray();
    const bool quantized = scale.size() == 2 && translate.size() == 2;
    const double sx = quantized ? scale[0].toDouble() : 1.0;
    const double sy = quantized ? scale[1].toDouble() : 1.0;
    const double tx = quantized ? translate[0].toDouble() : 0.0;
    const double ty = quantized ? translate[1].toDouble() : 0.0;

    // Quantized arcs are delta-encoded integers: each position after the first is an offset
    // from the previous one, and the transform maps the running sum to degrees.
    m_arcs.clear();
    for (const QJsonValue &arcValue : root.value("arcs").toArray()) {
        Ring arc;
        const QJsonArray positions = arcValue.toArray();
        arc.reserve(positions.size());
        double qx = 0, qy = 0;
        for (const QJsonValue &posValue : positions) {
            const QJsonArray pos = posValue.toArray();
            if (quantized) {
                qx += pos[0].toDouble();
                qy += pos[1].toDouble();
                arc.emplace_back(qx * sx + tx, qy * sy + ty);
            } else {
                arc.emplace_back(pos[0].toDouble(), pos[1].toDouble());
            }
        }
        m_arcs.push_back(std::move(arc));
    }

    m_countries.clear();
    const QJsonObject countries = root.value("objects").toObject().value("countries").toObject();
    for (const QJsonValue &gv : countries.value("geometries").toArray()) {
        const QJsonObject g = gv.toObject();
        Country c;
        c.name = g.value("properties").toObject().value("name").toString();
        c.id = g.value("id").toString();
        const QString type = g.value("type").toString();
        if (type == "Polygon") {
            c.polygons.push_back(readPolygon(g.value("arcs").toArray()));
        } else if (type == "MultiPolygon") {
            for (const QJsonValue &pv : g.value("arcs").toArray())
                c.polygons.push_back(readPolygon(pv.toArray()));
        } else {
            continue;
        }
        m_countries.push_back(std::move(c));
    }
    if (m_arcs.empty() || m_countries.empty()) {
        *error = QStringLiteral("%1: no countries object with arcs").arg(path);
        return false;
    }
    for (const Country &c : m_countries)
        for (const ArcPolygon &p : c.polygons)
            for (const ArcRing &r : p)
                for (int ref : r) {
                    const int i = ref >= 0 ? ref : ~ref;
                    if (i >= int(m_arcs.size())) {
                        *error = QStringLiteral("%1: arc %2 out of range").arg(path).arg(i);
                        return false;
                    }
                }
    return true;
}

Ring Topology::ring(const ArcRing &refs) const
{
    Ring out;
    for (int ref : refs) {
        const Ring &arc = m_arcs[ref >= 0 ? ref : ~ref];
        const std::size_t n = arc.size();
        for (std::size_t k = 0; k < n; ++k) {
            if (k == 0 && !out.empty())
                continue;
            out.push_back(ref >= 0 ? arc[k] : arc[n - 1 - k]);
        }
    }
    return out;
}

int Topology::findCountry(const QString &name) const
{
    for (std::size_t i = 0; i < m_countries.size(); ++i)
        if (m_countries[i].name == name)
            return int(i);
    return -1;
}

void Topology::movePolygons(const QString &from, const QString &to, QPointF inside)
{
    const int a = findCountry(from);
    const int b = findCountry(to);
    if (a < 0 || b < 0)
        return;
    auto &src = m_countries[a].polygons;
    for (auto it = src.begin(); it != src.end();) {
        if (!it->empty() && ringContains(ring(it->front()), inside)) {
            m_countries[b].polygons.push_back(std::move(*it));
            it = src.erase(it);
        } else {
            ++it;
        }
    }
}

void Topology::mergeInto(const QString &from, const QString &to)
{
    const int a = findCountry(from);
    const int b = findCountry(to);
    if (a < 0 || b < 0 || a == b)
        return;
    for (ArcPolygon &p : m_countries[a].polygons)
        m_countries[b].polygons.push_back(std::move(p));
    m_countries.erase(m_countries.begin() + a);
}

std::vector<std::vector<int>> Topology::arcUsers() const
{
    std::vector<std::vector<int>> users(m_arcs.size());
    for (std::size_t c = 0; c < m_countries.size(); ++c)
        for (const ArcPolygon &p : m_countries[c].polygons)
            for (const ArcRing &r : p)
                for (int ref : r)
                    users[ref >= 0 ? ref : ~ref].push_back(int(c));
    return users;
}

bool ringContains(const Ring &ring, QPointF p)
{
    bool inside = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const QPointF &a = ring[i];
        const QPointF &b = ring[j];
        if ((a.y() > p.y()) != (b.y() > p.y())
            && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

}  // namespace mapgen
