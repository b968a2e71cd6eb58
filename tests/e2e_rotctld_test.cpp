// The rotctld server of the running program against the simulated unit, driven by Hamlib's own
// network client (rotctl -m 2), by a client shaped like Gpredict's rotator controller, and
// through a unit that goes silent for a while. What reached the unit is read from the
// simulator's own state.

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

// One rotctl session fed on its standard input, for commands whose effect lasts as long as the
// client stays connected.
class InteractiveRotctl {
public:
    explicit InteractiveRotctl(quint16 port)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start("rotctl", QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port)});
    }
    ~InteractiveRotctl()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool started() { return m_process.waitForStarted(); }
    void send(const char* line)
    {
        m_process.write(line);
        m_process.write("\n");
        m_process.waitForBytesWritten();
    }
    QProcess& process() { return m_process; }
    QString output()
    {
        m_output += QString::fromLocal8Bit(m_process.readAll());
        return m_output;
    }

private:
    QProcess m_process;
    QString m_output;
};

// The probe of Hamlib's client: a target below 0 (which it refused while the server advertised
// 0..360), a turn by hand and its STOP, a reset while turning, and a turn whose client goes away.
TEST_F(RotctldEndToEnd, HamlibsClientSetsBelowZeroTurnsByHandAndResets)
{
    start({"--az-speed", "20"});  // slow enough that a client started on the way still halts it
    RotctlRun run;
    ASSERT_TRUE(WaitFor([&] {
        run = rotctl({"p"});
        return run.exitCode == 0 && run.output == "0.00\n0.00\n";
    })) << run.exitCode
        << " " << run.output.toStdString();

    // M 16 50, then S: the azimuth turns clockwise while the client holds it, then halts.
    {
        InteractiveRotctl client(e2e.rotctldPort());
        ASSERT_TRUE(client.started());
        client.send("M 16 50");
        ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 >= 30; })) << client.output().toStdString();
        EXPECT_EQ(e2e.unitTruth()->position2, 0);  // the right arrow turns the azimuth only
        client.send("S");
        QThread::msleep(500);
        const int stoppedAt = e2e.unitTruth()->position1;
        QThread::msleep(1000);
        EXPECT_EQ(e2e.unitTruth()->position1, stoppedAt);
        EXPECT_LT(stoppedAt, 150);
        client.send("q");
        EXPECT_TRUE(client.process().waitForFinished(5000));
        EXPECT_FALSE(client.output().contains("error")) << client.output().toStdString();
    }

    // P -10 20: Hamlib's client sends it, and the unit goes to 350.
    run = rotctl({"P", "-10", "20"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(unitReaches(350, 20));

    // R 1 on the way to a far target: both rotators halt short of it.
    ASSERT_EQ(rotctl({"P", "200", "80"}).exitCode, 0);  // the short way from 350: down
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 < 340; }));
    run = rotctl({"R", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    QThread::msleep(500);
    const auto resetAt = e2e.unitTruth();
    QThread::msleep(1000);
    EXPECT_EQ(e2e.unitTruth()->position1, resetAt->position1);
    EXPECT_EQ(e2e.unitTruth()->position2, resetAt->position2);
    EXPECT_GT(resetAt->position1, 200);

    // A turn never outlives its client: rotctl killed in the middle of M 8 (left) stops it.
    {
        InteractiveRotctl client(e2e.rotctldPort());
        ASSERT_TRUE(client.started());
        const int before = e2e.unitTruth()->position1;
        client.send("M 8 50");
        ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 <= before - 20; }))
            << before << " -> " << e2e.unitTruth()->position1 << " " << client.output().toStdString();
        client.process().kill();
        client.process().waitForFinished();
        QThread::msleep(500);
        const int leftAt = e2e.unitTruth()->position1;
        QThread::msleep(1000);
        EXPECT_EQ(e2e.unitTruth()->position1, leftAt);
        EXPECT_GT(leftAt, 0);
    }
}

// Rotator 2 as a second azimuth rotator: Hamlib's client sends a target with an elevation (which
// it refused while the server advertised max_el=0); the selected rotator turns, rotator 2 stays.
TEST_F(RotctldEndToEnd, HamlibsClientSetsASecondAzimuthRotatorsTarget)
{
    start({"--mode", "1"});
    RotctlRun run;
    ASSERT_TRUE(WaitFor([&] {
        run = rotctl({"p"});
        return run.exitCode == 0 && run.output == "0.00\n0.00\n";
    })) << run.exitCode
        << " " << run.output.toStdString();
    PlainClient raw(e2e.rotctldPort());
    ASSERT_TRUE(raw.ok());
    const std::string state = raw.ask("\\dump_state\n");
    EXPECT_NE(state.find("max_el=180.000000\nsouth_zero=0\nrot_type=Az\n"), std::string::npos) << state;

    run = rotctl({"P", "210", "30"});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(unitReaches(210, 0));
    QThread::msleep(1000);
    EXPECT_TRUE(unitReaches(210, 0, 100));  // the elevation went nowhere
    EXPECT_TRUE(WaitFor([&] { return rotctl({"p"}).output == "210.00\n0.00\n"; }));
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
