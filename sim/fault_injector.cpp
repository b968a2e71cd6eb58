#include "fault_injector.h"

#include <algorithm>

namespace vantora::sim {

FaultInjector::FaultInjector(FaultConfig config) : m_config(config), m_random(config.seed) {}

double FaultInjector::draw()
{
    // 53 random bits scaled into [0, 1): unlike the standard distributions, the same everywhere.
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53;
}

bool FaultInjector::silent(Time now) const
{
    return m_config.silenceAfter && now >= *m_config.silenceAfter
        && now < *m_config.silenceAfter + m_config.silenceFor;
}

void FaultInjector::enqueue(Bytes bytes, Time due)
{
    due = std::max(due, m_lastDue);
    m_lastDue = due;
    m_queue.push_back(Write{due, std::move(bytes)});
}

void FaultInjector::submit(Bytes response, Time now)
{
    ++m_stats.responses;
    if (silent(now)) {
        ++m_stats.silenced;
        return;
    }
    const double dropDraw = draw();
    const double corruptDraw = draw();
    const double mergeDraw = draw();
    const double splitDraw = draw();

    if (dropDraw * 100 < m_config.dropPercent) {
        ++m_stats.dropped;
        return;
    }
    if (corruptDraw * 100 < m_config.corruptPercent && !response.empty()) {
        // Changing exactly one byte always breaks the 8-bit sum.
        const std::size_t at = static_cast<std::size_t>(m_random() % response.size());
        const auto delta = static_cast<std::uint8_t>(1 + m_random() % 255);
        response[at] = static_cast<std::uint8_t>(response[at] ^ delta);
        ++m_stats.corrupted;
    }
    if (m_held) {
        Bytes both = std::move(*m_held);
        m_held.reset();
        both.insert(both.end(), response.begin(), response.end());
        enqueue(std::move(both), now);
        ++m_stats.merged;
        return;
    }
    if (mergeDraw * 100 < m_config.mergePercent) {
        m_held = std::move(response);
        m_heldSince = now;
        return;
    }
    if (splitDraw * 100 < m_config.splitPercent && response.size() >= 2) {
        const std::size_t cut = 1 + static_cast<std::size_t>(m_random() % (response.size() - 1));
        Bytes tail(response.begin() + static_cast<std::ptrdiff_t>(cut), response.end());
        response.resize(cut);
        enqueue(std::move(response), now);
        enqueue(std::move(tail), m_lastDue + m_config.splitDelay);
        ++m_stats.split;
        return;
    }
    enqueue(std::move(response), now);
}

std::vector<Bytes> FaultInjector::takeDue(Time now)
{
    if (m_held && now >= m_heldSince + m_config.mergeHold) {
        enqueue(std::move(*m_held), m_heldSince + m_config.mergeHold);
        m_held.reset();
    }
    std::vector<Bytes> due;
    while (!m_queue.empty() && m_queue.front().due <= now) {
        due.push_back(std::move(m_queue.front().bytes));
        m_queue.pop_front();
    }
    m_stats.writes += due.size();
    return due;
}

std::optional<FaultInjector::Time> FaultInjector::nextDue() const
{
    std::optional<Time> next;
    if (!m_queue.empty())
        next = m_queue.front().due;
    if (m_held) {
        const Time expiry = m_heldSince + m_config.mergeHold;
        next = next ? std::min(*next, expiry) : expiry;
    }
    return next;
}

void FaultInjector::clear()
{
    m_queue.clear();
    m_held.reset();
}

}  // namespace vantora::sim
