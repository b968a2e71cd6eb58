// The service manager's notifications, received on a datagram socket the test listens on, the
// way the manager hands one to the service (NOTIFY_SOCKET, WATCHDOG_USEC, WATCHDOG_PID).

#include "service/ui/service_notifier.h"
#include "support/event_wait.h"
#include "support/notify_socket.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace vantora {
namespace {

using test::WaitFor;

using test::NotifySocket;

// The watchdog's variables for as long as it lives.
class WatchdogEnvironment {
public:
    WatchdogEnvironment(const char* usec, const char* pid)
    {
        if (usec)
            ::setenv("WATCHDOG_USEC", usec, 1);
        if (pid)
            ::setenv("WATCHDOG_PID", pid, 1);
    }
    ~WatchdogEnvironment()
    {
        ::unsetenv("WATCHDOG_USEC");
        ::unsetenv("WATCHDOG_PID");
    }
};

int Count(const std::vector<std::string>& messages, const std::string& message)
{
    int count = 0;
    for (const std::string& m : messages)
        count += m == message;
    return count;
}

bool BuiltWithSystemd()
{
    NotifySocket socket;
    return ServiceNotifier().active();
}

struct EnvironmentCase {
    const char* name;
    bool socket;
    const char* usec;
    enum { NoPid, OurPid, OtherPid } pid;
    bool active;
    bool watchdog;
};

// Which environment makes it talk, and to the watchdog.
TEST(ServiceNotifier, TalksOnlyWhereTheManagerAsked)
{
    if (!BuiltWithSystemd())
        GTEST_SKIP() << "built without libsystemd: the notifier never talks";
    const std::string ours = std::to_string(::getpid());
    const std::string other = std::to_string(::getppid());
    const std::vector<EnvironmentCase> cases{
        {"no manager", false, nullptr, EnvironmentCase::NoPid, false, false},
        {"no manager, watchdog variables", false, "1000000", EnvironmentCase::OurPid, false, false},
        {"manager, no watchdog", true, nullptr, EnvironmentCase::NoPid, true, false},
        {"watchdog for us", true, "1000000", EnvironmentCase::OurPid, true, true},
        {"watchdog, no pid given", true, "1000000", EnvironmentCase::NoPid, true, true},
        {"watchdog for another process", true, "1000000", EnvironmentCase::OtherPid, true, false},
        {"watchdog of no time", true, "0", EnvironmentCase::OurPid, true, false},
        {"watchdog of nonsense", true, "soon", EnvironmentCase::OurPid, true, false},
    };
    for (const EnvironmentCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<NotifySocket> socket;
        if (c.socket) {
            socket.emplace();
            ASSERT_TRUE(socket->bound());
        }
        const char* pid = c.pid == EnvironmentCase::OurPid     ? ours.c_str()
                          : c.pid == EnvironmentCase::OtherPid ? other.c_str()
                                                               : nullptr;
        WatchdogEnvironment environment(c.usec, pid);
        ServiceNotifier notifier;
        EXPECT_EQ(notifier.active(), c.active);
        EXPECT_EQ(notifier.watchdogEnabled(), c.watchdog);
        EXPECT_EQ(notifier.ready(), c.active);
        EXPECT_EQ(notifier.watchdog(), c.watchdog);
        EXPECT_EQ(notifier.status(QStringLiteral("Polling")), c.active);
        if (!socket)
            continue;
        std::vector<std::string> expected{"READY=1"};
        if (c.watchdog)
            expected.push_back("WATCHDOG=1");
        expected.push_back("STATUS=Polling");
        EXPECT_EQ(socket->take(), expected);
    }
}

TEST(ServiceNotifier, ReadyOnceStatusOneLineStopping)
{
    if (!BuiltWithSystemd())
        GTEST_SKIP() << "built without libsystemd: the notifier never talks";
    NotifySocket socket;
    ASSERT_TRUE(socket.bound());
    ServiceNotifier notifier;
    EXPECT_TRUE(notifier.ready());
    EXPECT_FALSE(notifier.ready());
    // A status text cannot add an assignment of its own (a line break would start one).
    EXPECT_TRUE(notifier.status(QStringLiteral("Port busy\nREADY=1")));
    EXPECT_TRUE(notifier.status(QStringLiteral("Listening on 127.0.0.1:4533 °")));
    EXPECT_FALSE(notifier.ready());
    EXPECT_TRUE(notifier.stopping());
    EXPECT_EQ(socket.take(), (std::vector<std::string>{"READY=1", "STATUS=Port busy READY=1",
                                                       "STATUS=Listening on 127.0.0.1:4533 °", "STOPPING=1"}));
}

// Offered at every 50 ms poll for 12 s of a made-up clock with a 4 s watchdog: one keep-alive
// every 2 s, the first at once.
TEST(ServiceNotifier, WatchdogKeepsThePaceTheManagerAsks)
{
    if (!BuiltWithSystemd())
        GTEST_SKIP() << "built without libsystemd: the notifier never talks";
    NotifySocket socket;
    ASSERT_TRUE(socket.bound());
    WatchdogEnvironment environment("4000000", std::to_string(::getpid()).c_str());
    std::uint64_t now = 1'000'000'000;
    ServiceNotifier notifier([&now] { return now; });
    ASSERT_EQ(notifier.watchdogTimeoutUsec(), 4'000'000u);
    int offers = 0;
    for (; offers < 240; ++offers, now += 50'000)
        notifier.watchdog();
    const std::vector<std::string> got = socket.take();
    EXPECT_EQ(Count(got, "WATCHDOG=1"), 6);
    EXPECT_EQ(got.size(), 6u);
}

// On the real clock, from a 20 ms timer as from the poll: keep-alives keep arriving, and never
// more than one per call.
TEST(ServiceNotifier, WatchdogKeepsArrivingWhileCalled)
{
    if (!BuiltWithSystemd())
        GTEST_SKIP() << "built without libsystemd: the notifier never talks";
    NotifySocket socket;
    ASSERT_TRUE(socket.bound());
    WatchdogEnvironment environment("100000", std::to_string(::getpid()).c_str());
    ServiceNotifier notifier;
    ASSERT_TRUE(notifier.ready());
    int calls = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++calls;
        notifier.watchdog();
    });
    poll.start();
    std::vector<std::string> got;
    EXPECT_TRUE(WaitFor([&] {
        for (std::string& m : socket.take())
            got.push_back(std::move(m));
        return Count(got, "WATCHDOG=1") >= 5;
    }));
    poll.stop();
    EXPECT_EQ(Count(got, "READY=1"), 1);
    EXPECT_LE(Count(got, "WATCHDOG=1"), calls);
}

}  // namespace
}  // namespace vantora
