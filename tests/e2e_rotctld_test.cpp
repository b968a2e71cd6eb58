// The rotctld server of the running program against the simulated unit, driven by Hamlib's own
// network client (rotctl -m 2), by a client shaped like Gpredict's rotator controller, and
// through a unit that goes silent for a while.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

// A client as simple as the trackers' own: blocking sends, and each reply taken with one recv.
class PlainClient {
public:
    explicit PlainClient(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        const int one = 1;
        if (m_fd >= 0)
            ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~PlainClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }

    // Sends `command`, then one recv of at most 128 bytes, as Gpredict reads a reply.
    std::string ask(const std::string& command, int waitMs = 2000)
    {
        if (::send(m_fd, command.data(), command.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(command.size()))
            return "<send failed>";
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, waitMs) != 1)
            return "<no reply>";
        char buffer[128];
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
        return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : "<closed>";
    }

private:
    int m_fd = -1;
};

struct RotctlRun {
    int exitCode = -1;
    QString output;
};

class RotctldEndToEnd : public ::testing::Test {
protected:
    void start(const QStringList& unitArguments = {})
    {
        e2e.writeSettings({"RegVersion=1.09", "preset_a0=45", "preset_e0=10",
                           "WSJT=" + QDir(e2e.dir()).filePath("wsjt") + "/"});
        ASSERT_TRUE(e2e.startUnit(QStringList{"--az-speed", "60", "--el-speed", "30"} + unitArguments));
        unitStarted.start();
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    // Hamlib's network rotator client, one run with the commands given.
    RotctlRun rotctl(const QStringList& commands)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start("rotctl", QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(e2e.rotctldPort())} +
                                    commands);
        if (!process.waitForFinished(15000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput())};
    }

    bool unitReaches(int position1, int position2, int limitMs = 20000)
    {
        return WaitFor([&] {
            const auto truth = e2e.unitTruth();
            return truth && truth->position1 == position1 && truth->position2 == position2;
        }, limitMs);
    }

    EndToEnd e2e;
    QElapsedTimer unitStarted;
};

const QRegularExpression kPosition(QStringLiteral("^-?\\d+\\.\\d\\d\\n-?\\d+\\.\\d\\d\\n$"));

TEST_F(RotctldEndToEnd, HamlibsNetworkClientReadsTurnsStopsAndParks)
{
    start();
    // Until the unit's first report the position is refused; then rotctl reads it.
    RotctlRun run;
    ASSERT_TRUE(WaitFor([&] {
        run = rotctl({"p"});
        return run.exitCode == 0 && run.output == "0.00\n0.00\n";
    })) << run.exitCode << " " << run.output.toStdString();

    run = rotctl({"_"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.startsWith("Vantora 1.09\n")) << run.output.toStdString();

    // Moon tracking is on; a target from the client takes over from it.
    QDir(e2e.dir()).mkpath("wsjt");
    QFile azel(QDir(e2e.dir()).filePath("wsjt/azel.dat"));
    ASSERT_TRUE(azel.open(QIODevice::WriteOnly));
    azel.write("12:34:56,120.0,20.0,Moon,AzEl\n");
    azel.close();
    e2e.key("alt Right Right Right Down Down Return");  // Tracking, WSJT
    ASSERT_TRUE(unitReaches(120, 20));

    run = rotctl({"P", "200", "30"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    ASSERT_TRUE(unitReaches(200, 30));
    QThread::msleep(2000);  // more than a tracking period: the Moon does not pull it back
    EXPECT_TRUE(unitReaches(200, 30, 100));
    EXPECT_TRUE(WaitFor([&] { return rotctl({"p"}).output == "200.00\n30.00\n"; }));

    // STOP on the way to a far target: the unit halts short of it.
    ASSERT_EQ(rotctl({"P", "300", "60"}).exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 > 205; }));
    run = rotctl({"S"});
    EXPECT_EQ(run.exitCode, 0);
    QThread::msleep(500);
    const auto stoppedAt = e2e.unitTruth();
    QThread::msleep(500);
    EXPECT_EQ(e2e.unitTruth()->position1, stoppedAt->position1);
    EXPECT_NE(stoppedAt->position1, 300);

    run = rotctl({"K"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(unitReaches(45, 10));
}

TEST_F(RotctldEndToEnd, GpredictShapedClientFollowsAMovingTarget)
{
    start();
    PlainClient client(e2e.rotctldPort());
    ASSERT_TRUE(client.ok());
    ASSERT_TRUE(WaitFor([&] { return QString::fromStdString(client.ask("p\n")).contains(kPosition); }));

    // Every 0.7 s for 20 s, as Gpredict does: read the position, then send the target, written
    // in a Czech locale (decimal comma). Each reply must come whole in the one recv.
    QElapsedTimer clock;
    clock.start();
    int cycles = 0;
    int azimuth = 0;
    int elevation = 0;
    while (clock.elapsed() < 20000) {
        const double t = clock.elapsed() / 1000.0;
        const double az = 150.0 + 2.5 * t;
        const double el = 5.0 + 1.25 * t;
        const std::string position = client.ask("p\n");
        EXPECT_TRUE(QString::fromStdString(position).contains(kPosition)) << position;
        char command[64];
        std::snprintf(command, sizeof command, "P %.2f %.2f\n", az, el);
        for (char* c = command; *c; ++c)
            if (*c == '.')
                *c = ',';
        EXPECT_EQ(client.ask(command), "RPRT 0\n") << command;
        azimuth = static_cast<int>(std::nearbyint(az));
        elevation = static_cast<int>(std::nearbyint(el));
        ++cycles;
        QThread::msleep(700);
    }
    EXPECT_GE(cycles, 20);
    EXPECT_TRUE(unitReaches(azimuth, elevation)) << azimuth << "/" << elevation;
}

TEST_F(RotctldEndToEnd, SilentUnitGivesTimeoutThenThePositionAgain)
{
    constexpr int kSilenceAfterMs = 8000;
    start({"--silence-after", "8", "--silence-for", "5"});
    PlainClient client(e2e.rotctldPort());
    ASSERT_TRUE(client.ok());
    ASSERT_TRUE(WaitFor([&] { return QString::fromStdString(client.ask("p\n")).contains(kPosition); }));
    ASSERT_LT(unitStarted.elapsed(), kSilenceAfterMs - 500) << "the program was too slow to start";

    // Asked every 100 ms: positions while the unit answers, then RPRT -5 within 1.5 s of its
    // silence, never a stale position.
    qint64 firstTimeout = -1;
    while (unitStarted.elapsed() < kSilenceAfterMs + 3000) {
        const qint64 at = unitStarted.elapsed();
        const std::string reply = client.ask("p\n");
        if (reply == "RPRT -5\n") {
            if (firstTimeout < 0)
                firstTimeout = at;
        } else {
            EXPECT_TRUE(QString::fromStdString(reply).contains(kPosition)) << reply;
            EXPECT_LT(firstTimeout, 0) << "a position after the timeout while the unit is silent";
            if (firstTimeout < 0) {
                EXPECT_LT(at, kSilenceAfterMs + 1500) << "still a position " << at - kSilenceAfterMs
                                                      << " ms into the silence";
            }
        }
        QThread::msleep(100);
    }
    ASSERT_GE(firstTimeout, 0);
    EXPECT_LE(firstTimeout, kSilenceAfterMs + 1500);
    EXPECT_EQ(client.ask("+p\n"), "get_pos:\nRPRT -5\n");

    // The unit answers again: so does the position.
    EXPECT_TRUE(WaitFor([&] { return QString::fromStdString(client.ask("p\n")).contains(kPosition); }, 15000));
}

}  // namespace
}  // namespace vantora
