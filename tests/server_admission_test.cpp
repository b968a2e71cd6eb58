// Idle connections over real loopback sockets: on a full port 1023 or rotctld server the
// connection silent longest gives way to a newcomer after 5 s of silence, busy ones stay, an
// address keeps no more than its share against others, and ten minutes of silence close a
// connection. Clients come from several loopback addresses (127.0.0.2, ...) to be told apart.
#include "net/ui/rotctld_server.h"
#include "support/event_wait.h"
#include "support/recording_rotctld_actions.h"
#include "support/target_sink_mock.h"
#include "track/ui/tcp_command_server.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantora {
namespace {

using test::WaitFor;

// A client from `source` (a loopback address), connected as the client sees it.
std::unique_ptr<QTcpSocket> ClientFrom(const char* source, quint16 port)
{
    auto client = std::make_unique<QTcpSocket>();
    EXPECT_TRUE(client->bind(QHostAddress(QString::fromLatin1(source)), 0)) << source;
    client->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(WaitFor([&] { return client->state() == QAbstractSocket::ConnectedState; }, 10000)) << source;
    return client;
}

// True when the server has closed the client's connection (it sees the end), false when it is
// still served after `settleMs` of events.
bool ClosedByServer(QTcpSocket& client, int settleMs = 300)
{
    QElapsedTimer settle;
    settle.start();
    WaitFor([&] { return client.state() == QAbstractSocket::UnconnectedState || settle.elapsed() >= settleMs; });
    return client.state() == QAbstractSocket::UnconnectedState;
}

// ---------------------------------------------------------------------------------------------
// Port 1023

class TcpAdmissionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<TcpCommandServer>(
            sink, [] { return 7; }, TcpCommandServer::Report{}, nullptr, quint16(0));
        ASSERT_TRUE(server->isListening());
        server->setClock([this] { return clockMs; });
    }

    // Connects `count` clients from 127.0.0.<first>.. (8 each) and waits until all are served.
    void fill(int count, int firstHost)
    {
        for (int i = 0; i < count; ++i) {
            const QByteArray source =
                "127.0.0." + QByteArray::number(firstHost + i / TcpCommandServer::kMaxClientsPerAddress);
            clients.push_back(ClientFrom(source.constData(), server->serverPort()));
        }
        ASSERT_TRUE(WaitFor([&] { return server->clientCount() == count; })) << server->clientCount();
    }

    // A query answered proves the client is served.
    bool answers(QTcpSocket& client)
    {
        client.write("$00");
        client.flush();
        return WaitFor([&] { return client.bytesAvailable() >= 8; }, 5000) && client.readAll() == "$00#007@";
    }

    qint64 clockMs = 0;
    ::testing::StrictMock<test::MockTargetSink> sink;
    std::unique_ptr<TcpCommandServer> server;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
};

TEST_F(TcpAdmissionTest, SilentConnectionsGiveWayToANewcomerAndBusyOnesStay)
{
    fill(TcpCommandServer::kMaxClients, 2);  // 64 connections that say nothing, 8 per address
    // Full, and nobody silent for 5 s yet: refused, as before.
    auto early = ClientFrom("127.0.0.20", server->serverPort());
    EXPECT_TRUE(ClosedByServer(*early));
    EXPECT_EQ(server->clientCount(), TcpCommandServer::kMaxClients);

    // The first client talks at 4 s; at 5 s the second one has been silent longest.
    clockMs = 4000;
    ASSERT_TRUE(answers(*clients[0]));
    clockMs = 5000;
    auto newcomer = ClientFrom("127.0.0.20", server->serverPort());
    EXPECT_TRUE(answers(*newcomer));
    EXPECT_TRUE(ClosedByServer(*clients[1]));
    EXPECT_FALSE(ClosedByServer(*clients[0], 50));
    EXPECT_TRUE(answers(*clients[0]));
    EXPECT_EQ(server->clientCount(), TcpCommandServer::kMaxClients);
}

TEST_F(TcpAdmissionTest, AnAddressAtItsShareMakesRoomOnlyFromItself)
{
    fill(TcpCommandServer::kMaxClients, 2);  // 127.0.0.2 holds clients 0..7
    clockMs = 10000;
    for (int i = 0; i < 8; ++i)  // 127.0.0.2's clients talk; every other address stays silent
        ASSERT_TRUE(answers(*clients[static_cast<std::size_t>(i)]));
    clockMs = 12000;
    auto ninth = ClientFrom("127.0.0.2", server->serverPort());
    EXPECT_TRUE(ClosedByServer(*ninth));  // its own are busy; strangers' silence is not its room
    EXPECT_FALSE(ClosedByServer(*clients[8], 50));

    clockMs = 15000;  // now 127.0.0.2's own have been silent 5 s: its oldest gives way
    auto again = ClientFrom("127.0.0.2", server->serverPort());
    EXPECT_TRUE(answers(*again));
    EXPECT_TRUE(ClosedByServer(*clients[0]));
}

TEST_F(TcpAdmissionTest, TenMinutesOfSilenceCloseAConnection)
{
    fill(3, 2);
    clockMs = 9 * 60 * 1000;
    ASSERT_TRUE(answers(*clients[2]));
    clockMs = 10 * 60 * 1000;
    server->closeSilentClients();
    EXPECT_TRUE(ClosedByServer(*clients[0]));
    EXPECT_TRUE(ClosedByServer(*clients[1]));
    EXPECT_TRUE(answers(*clients[2]));
    EXPECT_EQ(server->clientCount(), 1);
}

TEST_F(TcpAdmissionTest, ManyBusyClientsOfOneAddressAreServedWhilePlacesAreFree)
{
    // As the benchmark's load: 50 clients of 127.0.0.1, beyond the share, all served.
    for (int i = 0; i < 50; ++i)
        clients.push_back(ClientFrom("127.0.0.1", server->serverPort()));
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 50; })) << server->clientCount();
    for (auto& client : clients)
        EXPECT_TRUE(answers(*client));
}

// ---------------------------------------------------------------------------------------------
// rotctld

class RotctldAdmissionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.positionFresh = true;
        state.rotator2Mode = 2;  // elevation: "p" answers two lines
        state.beamAzimuth = 123;
        state.rotator2Position = 45;
        server = std::make_unique<RotctldServer>(actions, [this] { return state; });
        ASSERT_TRUE(server->listen(RotctldSettings{true, 0, "127.0.0.1"}));
        server->setClock([this] { return clockMs; });
    }

    std::unique_ptr<QTcpSocket> connect(const char* source)
    {
        auto client = ClientFrom(source, server->serverPort());
        return client;
    }

    bool answers(QTcpSocket& client)
    {
        client.write("p\n");
        client.flush();
        return WaitFor([&] { return client.peek(64).count('\n') >= 2; }, 5000) && client.readAll() == "123.00\n45.00\n";
    }

    qint64 clockMs = 0;
    RotctldState state;
    test::RecordingRotctldActions actions;
    std::unique_ptr<RotctldServer> server;
};

TEST_F(RotctldAdmissionTest, SixteenIdleClientsNoLongerLockEveryoneOut)
{
    // 12 silent clients of 127.0.0.2 and 4 of 127.0.0.3 fill the 16 places.
    std::vector<std::unique_ptr<QTcpSocket>> twos, threes;
    for (int i = 0; i < 12; ++i)
        twos.push_back(connect("127.0.0.2"));
    for (int i = 0; i < 4; ++i)
        threes.push_back(connect("127.0.0.3"));
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == RotctldServer::kMaxClients; }));

    clockMs = 3000;
    for (auto& c : threes)
        ASSERT_TRUE(answers(*c));
    clockMs = 6000;
    // 127.0.0.3 is at its share of 4 and its own were heard 3 s ago: refused.
    auto fifth = connect("127.0.0.3");
    EXPECT_TRUE(ClosedByServer(*fifth));
    // 127.0.0.4 holds nothing: the client silent longest (one of 127.0.0.2's) gives way.
    auto newcomer = connect("127.0.0.4");
    EXPECT_TRUE(answers(*newcomer));
    EXPECT_TRUE(ClosedByServer(*twos[0]));

    // All talk now; 127.0.0.2, far beyond its share, still gives up a place to another address.
    clockMs = 7000;
    for (std::size_t i = 1; i < twos.size(); ++i)
        ASSERT_TRUE(answers(*twos[i]));
    clockMs = 7100;
    auto another = connect("127.0.0.5");
    EXPECT_TRUE(answers(*another));
    EXPECT_TRUE(ClosedByServer(*twos[1]));
    for (auto& c : threes)
        EXPECT_FALSE(ClosedByServer(*c, 20));
    EXPECT_EQ(server->clientCount(), RotctldServer::kMaxClients);

    clockMs += 10 * 60 * 1000;
    server->closeSilentClients();
    EXPECT_TRUE(WaitFor([&] { return server->clientCount() == 0; }));
}

}  // namespace
}  // namespace vantora
