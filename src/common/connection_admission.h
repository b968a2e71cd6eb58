#pragma once
// Who may hold a place on a server with a fixed number of places, so that connections that say
// nothing cannot keep everyone else out, while clients that talk are never thrown out for a
// newcomer of their own address.
//
//  - While a place is free, a newcomer is served.
//  - When all are taken, a newcomer from an address that already holds its share makes room
//    only from that address: its connection silent longest goes, if silent at least
//    kMakeRoomSilenceMs; else the newcomer is refused.
//  - A newcomer from an address below its share takes the place of the connection silent
//    longest, if silent at least kMakeRoomSilenceMs; failing that, of the connection silent
//    longest of the address holding the most places beyond its share, if there is one (no address
//    keeps more than its share against others); else the newcomer is refused.
//  - A connection silent for kCloseSilenceMs is closed.
// "Silent" is the time since the connection last sent anything (or was accepted). Times are
// milliseconds of one monotonic clock, passed in.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantora {

class ConnectionAdmission {
public:
    using Id = std::uint64_t;

    static constexpr std::int64_t kMakeRoomSilenceMs = 5000;
    static constexpr std::int64_t kCloseSilenceMs = 10 * 60 * 1000;

    struct Decision {
        bool admit = false;
        std::optional<Id> close;  // to be closed to make room; already forgotten here
    };

    // `places` >= 1 and `perAddress` >= 1 places.
    ConnectionAdmission(std::size_t places, std::size_t perAddress);

    // A newcomer `id` (not yet known) from `address` (any text that is equal for equal
    // addresses). When admitted it is counted from now on.
    Decision Admit(Id id, std::string_view address, std::int64_t nowMs);
    // `id` sent something.
    void Heard(Id id, std::int64_t nowMs);
    // `id` is gone (unknown ids are ignored).
    void Remove(Id id);
    // The connections silent for kCloseSilenceMs or longer, forgotten here: the caller closes them.
    std::vector<Id> TakeSilent(std::int64_t nowMs);

    std::size_t Count() const { return m_entries.size(); }
    std::size_t CountFrom(std::string_view address) const;

private:
    struct Entry {
        Id id;
        std::string address;
        std::int64_t lastHeardMs;
    };
    // Index of the entry silent longest among those `from` accepts; npos when none.
    template <typename Pred>
    std::size_t LongestSilent(Pred from) const;
    Decision Replace(std::size_t victim, Id id, std::string_view address, std::int64_t nowMs);

    std::size_t m_places;
    std::size_t m_perAddress;
    std::vector<Entry> m_entries;  // a few dozen at most: plain scans
};

}  // namespace vantora
