#include "fit_mask.h"

#include <algorithm>
#include <limits>

namespace mapgen {

FitMask::FitMask(int width, int height)
    : m_width(width), m_height(height), m_bits(std::size_t(width) * height, 0)
{
}

void FitMask::set(int x, int y, bool allowed)
{
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
        m_bits[std::size_t(y) * m_width + x] = allowed ? 1 : 0;
}

bool FitMask::at(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_width && y < m_height
        && m_bits[std::size_t(y) * m_width + x] != 0;
}

void FitMask::forbid(const QRect &r)
{
    const QRect c = r.intersected(QRect(0, 0, m_width, m_height));
    for (int y = c.top(); y <= c.bottom(); ++y)
        std::fill_n(m_bits.begin() + std::size_t(y) * m_width + c.left(), c.width(), 0);
}

void FitMask::build()
{
    const int w1 = m_width + 1;
    m_sat.assign(std::size_t(w1) * (m_height + 1), 0);
    for (int y = 0; y < m_height; ++y) {
        long long row = 0;
        for (int x = 0; x < m_width; ++x) {
            row += m_bits[std::size_t(y) * m_width + x];
            m_sat[std::size_t(y + 1) * w1 + x + 1] = m_sat[std::size_t(y) * w1 + x + 1] + row;
        }
    }
}

long long FitMask::boxSum(int x0, int y0, int x1, int y1) const
{
    const int w1 = m_width + 1;
    return m_sat[std::size_t(y1) * w1 + x1] - m_sat[std::size_t(y0) * w1 + x1]
        - m_sat[std::size_t(y1) * w1 + x0] + m_sat[std::size_t(y0) * w1 + x0];
}

bool FitMask::fits(const QRect &r) const
{
    if (r.left() < 0 || r.top() < 0 || r.right() >= m_width || r.bottom() >= m_height
        || r.isEmpty())
        return false;
    return boxSum(r.left(), r.top(), r.right() + 1, r.bottom() + 1)
        == static_cast<long long>(r.width()) * r.height();
}

std::optional<FitMask::Placement> FitMask::place(QSize box, const QRect &area, int minMargin,
                                                 int capMargin, QPointF preferred) const
{
    const QRect a = area.intersected(QRect(0, 0, m_width, m_height));
    int best = -1;
    QPoint bestCentre;
    double bestDistance = std::numeric_limits<double>::max();
    for (int cy = a.top(); cy <= a.bottom(); cy += 2) {
        for (int cx = a.left(); cx <= a.right(); cx += 2) {
            const QRect r(cx - box.width() / 2, cy - box.height() / 2, box.width(),
                          box.height());
            auto grown = [&r](int m) { return r.adjusted(-m, -m, m, m); };
            if (!fits(grown(minMargin)))
                continue;
            // Margins are monotone (a box that fits with margin m fits with any smaller one).
            int lo = minMargin, hi = capMargin;
            while (lo < hi) {
                const int mid = (lo + hi + 1) / 2;
                if (fits(grown(mid)))
                    lo = mid;
                else
                    hi = mid - 1;
            }
            const double dx = cx - preferred.x();
            const double dy = cy - preferred.y();
            const double d = dx * dx + dy * dy;
            if (lo > best || (lo == best && d < bestDistance)) {
                best = lo;
                bestCentre = QPoint(cx, cy);
                bestDistance = d;
            }
        }
    }
    if (best < 0)
        return std::nullopt;
    return Placement{bestCentre, best};
}

std::optional<QPointF> FitMask::centroid(const QRect &area) const
{
    const QRect a = area.intersected(QRect(0, 0, m_width, m_height));
    double sx = 0, sy = 0;
    long long n = 0;
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (m_bits[std::size_t(y) * m_width + x]) {
                sx += x;
                sy += y;
                ++n;
            }
    if (n == 0)
        return std::nullopt;
    return QPointF(sx / n, sy / n);
}

}  // namespace mapgen
