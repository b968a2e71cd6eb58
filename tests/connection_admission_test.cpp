// Who gets a place on a full server: idle connections give way, busy ones stay, no address keeps
// more than its share against others, and a connection silent for ten minutes is closed.
#include "common/connection_admission.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace vantora;

namespace {

using Id = ConnectionAdmission::Id;

// A connection already held: its id, address and when it was last heard.
struct Held {
    Id id;
    const char* address;
    std::int64_t lastHeardMs;
};

struct AdmitCase {
    const char* name;
    std::size_t places;
    std::size_t perAddress;
    std::vector<Held> held;
    const char* newcomer;
    std::int64_t nowMs;
    bool admit;
    std::optional<Id> close;
};

TEST(ConnectionAdmission, WhoMakesRoomForANewcomer)
{
    const AdmitCase cases[] = {
        {"a free place", 3, 3, {{1, "a", 0}, {2, "b", 0}}, "c", 100, true, std::nullopt},
        {"a free place, even beyond the share", 3, 1, {{1, "a", 0}}, "a", 100, true, std::nullopt},
        {"full, all busy: refused", 2, 2, {{1, "a", 0}, {2, "b", 0}}, "c", 4999, false, std::nullopt},
        {"full, the longest silent for 5 s goes", 2, 2, {{1, "a", 100}, {2, "b", 0}}, "c", 5000, true, 2},
        {"full, silent 4.999 s is not enough", 2, 2, {{1, "a", 100}, {2, "b", 1}}, "c", 5000, false, std::nullopt},
        {"own share reached: own silent one goes, not an older stranger",
         3,
         2,
         {{1, "a", 3000}, {2, "b", 0}, {3, "a", 2000}},
         "a",
         8000,
         true,
         3},
        {"own share reached, own ones busy: refused though a stranger is idle",
         3,
         2,
         {{1, "a", 4000}, {2, "b", 0}, {3, "a", 3500}},
         "a",
         8000,
         false,
         std::nullopt},
        {"below its share, all busy, one address beyond its share gives way",
         4,
         2,
         {{1, "a", 900}, {2, "a", 800}, {3, "a", 950}, {4, "b", 0}},
         "c",
         1000,
         true,
         2},
        {"the address furthest beyond its share gives way",
         7,
         2,
         {{1, "a", 900}, {2, "a", 800}, {3, "a", 950}, {7, "a", 990}, {4, "b", 10}, {5, "b", 20}, {6, "b", 30}},
         "c",
         1000,
         true,
         2},
        {"nobody beyond the share and all busy: refused",
         4,
         2,
         {{1, "a", 900}, {2, "a", 800}, {3, "b", 950}, {4, "b", 990}},
         "c",
         1000,
         false,
         std::nullopt},
        {"silence first, before taking from a greedy address",
         4,
         2,
         {{1, "a", 9000}, {2, "a", 9000}, {3, "a", 9000}, {4, "b", 0}},
         "c",
         9500,
         true,
         4},
        {"one address, all busy (a load test): refused, none thrown out",
         2,
         1,
         {{1, "a", 100}, {2, "a", 200}},
         "a",
         300,
         false,
         std::nullopt},
    };
    for (const AdmitCase& c : cases) {
        ConnectionAdmission admission(c.places, c.perAddress);
        for (const Held& h : c.held) {
            ASSERT_TRUE(admission.Admit(h.id, h.address, h.lastHeardMs).admit) << c.name;
            admission.Heard(h.id, h.lastHeardMs);
        }
        const auto decision = admission.Admit(99, c.newcomer, c.nowMs);
        EXPECT_EQ(decision.admit, c.admit) << c.name;
        EXPECT_EQ(decision.close, c.close) << c.name;
        EXPECT_EQ(admission.Count(), c.held.size() + (c.admit && !c.close ? 1 : 0)) << c.name;
        EXPECT_LE(admission.Count(), c.places) << c.name;
    }
}

TEST(ConnectionAdmission, HearingKeepsAConnectionAndTenMinutesOfSilenceCloseIt)
{
    ConnectionAdmission admission(2, 2);
    ASSERT_TRUE(admission.Admit(1, "a", 0).admit);
    ASSERT_TRUE(admission.Admit(2, "a", 0).admit);
    admission.Heard(1, 9000);
    // 2 has been silent longest: it makes room, although it was accepted at the same time.
    EXPECT_EQ(admission.Admit(3, "a", 9000).close, std::optional<Id>(2));
    admission.Heard(42, 9000);  // unknown: ignored
    admission.Heard(1, 100);    // out of order: never back in time
    EXPECT_TRUE(admission.TakeSilent(9000 + ConnectionAdmission::kCloseSilenceMs - 1).empty());
    EXPECT_EQ(admission.TakeSilent(9000 + ConnectionAdmission::kCloseSilenceMs), (std::vector<Id>{1, 3}));
    EXPECT_EQ(admission.Count(), 0u);
    admission.Remove(7);  // unknown: ignored
    ASSERT_TRUE(admission.Admit(4, "b", 0).admit);
    EXPECT_EQ(admission.CountFrom("b"), 1u);
    admission.Remove(4);
    EXPECT_EQ(admission.Count(), 0u);
}

}  // namespace
