// The link's health verdict over time: what makes the position stale, what clears it, when a
// lost port is tried again; and the reason texts in both languages.

#include "link/link_health.h"
#include "station/link_fault_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantora {
namespace {

class FakeClock {
public:
    LinkHealth::Clock clock() { return [this] { return m_now; }; }
    void advance(std::int64_t ms) { m_now += ms; }

private:
    std::int64_t m_now = 1'000'000;
};

// Frames every 50 ms for `ms`, the unit answering each with a position report when `answers`.
void Poll(LinkHealth& health, FakeClock& clock, std::int64_t ms, bool answers)
{
    for (std::int64_t t = 0; t < ms; t += 50) {
        health.FrameSent();
        if (answers)
            health.PositionReported();
        clock.advance(50);
    }
}

TEST(LinkHealth, StartsStaleWithoutFaultUntilTheFirstPositionReport)
{
    FakeClock clock;
    LinkHealth health(clock.clock());
    EXPECT_EQ(health.Fault(), LinkFault::None);
    EXPECT_TRUE(health.PositionStale());
    health.PortOpened();
    health.FrameSent();
    health.ValidResponse();  // the version report
    EXPECT_TRUE(health.PositionStale());
    health.PositionReported();
    EXPECT_FALSE(health.PositionStale());
}

struct SilenceCase {
    const char* name;
    std::int64_t silentMs;
    bool stale;
};

TEST(LinkHealth, PollingWithoutAnswerTurnsStaleAfterOneSecond)
{
    const std::vector<SilenceCase> cases{
        {"short gap", 900, false},
        {"just under", 950, false},
        {"one second", 1000, true},
        {"long silence", 30000, true},
    };
    for (const SilenceCase& c : cases) {
        FakeClock clock;
        LinkHealth health(clock.clock());
        health.PortOpened();
        Poll(health, clock, 500, true);
        ASSERT_FALSE(health.PositionStale()) << c.name;
        // The last answer came with the last frame, 50 ms ago; polling goes on unanswered.
        Poll(health, clock, c.silentMs - 50, false);
        health.FrameSent();
        EXPECT_EQ(health.Fault(), c.stale ? LinkFault::NoAnswer : LinkFault::None) << c.name;
        EXPECT_EQ(health.PositionStale(), c.stale) << c.name;
        // The next valid report clears it at once.
        health.PositionReported();
        EXPECT_EQ(health.Fault(), LinkFault::None) << c.name;
        EXPECT_FALSE(health.PositionStale()) << c.name;
    }
}

TEST(LinkHealth, AnyValidResponseCountsAsAnAnswer)
{
    FakeClock clock;
    LinkHealth health(clock.clock());
    health.PortOpened();
    Poll(health, clock, 200, true);
    for (int i = 0; i < 40; ++i) {  // two seconds of acknowledgements only
        health.FrameSent();
        health.ValidResponse();
        clock.advance(50);
    }
    EXPECT_EQ(health.Fault(), LinkFault::None);
    EXPECT_FALSE(health.PositionStale());
}

TEST(LinkHealth, NoPollingNoVerdictButAStaleVerdictHoldsUntilAnAnswer)
{
    FakeClock clock;
    LinkHealth health(clock.clock());
    health.PortOpened();
    Poll(health, clock, 300, true);
    // The poll stops (a dialog of the program is active): no answers are expected, so the
    // position does not turn stale however long it lasts.
    clock.advance(60000);
    EXPECT_EQ(health.Fault(), LinkFault::None);
    // It starts again: a second's grace from the first frame, not from the last answer.
    Poll(health, clock, 900, false);
    EXPECT_EQ(health.Fault(), LinkFault::None);
    Poll(health, clock, 200, false);
    EXPECT_EQ(health.Fault(), LinkFault::NoAnswer);
    // Stopping the poll now keeps the verdict: nothing has come back.
    clock.advance(10000);
    EXPECT_EQ(health.Fault(), LinkFault::NoAnswer);
    health.ValidResponse();
    EXPECT_EQ(health.Fault(), LinkFault::None);
}

TEST(LinkHealth, PortFaultsOutrankSilenceAndClearOnOpen)
{
    FakeClock clock;
    LinkHealth health(clock.clock());
    health.PortOpenFailed();
    EXPECT_EQ(health.Fault(), LinkFault::UnableToOpen);
    EXPECT_TRUE(health.PositionStale());
    EXPECT_FALSE(health.ReopenDue());  // only a lost port is tried again
    clock.advance(10000);
    EXPECT_FALSE(health.ReopenDue());

    health.PortOpened();
    Poll(health, clock, 2000, false);
    EXPECT_EQ(health.Fault(), LinkFault::NoAnswer);
    health.PortLost();
    EXPECT_EQ(health.Fault(), LinkFault::PortLost);
    // The answer of a frame already under way does not make a lost port well.
    health.PositionReported();
    EXPECT_EQ(health.Fault(), LinkFault::PortLost);
    EXPECT_TRUE(health.PositionStale());
}

TEST(LinkHealth, LostPortIsTriedAgainEveryTwoSecondsUntilItOpens)
{
    FakeClock clock;
    LinkHealth health(clock.clock());
    health.PortOpened();
    Poll(health, clock, 500, true);
    health.PortLost();
    std::vector<std::int64_t> triesAt;
    for (std::int64_t t = 0; t <= 7000; t += 100) {
        if (health.ReopenDue()) {
            triesAt.push_back(t);
            if (t < 6000) {
                health.ReopenFailed();
            } else {
                health.PortOpened();
            }
        }
        clock.advance(100);
    }
    EXPECT_EQ(triesAt, (std::vector<std::int64_t>{2000, 4000, 6000}));
    EXPECT_EQ(health.Fault(), LinkFault::None);
    // Reopened, but nothing reported since: the old position is not taken as current.
    EXPECT_TRUE(health.PositionStale());
    Poll(health, clock, 100, true);
    EXPECT_FALSE(health.PositionStale());
}

struct TextCase {
    LinkFault fault;
    int portNumber;
    const char* device;
    int language;
    const char* text;
};

TEST(LinkFaultText, SaysWhyInTheLanguageInForce)
{
    const std::vector<TextCase> cases{
        {LinkFault::None, 1, "/dev/ttyUSB0", 0, ""},
        {LinkFault::NoAnswer, 1, "/dev/ttyUSB0", 0, "No answer from the control unit"},
        {LinkFault::NoAnswer, 1, "/dev/ttyUSB0", 1, "Řídicí jednotka neodpovídá"},
        {LinkFault::PortLost, 1, "/dev/ttyUSB0", 0, "Port COM 1 (/dev/ttyUSB0) lost"},
        {LinkFault::PortLost, 3, "/dev/ttyUSB0", 1, "Port COM 3 (/dev/ttyUSB0) ztracen"},
        {LinkFault::PortLost, 4, "COM4", 0, "Port COM 4 lost"},
        {LinkFault::PortLost, 4, "COM14", 0, "Port COM 4 (COM14) lost"},
        {LinkFault::UnableToOpen, 2, "/dev/ttyS1", 0, "Unable to open port"},
        {LinkFault::UnableToOpen, 2, "/dev/ttyS1", 1, "Port nelze otevřít"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(LinkFaultText(c.fault, c.portNumber, c.device, c.language), c.text) << c.text;
}

}  // namespace
}  // namespace vantora
