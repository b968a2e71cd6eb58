// The rotctld server's hand drive and its unended commands over real loopback sockets: how long
// a turn started by "M" lasts (S, P, K, R from any client, its own client leaving, the time
// limit), a target split by a pause, and what a client leaves unended when it closes its side.
#include "net/ui/rotctld_server.h"
#include "support/event_wait.h"
#include "support/loopback_client.h"
#include "support/recording_rotctld_actions.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::RecordingRotctldActions;
using test::RotctldCall;
using test::WaitFor;

const RotctldCall kTurnRight{"move", 16};
const RotctldCall kRelease{"move", 0};

class RotctldHandDriveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.positionFresh = true;
        state.rotator2Mode = 2;
        state.beamAzimuth = 123;
        state.rotator2Position = 45;
        state.info = "Vantora 1.09";
        server = std::make_unique<RotctldServer>(actions, [this] { return state; });
        ASSERT_TRUE(server->listen(RotctldSettings{true, 0, "127.0.0.1"}));
    }

    std::unique_ptr<QTcpSocket> connectClient() { return test::ConnectLoopbackClient(*server); }

    static QByteArray ask(QTcpSocket& client, const QByteArray& command, const QByteArray& reply)
    {
        client.write(command);
        client.flush();
        EXPECT_TRUE(WaitFor([&] { return client.bytesAvailable() >= reply.size(); }, 10000)) << command.constData();
        return client.readAll();
    }

    // Runs the event loop for `ms`, whatever happens meanwhile.
    static void pause(int ms)
    {
        WaitFor([] { return false; }, ms);
    }

    RotctldState state;
    RecordingRotctldActions actions;
    std::unique_ptr<RotctldServer> server;
};

TEST_F(RotctldHandDriveTest, ATurnEndsWithEveryCommandThatTakesOverAndWithItsClient)
{
    struct Case {
        const char* name;
        // What ends the turn, given the client that started it and another one.
        std::function<void(QTcpSocket& mover, QTcpSocket& other)> end;
        std::vector<RotctldCall> after;  // the calls after the release
    };
    const std::vector<Case> cases = {
        {"S from the mover", [](QTcpSocket& m, QTcpSocket&) { ask(m, "S\n", "RPRT 0\n"); }, {{"stop"}}},
        {"S from another client", [](QTcpSocket&, QTcpSocket& o) { ask(o, "S\n", "RPRT 0\n"); }, {{"stop"}}},
        {"P from another client",
         [](QTcpSocket&, QTcpSocket& o) { ask(o, "P 10 20\n", "RPRT 0\n"); },
         {{"set", 3, 10, 20}}},
        {"K", [](QTcpSocket& m, QTcpSocket&) { ask(m, "\\park\n", "RPRT 0\n"); }, {{"park"}}},
        {"R", [](QTcpSocket& m, QTcpSocket&) { ask(m, "R 1\n", "RPRT 0\n"); }, {{"stop"}}},
        {"the mover closes", [](QTcpSocket& m, QTcpSocket&) { m.disconnectFromHost(); }, {}},
        {"the mover vanishes", [](QTcpSocket& m, QTcpSocket&) { m.abort(); }, {}},
        {"the server closes", [this](QTcpSocket&, QTcpSocket&) { server->close(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server->listen(RotctldSettings{true, 0, "127.0.0.1"}));
        actions.calls.clear();
        auto mover = connectClient();
        auto other = connectClient();
        EXPECT_EQ(ask(*mover, "M 16 50\n", "RPRT 0\n"), "RPRT 0\n");
        EXPECT_TRUE(server->handDriveHeld());
        // A query from anyone leaves the turn alone.
        EXPECT_EQ(ask(*other, "p\n", "123.00\n45.00\n"), "123.00\n45.00\n");
        EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{kTurnRight}));

        c.end(*mover, *other);
        std::vector<RotctldCall> expected{kTurnRight, kRelease};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_TRUE(WaitFor([&] { return actions.calls.size() >= expected.size(); }, 5000));
        EXPECT_EQ(actions.calls, expected);
        EXPECT_FALSE(server->handDriveHeld());
        server->close();
    }
}

TEST_F(RotctldHandDriveTest, TheTimeLimitEndsATurnAndEachMoveRenewsIt)
{
    constexpr int kLimitMs = 400;
    server->setMoveLimitMs(kLimitMs);
    auto client = connectClient();
    ask(*client, "M 8 50\n", "RPRT 0\n");
    // Renewed before it runs out: still turning after more than one limit in all.
    pause(kLimitMs / 2);
    ask(*client, "M 8 50\n", "RPRT 0\n");
    pause(kLimitMs * 3 / 4);
    EXPECT_TRUE(server->handDriveHeld());
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{{"move", 8}, {"move", 8}}));
    // Then the limit ends it, though the client stays connected.
    EXPECT_TRUE(WaitFor([&] { return !server->handDriveHeld(); }, 5000));
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{{"move", 8}, {"move", 8}, kRelease}));
    EXPECT_EQ(client->state(), QAbstractSocket::ConnectedState);
}

TEST_F(RotctldHandDriveTest, TheLastMoverOwnsTheTurn)
{
    auto first = connectClient();
    auto second = connectClient();
    ask(*first, "M 16 50\n", "RPRT 0\n");
    ask(*second, "M 2 50\n", "RPRT 0\n");
    // The first client leaving does not end the second one's turn.
    first->abort();
    EXPECT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));
    EXPECT_TRUE(server->handDriveHeld());
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{kTurnRight, {"move", 2}}));
    // A refused move changes nothing.
    ask(*second, "M 3 50\n", "RPRT -1\n");
    EXPECT_TRUE(server->handDriveHeld());
    second->abort();
    EXPECT_TRUE(WaitFor([&] { return !server->handDriveHeld(); }));
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{kTurnRight, {"move", 2}, kRelease}));
}

TEST_F(RotctldHandDriveTest, ASplitTargetRunsWholeOnceAfterAPause)
{
    auto client = connectClient();
    client->write("P 123 4");
    client->flush();
    pause(kRotctldIdleRunMs * 3 / 2);  // 450 ms: longer than the quiet that runs a query
    EXPECT_EQ(client->bytesAvailable(), 0);
    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(ask(*client, "5\n", "RPRT 0\n"), "RPRT 0\n");
    // In step: the next command's reply is the next reply.
    EXPECT_EQ(ask(*client, "_\n", "Vantora 1.09\n"), "Vantora 1.09\n");
    pause(kRotctldIdleRunMs * 2);
    EXPECT_EQ(client->bytesAvailable(), 0);
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{{"set", 3, 123, 45}}));
}

// A plain socket, for closing only the sending side.
class HalfClosingClient {
public:
    explicit HalfClosingClient(quint16 port)
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
    }
    ~HalfClosingClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void sendAndHalfClose(const std::string& bytes)
    {
        EXPECT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
        ::shutdown(m_fd, SHUT_WR);
    }
    // What arrives until the server closes, or until the wait ends, the event loop running.
    std::string receiveAll(int limitMs)
    {
        std::string received;
        WaitFor(
            [&] {
                char buffer[512];
                const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got > 0)
                    received.append(buffer, static_cast<std::size_t>(got));
                return got == 0;
            },
            limitMs);
        return received;
    }

private:
    int m_fd = -1;
};

TEST_F(RotctldHandDriveTest, WhatIsLeftUnendedRunsWhenTheClientClosesItsSide)
{
    struct Case {
        const char* bytes;
        const char* replies;
        std::vector<RotctldCall> calls;
    };
    const std::vector<Case> cases = {
        {"_", "Vantora 1.09\n", {}},
        {"p\n+_", "123.00\n45.00\nget_info:\nInfo: Vantora 1.09\nRPRT 0\n", {}},
        {"P 90 45", "RPRT 0\n", {{"set", 3, 90, 45}}},
        {"S\nK", "RPRT 0\nRPRT 0\n", {{"stop"}, {"park"}}},
        {"p\n", "123.00\n45.00\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        actions.calls.clear();
        HalfClosingClient client(server->serverPort());
        ASSERT_TRUE(client.ok());
        ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));
        client.sendAndHalfClose(c.bytes);
        // The end runs it, a change too, which the quiet never runs.
        std::string received;
        EXPECT_TRUE(WaitFor(
            [&] {
                received += client.receiveAll(10);
                return received.size() >= std::string(c.replies).size();
            },
            5000));
        EXPECT_EQ(received, c.replies);
        EXPECT_EQ(actions.calls, c.calls);
        EXPECT_TRUE(WaitFor([&] { return server->clientCount() == 0; }));
    }
}

}  // namespace
}  // namespace vantora
