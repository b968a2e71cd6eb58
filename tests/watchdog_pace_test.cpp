// The watchdog's pace: a keep-alive at most every half of the manager's timeout, however often
// the poll path offers one.

#include "service/watchdog_pace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vantora {
namespace {

struct PaceCase {
    const char* name;
    std::uint64_t timeoutUsec;
    std::vector<std::uint64_t> offeredAt;  // microseconds
    std::vector<std::uint64_t> sentAt;
};

TEST(WatchdogPace, SendsTheFirstThenEveryHalfTimeout)
{
    const std::vector<PaceCase> cases{
        {"no watchdog", 0, {0, 1, 10'000'000}, {}},
        {"poll every 50 ms, 10 s timeout",
         10'000'000,
         {0, 50'000, 4'950'000, 5'000'000, 5'050'000, 9'999'999, 10'000'000},
         {0, 5'000'000, 10'000'000}},
        {"first offer late", 1'000'000, {7'000'000, 7'400'000, 7'500'000, 7'900'000}, {7'000'000, 7'500'000}},
        {"offers rarer than the pace", 1'000'000, {0, 2'000'000, 9'000'000}, {0, 2'000'000, 9'000'000}},
        {"tiny timeout", 1, {5, 5, 6}, {5, 6}},
        {"clock went back", 1'000'000, {5'000'000, 4'000'000, 4'100'000}, {5'000'000, 4'000'000}},
    };
    for (const PaceCase& c : cases) {
        WatchdogPace pace(c.timeoutUsec);
        EXPECT_EQ(pace.Enabled(), c.timeoutUsec > 0) << c.name;
        std::vector<std::uint64_t> sent;
        for (std::uint64_t at : c.offeredAt) {
            if (pace.Due(at))
                sent.push_back(at);
        }
        EXPECT_EQ(sent, c.sentAt) << c.name;
    }
}

}  // namespace
}  // namespace vantora
