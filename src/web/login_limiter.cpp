#include "web/login_limiter.h"

#include <algorithm>

namespace vantora {

void LoginLimiter::DropOld(Record& record, std::int64_t nowMs)
{
    while (!record.failures.empty() && nowMs - record.failures.front() >= kWindowMs)
        record.failures.pop_front();
}

bool LoginLimiter::Blocked(const std::string& address, std::int64_t nowMs) const
{
    const auto found = m_addresses.find(address);
    return found != m_addresses.end() && nowMs < found->second.blockedUntilMs;
}

bool LoginLimiter::Begin(const std::string& address, std::int64_t nowMs)
{
    if (Blocked(address, nowMs))
        return false;
    if (m_addresses.find(address) == m_addresses.end() && m_addresses.size() >= kMaxAddresses)
        Forget(nowMs);
    Record& record = m_addresses[address];
    DropOld(record, nowMs);
    record.lastSeenMs = nowMs;
    if (static_cast<int>(record.failures.size()) + record.inProgress >= kMaxFailures)
        return false;
    ++record.inProgress;
    return true;
}

void LoginLimiter::End(const std::string& address, bool succeeded, std::int64_t nowMs)
{
    const auto found = m_addresses.find(address);
    if (found == m_addresses.end())
        return;
    Record& record = found->second;
    record.inProgress = std::max(0, record.inProgress - 1);
    record.lastSeenMs = nowMs;
    if (succeeded)
        return;
    DropOld(record, nowMs);
    record.failures.push_back(nowMs);
    if (static_cast<int>(record.failures.size()) >= kMaxFailures) {
        record.blockedUntilMs = nowMs + kBlockMs;
        record.failures.clear();
    }
}

// Makes room for one more address: first every record that holds nothing any more, else the
// one seen longest ago among those neither blocked nor in progress, else the one seen longest ago.
void LoginLimiter::Forget(std::int64_t nowMs)
{
    for (auto it = m_addresses.begin(); it != m_addresses.end();) {
        DropOld(it->second, nowMs);
        const bool empty =
            it->second.failures.empty() && it->second.inProgress == 0 && nowMs >= it->second.blockedUntilMs;
        it = empty ? m_addresses.erase(it) : std::next(it);
    }
    if (m_addresses.size() < kMaxAddresses)
        return;
    auto victim = m_addresses.end();
    for (int pass = 0; pass < 2 && victim == m_addresses.end(); ++pass) {
        for (auto it = m_addresses.begin(); it != m_addresses.end(); ++it) {
            const bool quiet = it->second.inProgress == 0 && nowMs >= it->second.blockedUntilMs;
            if ((pass == 1 || quiet)
                && (victim == m_addresses.end() || it->second.lastSeenMs < victim->second.lastSeenMs))
                victim = it;
        }
    }
    if (victim != m_addresses.end())
        m_addresses.erase(victim);
}

}  // namespace vantora
