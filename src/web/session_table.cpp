#include "web/session_table.h"

#include <algorithm>

namespace vantora {

bool ConstantTimeEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

std::optional<std::string> SessionTable::Add(std::string id, WebRole role, std::int64_t nowMs)
{
    Expire(nowMs);
    std::optional<std::string> evicted;
    if (m_sessions.size() >= kMaxSessions) {
        const auto oldest =
            std::min_element(m_sessions.begin(), m_sessions.end(),
                             [](const Session& a, const Session& b) { return a.lastUsedMs < b.lastUsedMs; });
        evicted = std::move(oldest->id);
        m_sessions.erase(oldest);
    }
    m_sessions.push_back(Session{std::move(id), role, nowMs});
    return evicted;
}

std::ptrdiff_t SessionTable::Find(std::string_view id, std::int64_t nowMs) const
{
    std::ptrdiff_t found = -1;
    // Every session is compared, so the time does not tell how far the search went.
    for (std::size_t i = 0; i < m_sessions.size(); ++i)
        if (ConstantTimeEqual(m_sessions[i].id, id) && !id.empty())
            found = static_cast<std::ptrdiff_t>(i);
    if (found >= 0 && nowMs - m_sessions[static_cast<std::size_t>(found)].lastUsedMs >= kIdleLimitMs)
        return -1;
    return found;
}

std::optional<WebRole> SessionTable::Use(std::string_view id, std::int64_t nowMs)
{
    const std::ptrdiff_t index = Find(id, nowMs);
    if (index < 0)
        return std::nullopt;
    Session& session = m_sessions[static_cast<std::size_t>(index)];
    session.lastUsedMs = std::max(session.lastUsedMs, nowMs);
    return session.role;
}

std::optional<WebRole> SessionTable::Peek(std::string_view id, std::int64_t nowMs) const
{
    const std::ptrdiff_t index = Find(id, nowMs);
    if (index < 0)
        return std::nullopt;
    return m_sessions[static_cast<std::size_t>(index)].role;
}

bool SessionTable::Remove(std::string_view id)
{
    const auto found = std::find_if(m_sessions.begin(), m_sessions.end(), [&](const Session& s) { return s.id == id; });
    if (found == m_sessions.end())
        return false;
    m_sessions.erase(found);
    return true;
}

std::vector<std::string> SessionTable::RemoveRole(WebRole role)
{
    std::vector<std::string> removed;
    std::erase_if(m_sessions, [&](Session& s) {
        if (s.role != role)
            return false;
        removed.push_back(std::move(s.id));
        return true;
    });
    return removed;
}

std::vector<std::string> SessionTable::Expire(std::int64_t nowMs)
{
    std::vector<std::string> expired;
    std::erase_if(m_sessions, [&](Session& s) {
        if (nowMs - s.lastUsedMs < kIdleLimitMs)
            return false;
        expired.push_back(std::move(s.id));
        return true;
    });
    return expired;
}

}  // namespace vantora
