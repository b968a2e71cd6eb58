// The TCP command server: message decoding, and the server over real loopback sockets.
#include "track/tcp_message.h"
#include "track/ui/tcp_command_server.h"
#include "support/event_wait.h"
#include "support/loopback_client.h"
#include "support/target_sink_mock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include "support/non_reading_client.h"
#endif

using namespace vantora;
using vantora::test::MockTargetSink;
using vantora::test::WaitFor;
#ifdef Q_OS_UNIX
using vantora::test::NonReadingClient;
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// Replies (which messages act: bad_input_test, every length and every byte in every place)

TEST(TcpMessage, ReplyWritesEachPartOfTheAzimuth)
{
    const std::pair<int, const char*> cases[] = {
        {0, "$00#000@"},      {7, "$00#007@"},       {45, "$00#045@"},   {245, "$00#245@"},
        {359, "$00#359@"},    {999, "$00#999@"},     {1234, "$00#1234@"}, {65000, "$00#65000@"},
        {-13, "$00#0-1-3@"},  {-535, "$00#-5-3-5@"}, {-100, "$00#-100@"},
    };
    for (const auto& [azimuth, reply] : cases)
        EXPECT_EQ(AzimuthReply(azimuth), reply) << azimuth;
}

// ---------------------------------------------------------------------------------------------
// The server

class TcpServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<TcpCommandServer>(
            sink, [this] { return beam; }, [this](const QString& text) { reports << text; }, nullptr,
            quint16(0));
        ASSERT_TRUE(server->isListening());
        QObject::connect(server.get(), &TcpCommandServer::messageHandled,
                         [this](const QByteArray& message) { handled.push_back(message); });
    }

    std::unique_ptr<QTcpSocket> connectClient() { return test::ConnectLoopbackClient(*server); }

    // Sends bytes in one write and waits until the server has acted on `slices` messages;
    // returns the messages as the server cut them.
    std::vector<QByteArray> send(QTcpSocket& client, const QByteArray& bytes, std::size_t slices = 1)
    {
        const std::size_t before = handled.size();
        client.write(bytes);
        client.flush();
        EXPECT_TRUE(WaitFor([&] { return handled.size() >= before + slices; })) << bytes.constData();
        return std::vector<QByteArray>(handled.begin() + static_cast<std::ptrdiff_t>(before), handled.end());
    }

    // Waits for at least `size` bytes from the server and returns all that arrived.
    static QByteArray receive(QTcpSocket& client, qint64 size)
    {
        EXPECT_TRUE(WaitFor([&] { return client.bytesAvailable() >= size; }));
        return client.readAll();
    }

    // Any reply to an earlier message would arrive before the reply to this query.
    QByteArray query(QTcpSocket& client)
    {
        send(client, "$00");
        return receive(client, AzimuthReply(beam).size());
    }

    int beam = 0;
    ::testing::StrictMock<MockTargetSink> sink;
    QStringList reports;
    std::unique_ptr<TcpCommandServer> server;
    std::vector<QByteArray> handled;  // messages as the server cut them, in order
};

TEST_F(TcpServerTest, AnswersQueriesWithTheBeamAzimuthOfTheMoment)
{
    auto client = connectClient();
    EXPECT_EQ(query(*client), "$00#000@");  // before any position report
    beam = -13;
    EXPECT_EQ(query(*client), "$00#0-1-3@");
    beam = 7;
    EXPECT_EQ(send(*client, "$00abcdefg"), std::vector<QByteArray>{"$00"});
    EXPECT_EQ(receive(*client, 8), "$00#007@");
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(TcpServerTest, SetMessagesGoToNastavAndOthersAreIgnored)
{
    struct Case {
        QByteArray message;
        std::optional<int> azimuth;  // Nastav(1, azimuth, 0)
        std::vector<QByteArray> cut;  // the messages the server took from it
    };
    const Case cases[] = {
        {"$01#123@", 123, {"$01#123"}},
        {"$01 000@@@", 0, {"$01 000"}},
        {"$01#361", {}, {"$01#361"}},
        {QByteArray("\x00\xff\x01", 3), {}, {}},
    };
    beam = 42;
    auto client = connectClient();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        if (c.azimuth)
            EXPECT_CALL(sink, Nastav(1, *c.azimuth, 0));
        EXPECT_EQ(send(*client, c.message, c.cut.size()), c.cut);
        ::testing::Mock::VerifyAndClearExpectations(&sink);
        // No reply to the message itself: the next bytes are the answer to a query.
        EXPECT_EQ(query(*client), "$00#042@");
    }
}

TEST_F(TcpServerTest, TakesEachMessageOfABurst)
{
    auto client = connectClient();
    beam = 7;
    EXPECT_CALL(sink, Nastav(1, 123, 0));
    const auto messages = send(*client, "$00xxxxxxx$01#123@xx$00", 3);
    EXPECT_EQ(messages, (std::vector<QByteArray>{"$00", "$01#123", "$00"}));
    EXPECT_EQ(receive(*client, 16), "$00#007@$00#007@");

    // Two queries run together are two messages: two replies.
    EXPECT_EQ(send(*client, "$00$00", 2), (std::vector<QByteArray>{"$00", "$00"}));
    EXPECT_EQ(query(*client), "$00#007@$00#007@$00#007@");
}

// Messages written together are each taken, a message written in pieces is put together: the
// audit's three cases, over a real connection.
TEST_F(TcpServerTest, MergedMessagesAreEachTakenAndASplitOneIsReassembled)
{
    auto client = connectClient();
    beam = 7;
    {
        SCOPED_TRACE("a query then a set in one write");
        EXPECT_CALL(sink, Nastav(1, 123, 0));
        EXPECT_EQ(send(*client, "$00$01#123@", 2), (std::vector<QByteArray>{"$00", "$01#123"}));
        EXPECT_EQ(receive(*client, 8), "$00#007@");
        ::testing::Mock::VerifyAndClearExpectations(&sink);
    }
    {
        SCOPED_TRACE("a set then a query in one write");
        EXPECT_CALL(sink, Nastav(1, 124, 0));
        EXPECT_EQ(send(*client, "$01#124@$00", 2), (std::vector<QByteArray>{"$01#124", "$00"}));
        EXPECT_EQ(receive(*client, 8), "$00#007@");
        ::testing::Mock::VerifyAndClearExpectations(&sink);
    }
    {
        SCOPED_TRACE("a set in two writes 60 ms apart");
        EXPECT_CALL(sink, Nastav(1, 125, 0));
        client->write("$01#");
        client->flush();
        QElapsedTimer pause;
        pause.start();
        WaitFor([&] { return pause.elapsed() >= 60; });
        EXPECT_EQ(send(*client, "125@"), std::vector<QByteArray>{"$01#125"});
        EXPECT_EQ(query(*client), "$00#007@");
    }
}

TEST_F(TcpServerTest, ServesTwoClientsIndependently)
{
    auto first = connectClient();
    auto second = connectClient();
    ASSERT_EQ(server->clientCount(), 2);

    beam = 7;
    EXPECT_EQ(query(*first), "$00#007@");
    beam = 245;
    EXPECT_EQ(query(*second), "$00#245@");
    EXPECT_EQ(query(*first), "$00#245@");
    EXPECT_EQ(second->bytesAvailable(), 0);

    // Both ask before the server runs.
    beam = 90;
    first->write("$00");
    second->write("$00");
    first->flush();
    second->flush();
    EXPECT_EQ(receive(*first, 8), "$00#090@");
    EXPECT_EQ(receive(*second, 8), "$00#090@");

    // One leaving does not disturb the other.
    first->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));
    EXPECT_CALL(sink, Nastav(1, 10, 0));
    send(*second, "$01#010");
    EXPECT_EQ(query(*second), "$00#090@");
}

TEST_F(TcpServerTest, CapsClientsServedAtOnce)
{
    constexpr int kClients = 200;
    test::LoopbackClients clients = test::StartLoopbackClients(server->serverPort(), kClients);
    const auto count = [&](QAbstractSocket::SocketState s) { return test::CountInState(clients, s); };
    ASSERT_TRUE(WaitFor([&] {
        return server->clientCount() == TcpCommandServer::kMaxClients &&
               count(QAbstractSocket::ConnectedState) == TcpCommandServer::kMaxClients &&
               count(QAbstractSocket::UnconnectedState) == kClients - TcpCommandServer::kMaxClients;
    })) << "served " << server->clientCount() << ", connected " << count(QAbstractSocket::ConnectedState)
        << ", closed " << count(QAbstractSocket::UnconnectedState);

    beam = 123;
    for (auto& client : clients)
        if (client->state() == QAbstractSocket::ConnectedState)
            client->write("$00");
    for (auto& client : clients) {
        if (client->state() == QAbstractSocket::ConnectedState) {
            EXPECT_EQ(receive(*client, 8), "$00#123@");
        }
    }

    clients.clear();
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 0; }));
    auto late = connectClient();
    EXPECT_EQ(query(*late), "$00#123@");
}

#ifdef Q_OS_UNIX
TEST_F(TcpServerTest, DropsAClientThatNeverReads)
{
    // A client with small buffers that floods queries and reads nothing.
    NonReadingClient flooder(server->serverPort());
    ASSERT_TRUE(flooder.connected());
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));

    auto reader = connectClient();  // a well-behaved neighbour
    ASSERT_EQ(server->clientCount(), 2);

    QByteArray flood;
    for (int i = 0; i < 4000; ++i)
        flood += "$00xxxxxxx";
    const bool dropped = flooder.FloodUntil(flood, [&] { return server->clientCount() == 1; }, 512LL * 1024 * 1024);
    flooder.close();
    ASSERT_TRUE(dropped) << "sent " << flooder.sent() << " bytes";

    beam = 5;
    EXPECT_EQ(query(*reader), "$00#005@");
}
#endif

TEST(TcpServerPort, ReportsOnceWhenThePortIsTaken)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::Any, 0));
    const quint16 port = holder.serverPort();
    ::testing::StrictMock<MockTargetSink> sink;
    QStringList reports;
    TcpCommandServer server(sink, [] { return 0; }, [&](const QString& text) { reports << text; },
                            nullptr, port);
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(reports, QStringList{QStringLiteral("Unable to open TCP port %1 !").arg(port)});
    EXPECT_TRUE(server.statusText().startsWith(QStringLiteral("Cannot listen on ")))
        << server.statusText().toStdString();
    EXPECT_TRUE(server.statusText().contains(QStringLiteral(":%1: ").arg(port))) << server.statusText().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.size(), 1);
}

TEST(TcpServerPort, PortComesFromTheEnvironment)
{
    const QByteArray saved = qgetenv("VANTORA_TCP_PORT");
    const bool wasSet = qEnvironmentVariableIsSet("VANTORA_TCP_PORT");
    const std::pair<const char*, quint16> cases[] = {
        {"2023", 2023}, {"0", 0}, {"65535", 65535}, {"65536", 1023}, {"-1", 1023},
        {"port", 1023}, {"", 1023}, {"010", 10}, {"0x10", 1023},
    };
    for (const auto& [value, port] : cases) {
        qputenv("VANTORA_TCP_PORT", value);
        EXPECT_EQ(TcpCommandServer::configuredPort(), port) << value;
    }
    qunsetenv("VANTORA_TCP_PORT");
    EXPECT_EQ(TcpCommandServer::configuredPort(), 1023);

    // Without a port given, the server listens where the environment says.
    qputenv("VANTORA_TCP_PORT", "0");
    ::testing::StrictMock<MockTargetSink> sink;
    TcpCommandServer server(sink, [] { return 7; }, {});
    ASSERT_TRUE(server.isListening());
    EXPECT_NE(server.serverPort(), 0);
    EXPECT_TRUE(server.statusText().startsWith(QStringLiteral("Listening on ")));
    EXPECT_TRUE(server.statusText().endsWith(QStringLiteral(":%1").arg(server.serverPort())))
        << server.statusText().toStdString();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    ASSERT_TRUE(WaitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }));
    client.write("$00");
    ASSERT_TRUE(WaitFor([&] { return client.bytesAvailable() >= 8; }));
    EXPECT_EQ(client.readAll(), "$00#007@");

    if (wasSet)
        qputenv("VANTORA_TCP_PORT", saved);
    else
        qunsetenv("VANTORA_TCP_PORT");
}

}  // namespace
