#pragma once
// The logged-in browser sessions, in memory only: at most kMaxSessions, the one unused longest
// goes when a further one logs in; a session unused for 12 hours is gone.

#include "web/web_settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantora {

class SessionTable {
public:
    static constexpr std::size_t kMaxSessions = 64;
    static constexpr std::int64_t kIdleLimitMs = 12LL * 60 * 60 * 1000;

    // A new session (its id made by the caller from random bytes). Returns the id of the session
    // that had to go to make room, if one did.
    std::optional<std::string> Add(std::string id, WebRole role, std::int64_t nowMs);
    // The role of session `id` if it exists and is not expired; a use counts as activity. The
    // comparison takes the same time whatever the id holds.
    std::optional<WebRole> Use(std::string_view id, std::int64_t nowMs);
    // The role without counting as activity.
    std::optional<WebRole> Peek(std::string_view id, std::int64_t nowMs) const;
    bool Remove(std::string_view id);
    // Ends every session of `role` (its password changed) and returns their ids.
    std::vector<std::string> RemoveRole(WebRole role);
    // Removes the expired sessions and returns their ids.
    std::vector<std::string> Expire(std::int64_t nowMs);

    std::size_t size() const { return m_sessions.size(); }

private:
    struct Session {
        std::string id;
        WebRole role = WebRole::Viewer;
        std::int64_t lastUsedMs = 0;
    };

    std::ptrdiff_t Find(std::string_view id, std::int64_t nowMs) const;

    std::vector<Session> m_sessions;
};

// True when `a` equals `b`; the time taken depends on the lengths only.
bool ConstantTimeEqual(std::string_view a, std::string_view b);

}  // namespace vantora
