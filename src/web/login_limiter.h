#pragma once
// Brute force on the login: after 5 failed logins from one address within 10 minutes, that
// address is refused (429) for 10 minutes. A login in progress counts as a failure until it
// has ended, so that many logins sent at once cannot try more than 5 passwords; a success does
// not wipe the failures (a viewer could otherwise go on guessing the operator password between
// two good logins of its own).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>

namespace vantora {

class LoginLimiter {
public:
    static constexpr int kMaxFailures = 5;
    static constexpr std::int64_t kWindowMs = 10LL * 60 * 1000;
    static constexpr std::int64_t kBlockMs = 10LL * 60 * 1000;
    // Addresses remembered at most: the oldest that is not blocked goes first.
    static constexpr std::size_t kMaxAddresses = 4096;

    // A login from `address` begins: false when the address is blocked or has as many failures
    // and logins in progress as allowed (refuse with 429). Every true is followed by one End.
    bool Begin(const std::string& address, std::int64_t nowMs);
    // The login that began ended; a failure may block the address.
    void End(const std::string& address, bool succeeded, std::int64_t nowMs);

    bool Blocked(const std::string& address, std::int64_t nowMs) const;
    std::size_t addressCount() const { return m_addresses.size(); }

private:
    struct Record {
        std::deque<std::int64_t> failures;  // times of the failures within the window
        int inProgress = 0;
        std::int64_t blockedUntilMs = -1;
        std::int64_t lastSeenMs = 0;
    };

    void Forget(std::int64_t nowMs);
    static void DropOld(Record& record, std::int64_t nowMs);

    std::map<std::string, Record> m_addresses;
};

}  // namespace vantora
