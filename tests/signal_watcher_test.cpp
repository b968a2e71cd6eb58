// Signals raised in this process reach the event loop as the watcher's Qt signals: SIGTERM and
// SIGINT ask to stop, SIGHUP to reload; the handling before the watcher comes back after it.

#include "service/ui/signal_watcher.h"
#include "support/event_wait.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace vantora {
namespace {

using test::WaitFor;

volatile sig_atomic_t g_seenByPrevious = 0;

extern "C" void RecordSignal(int signal)
{
    g_seenByPrevious = signal;
}

// A handler of the test's own in place of the default (which would end the test), for as long
// as it lives.
class PreviousHandlers {
public:
    PreviousHandlers()
    {
        struct sigaction action = {};
        action.sa_handler = RecordSignal;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < 3; ++i)
            ::sigaction(kSignals[i], &action, &m_saved[i]);
        g_seenByPrevious = 0;
    }
    ~PreviousHandlers()
    {
        for (int i = 0; i < 3; ++i)
            ::sigaction(kSignals[i], &m_saved[i], nullptr);
    }
    static constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};

private:
    struct sigaction m_saved[3] = {};
};

struct SignalCase {
    const char* name;
    std::vector<int> raised;
    std::vector<int> terminations;  // the signals terminateRequested carried, in order
    int reloads;
};

TEST(SignalWatcher, SignalsBecomeRequestsOnTheEventLoop)
{
    PreviousHandlers previous;
    const std::vector<SignalCase> cases{
        {"SIGTERM", {SIGTERM}, {SIGTERM}, 0},
        {"SIGINT", {SIGINT}, {SIGINT}, 0},
        {"SIGHUP", {SIGHUP}, {}, 1},
        {"several in a row", {SIGHUP, SIGHUP, SIGINT, SIGTERM}, {SIGINT, SIGTERM}, 2},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(c.name);
        SignalWatcher watcher;
        ASSERT_TRUE(watcher.isWatching());
        std::vector<int> terminations;
        int reloads = 0;
        QObject::connect(&watcher, &SignalWatcher::terminateRequested,
                         [&terminations](int signal) { terminations.push_back(signal); });
        QObject::connect(&watcher, &SignalWatcher::reloadRequested, [&reloads] { ++reloads; });
        for (int signal : c.raised)
            ASSERT_EQ(std::raise(signal), 0);
        // The handler ran inside raise(); the requests wait for the event loop.
        EXPECT_TRUE(terminations.empty());
        EXPECT_EQ(reloads, 0);
        EXPECT_TRUE(
            WaitFor([&] { return terminations.size() + static_cast<std::size_t>(reloads) == c.raised.size(); }));
        EXPECT_EQ(terminations, c.terminations);
        EXPECT_EQ(reloads, c.reloads);
        EXPECT_EQ(g_seenByPrevious, 0);
    }
}

TEST(SignalWatcher, PreviousHandlingComesBackAfterIt)
{
    PreviousHandlers previous;
    {
        SignalWatcher watcher;
        ASSERT_TRUE(watcher.isWatching());
        // One at a time: a second watcher watches nothing and leaves the first one working.
        {
            SignalWatcher second;
            EXPECT_FALSE(second.isWatching());
        }
        QSignalSpy reloads(&watcher, &SignalWatcher::reloadRequested);
        ASSERT_EQ(std::raise(SIGHUP), 0);
        EXPECT_TRUE(WaitFor([&] { return reloads.count() == 1; }));
        EXPECT_EQ(g_seenByPrevious, 0);
    }
    for (int signal : PreviousHandlers::kSignals) {
        g_seenByPrevious = 0;
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(g_seenByPrevious, signal);
    }
    // And a new watcher may start once the old one is gone.
    SignalWatcher again;
    EXPECT_TRUE(again.isWatching());
}

// The program ends from the slot: the rest of what the pipe held is not delivered to a
// destroyed watcher.
TEST(SignalWatcher, SlotMayDestroyTheWatcher)
{
    PreviousHandlers previous;
    auto* watcher = new SignalWatcher;
    ASSERT_TRUE(watcher->isWatching());
    int terminations = 0;
    QObject::connect(watcher, &SignalWatcher::terminateRequested, [&] {
        ++terminations;
        delete watcher;
        watcher = nullptr;
    });
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(WaitFor([&] { return watcher == nullptr; }));
    test::WaitFor([] { return false; }, 100);
    EXPECT_EQ(terminations, 1);
    // Handling went back to what it was.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_EQ(g_seenByPrevious, SIGTERM);
}

}  // namespace
}  // namespace vantora
