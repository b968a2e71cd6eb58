#include "common/connection_admission.h"

#include <algorithm>

namespace vantora {

ConnectionAdmission::ConnectionAdmission(std::size_t places, std::size_t perAddress)
    : m_places(std::max<std::size_t>(places, 1)), m_perAddress(std::max<std::size_t>(perAddress, 1))
{
}

std::size_t ConnectionAdmission::CountFrom(std::string_view address) const
{
    return static_cast<std::size_t>(
        std::count_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.address == address; }));
}

template <typename Pred>
std::size_t ConnectionAdmission::LongestSilent(Pred from) const
{
    std::size_t found = static_cast<std::size_t>(-1);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (from(m_entries[i])
            && (found == static_cast<std::size_t>(-1) || m_entries[i].lastHeardMs < m_entries[found].lastHeardMs))
            found = i;
    }
    return found;
}

ConnectionAdmission::Decision ConnectionAdmission::Replace(std::size_t victim, Id id, std::string_view address,
                                                           std::int64_t nowMs)
{
    const Id closed = m_entries[victim].id;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(victim));
    m_entries.push_back({id, std::string(address), nowMs});
    return {true, closed};
}

ConnectionAdmission::Decision ConnectionAdmission::Admit(Id id, std::string_view address, std::int64_t nowMs)
{
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    if (m_entries.size() < m_places) {
        m_entries.push_back({id, std::string(address), nowMs});
        return {true, std::nullopt};
    }
    const auto silentEnough = [&](std::size_t i) {
        return i != kNone && nowMs - m_entries[i].lastHeardMs >= kMakeRoomSilenceMs;
    };

    if (CountFrom(address) >= m_perAddress) {
        const std::size_t own = LongestSilent([&](const Entry& e) { return e.address == address; });
        return silentEnough(own) ? Replace(own, id, address, nowMs) : Decision{};
    }
    if (const std::size_t any = LongestSilent([](const Entry&) { return true; }); silentEnough(any))
        return Replace(any, id, address, nowMs);

    // Nobody is silent enough; an address beyond its share gives up one place even so.
    std::string greediest;
    std::size_t most = m_perAddress;
    for (const Entry& e : m_entries) {
        const std::size_t held = CountFrom(e.address);
        if (held > most) {
            most = held;
            greediest = e.address;
        }
    }
    if (most == m_perAddress)
        return {};
    return Replace(LongestSilent([&](const Entry& e) { return e.address == greediest; }), id, address, nowMs);
}

void ConnectionAdmission::Heard(Id id, std::int64_t nowMs)
{
    for (Entry& e : m_entries) {
        if (e.id == id) {
            e.lastHeardMs = std::max(e.lastHeardMs, nowMs);
            return;
        }
    }
}

void ConnectionAdmission::Remove(Id id)
{
    std::erase_if(m_entries, [&](const Entry& e) { return e.id == id; });
}

std::vector<ConnectionAdmission::Id> ConnectionAdmission::TakeSilent(std::int64_t nowMs)
{
    std::vector<Id> silent;
    for (const Entry& e : m_entries) {
        if (nowMs - e.lastHeardMs >= kCloseSilenceMs)
            silent.push_back(e.id);
    }
    std::erase_if(m_entries, [&](const Entry& e) { return nowMs - e.lastHeardMs >= kCloseSilenceMs; });
    return silent;
}

}  // namespace vantora
