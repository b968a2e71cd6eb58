#include "geo/world_outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantora {

namespace {

// Counts in the file are bounded so that a damaged count cannot ask for a huge allocation
// before the end of the data is noticed.
constexpr std::uint32_t kMaxCount = 1u << 20;

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    bool U32(std::uint32_t& value)
    {
        if (m_bytes.size() - m_pos < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_pos + i])) << (8 * i);
        m_pos += 4;
        return true;
    }
    bool Count(std::uint32_t& value, std::size_t bytesPerItem)
    {
        return U32(value) && value <= kMaxCount && value * bytesPerItem <= m_bytes.size() - m_pos;
    }
    bool I16(int& value)
    {
        if (m_bytes.size() - m_pos < 2) return false;
        const auto lo = static_cast<unsigned char>(m_bytes[m_pos]);
        const auto hi = static_cast<unsigned char>(m_bytes[m_pos + 1]);
        value = static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
        m_pos += 2;
        return true;
    }
    bool Literal(std::string_view text)
    {
        if (m_bytes.substr(m_pos, text.size()) != text) return false;
        m_pos += text.size();
        return true;
    }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

std::size_t ArcIndex(ArcRef ref)
{
    return static_cast<std::size_t>(ref >= 0 ? ref : ~ref);
}

// Coast, border or inner line from the countries that use each arc.
void ClassifyArcs(WorldOutline& outline)
{
    std::vector<std::vector<int>> users(outline.arcs.size());
    for (std::size_t c = 0; c < outline.countries.size(); ++c)
        for (const OutlinePolygon& polygon : outline.countries[c].polygons)
            for (const OutlineRing& ring : polygon)
                for (ArcRef ref : ring) users[ArcIndex(ref)].push_back(static_cast<int>(c));
    for (std::size_t a = 0; a < outline.arcs.size(); ++a) {
        const std::vector<int>& u = users[a];
        ArcKind kind = ArcKind::Coast;
        if (u.size() >= 2) kind = std::all_of(u.begin(), u.end(), [&](int c) { return c == u[0]; }) ? ArcKind::Inner : ArcKind::Border;
        outline.arcs[a].kind = kind;
    }
}

// Neighbours get different tints: DSatur colouring (most constrained country first), each
// country taking the least used tint its neighbours leave free.
void TintCountries(WorldOutline& outline)
{
    const std::size_t n = outline.countries.size();
    std::vector<std::vector<int>> users(outline.arcs.size());
    for (std::size_t c = 0; c < n; ++c)
        for (const OutlinePolygon& polygon : outline.countries[c].polygons)
            for (const OutlineRing& ring : polygon)
                for (ArcRef ref : ring) users[ArcIndex(ref)].push_back(static_cast<int>(c));
    std::vector<std::vector<int>> neighbours(n);
    for (const std::vector<int>& u : users)
        for (int a : u)
            for (int b : u)
                if (a != b) neighbours[a].push_back(b);
    for (std::vector<int>& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }

    std::vector<int> tint(n, -1);
    std::vector<int> used(kCountryTints, 0);
    for (std::size_t step = 0; step < n; ++step) {
        std::size_t best = n;
        int bestSaturation = -1;
        int bestDegree = -1;
        for (std::size_t c = 0; c < n; ++c) {
            if (tint[c] >= 0) continue;
            std::vector<bool> seen(kCountryTints, false);
            int saturation = 0;
            for (int m : neighbours[c])
                if (tint[m] >= 0 && !seen[tint[m]]) seen[tint[m]] = true, ++saturation;
            const int degree = static_cast<int>(neighbours[c].size());
            if (saturation > bestSaturation || (saturation == bestSaturation && degree > bestDegree)) {
                best = c;
                bestSaturation = saturation;
                bestDegree = degree;
            }
        }
        std::vector<bool> taken(kCountryTints, false);
        for (int m : neighbours[best])
            if (tint[m] >= 0) taken[tint[m]] = true;
        int choice = -1;
        for (int t = 0; t < kCountryTints; ++t)
            if (!taken[t] && (choice < 0 || used[t] < used[choice])) choice = t;
        if (choice < 0) choice = 0;  // more neighbours' tints than tints: cannot happen on a map
        tint[best] = choice;
        ++used[choice];
    }
    for (std::size_t c = 0; c < n; ++c) outline.countries[c].tint = tint[c];
}

}  // namespace

OutlinePoint ToOutlinePoint(const GeoPosition& position)
{
    constexpr double kRad = std::numbers::pi / 180.0;
    const double lon = position.longitude * kRad;
    const double lat = position.latitude * kRad;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat),
            std::abs(position.longitude) == 180.0};
}

std::optional<WorldOutline> ParseWorldOutline(std::string_view bytes)
{
    Reader in(bytes);
    WorldOutline outline;
    std::uint32_t arcCount = 0;
    if (!in.Literal("VWO1") || !in.Count(arcCount, 4)) return std::nullopt;
    outline.arcs.resize(arcCount);
    for (OutlineArc& arc : outline.arcs) {
        std::uint32_t points = 0;
        if (!in.Count(points, 4) || points < 2) return std::nullopt;
        arc.points.reserve(points);
        for (std::uint32_t i = 0; i < points; ++i) {
            int lon = 0;
            int lat = 0;
            if (!in.I16(lon) || !in.I16(lat)) return std::nullopt;
            if (lon < -18000 || lon > 18000 || lat < -9000 || lat > 9000) return std::nullopt;
            arc.points.push_back(ToOutlinePoint({lon / 100.0, lat / 100.0}));
        }
    }
    std::uint32_t countryCount = 0;
    if (!in.Count(countryCount, 4)) return std::nullopt;
    outline.countries.resize(countryCount);
    for (OutlineCountry& country : outline.countries) {
        std::uint32_t polygons = 0;
        if (!in.Count(polygons, 4)) return std::nullopt;
        country.polygons.resize(polygons);
        for (OutlinePolygon& polygon : country.polygons) {
            std::uint32_t rings = 0;
            if (!in.Count(rings, 4) || rings == 0) return std::nullopt;
            polygon.resize(rings);
            for (OutlineRing& ring : polygon) {
                std::uint32_t refs = 0;
                if (!in.Count(refs, 4) || refs == 0) return std::nullopt;
                ring.resize(refs);
                for (ArcRef& ref : ring) {
                    std::uint32_t raw = 0;
                    if (!in.U32(raw)) return std::nullopt;
                    ref = static_cast<ArcRef>(raw);
                    if (ArcIndex(ref) >= outline.arcs.size()) return std::nullopt;
                }
            }
        }
    }
    if (!in.AtEnd()) return std::nullopt;
    ClassifyArcs(outline);
    TintCountries(outline);
    return outline;
}

}  // namespace vantora
