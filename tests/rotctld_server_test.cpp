// The rotctld server over real loopback sockets (framing across segments, the idle run, caps,
// listening and its status), and the Network window's rotctld section (OK stores and applies,
// Cancel and the close box store nothing).
#include "net/ui/network_dialog.h"
#include "net/ui/rotctld_section.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/tcp_server_section.h"
#include "support/event_wait.h"
#include "support/loopback_client.h"
#include "support/recording_rotctld_actions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include "support/non_reading_client.h"
#endif

namespace vantora {
namespace {

using test::RecordingRotctldActions;
using test::RotctldCall;
using test::WaitFor;
#ifdef Q_OS_UNIX
using test::NonReadingClient;
#endif

class RotctldServerTest : public ::testing::Test {
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

    // Waits for as many bytes as `expected` holds and returns all that arrived.
    static QByteArray receive(QTcpSocket& client, const QByteArray& expected)
    {
        EXPECT_TRUE(WaitFor([&] { return client.bytesAvailable() >= expected.size(); }, 10000))
            << "have " << client.bytesAvailable() << " of " << expected.size();
        return client.readAll();
    }

    static void expectReply(QTcpSocket& client, const QByteArray& expected)
    {
        EXPECT_EQ(receive(client, expected), expected);
    }

    static void write(QTcpSocket& client, const QByteArray& bytes)
    {
        client.write(bytes);
        client.flush();
    }

    RotctldState state;
    RecordingRotctldActions actions;
    std::unique_ptr<RotctldServer> server;
};

TEST_F(RotctldServerTest, AnswersInOrderAcrossSegments)
{
    auto client = connectClient();
    write(*client, "p\r\n");
    expectReply(*client, "123.00\n45.00\n");

    // Two commands in one segment: both replies, in order.
    write(*client, "P 10,5 20,5\n+p\n");
    expectReply(*client, "RPRT 0\nget_pos:\nAzimuth: 123.00\nElevation: 45.00\nRPRT 0\n");
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{{"set", 3, 10, 20}}));

    // One command over three segments, each sent after the server has read the one before.
    int queued = 0;
    QObject::connect(server.get(), &RotctldServer::repliesQueued, [&] { ++queued; });
    for (const char* part : {"\\dump", "_sta", "te\n"}) {
        const int before = queued;
        write(*client, part);
        ASSERT_TRUE(WaitFor([&] { return queued > before; }));
    }
    expectReply(*client,
                "1\n1\nmin_az=-180.000000\nmax_az=540.000000\nmin_el=0.000000\nmax_el=180.000000\nsouth_zero=0\n"
                "rot_type=AzEl\ndone\n");

    // The unit goes quiet: the position is refused, never repeated stale.
    state.positionFresh = false;
    write(*client, "p\n;p\n");
    expectReply(*client, "RPRT -5\nget_pos:;RPRT -5\n");
}

TEST_F(RotctldServerTest, RunsAQueryWithoutLineEndAfterSilence)
{
    auto client = connectClient();
    write(*client, "+p");
    // Nothing before the client has been quiet for a while, then the query runs.
    QElapsedTimer elapsed;
    elapsed.start();
    expectReply(*client, "get_pos:\nAzimuth: 123.00\nElevation: 45.00\nRPRT 0\n");
    EXPECT_GE(elapsed.elapsed(), kRotctldIdleRunMs - 50);

    // Each further byte restarts the wait; only the complete command runs, once.
    write(*client, "p");
    QThread::msleep(100);
    write(*client, "\n");
    expectReply(*client, "123.00\n45.00\n");
    QThread::msleep(2 * kRotctldIdleRunMs);
    QCoreApplication::processEvents();
    EXPECT_EQ(client->bytesAvailable(), 0);
}

TEST_F(RotctldServerTest, QuitClosesOverlongLinesAreRefused)
{
    auto client = connectClient();
    write(*client, QByteArray(300, 'x') + "\np\n");
    expectReply(*client, "RPRT -1\n123.00\n45.00\n");
    write(*client, "x\nS\nq\nK\n");
    expectReply(*client, "RPRT -4\nRPRT 0\n");
    EXPECT_TRUE(WaitFor([&] { return client->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(WaitFor([&] { return server->clientCount() == 0; }));
    EXPECT_EQ(actions.calls, (std::vector<RotctldCall>{{"stop"}}));  // nothing after q
}

TEST_F(RotctldServerTest, CapsClientsServedAtOnce)
{
    constexpr int kClients = 40;
    test::LoopbackClients clients = test::StartLoopbackClients(server->serverPort(), kClients);
    const auto count = [&](QAbstractSocket::SocketState s) { return test::CountInState(clients, s); };
    ASSERT_TRUE(WaitFor([&] {
        return server->clientCount() == RotctldServer::kMaxClients &&
               count(QAbstractSocket::ConnectedState) == RotctldServer::kMaxClients &&
               count(QAbstractSocket::UnconnectedState) == kClients - RotctldServer::kMaxClients;
    })) << "served " << server->clientCount();
    // Each served client has its own buffer: halves of commands do not mix.
    for (auto& client : clients)
        if (client->state() == QAbstractSocket::ConnectedState)
            write(*client, "_");
    for (auto& client : clients)
        if (client->state() == QAbstractSocket::ConnectedState)
            write(*client, "\n");
    for (auto& client : clients)
        if (client->state() == QAbstractSocket::ConnectedState)
            expectReply(*client, "Vantora 1.09\n");
    clients.clear();
    EXPECT_TRUE(WaitFor([&] { return server->clientCount() == 0; }));
}

#ifdef Q_OS_UNIX
TEST_F(RotctldServerTest, DropsAClientThatNeverReads)
{
    NonReadingClient flooder(server->serverPort());
    ASSERT_TRUE(flooder.connected());
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));
    auto reader = connectClient();

    // "\\dump_state" asks for 121 bytes with 12: the replies pile up much faster than the queries.
    QByteArray flood;
    for (int i = 0; i < 300; ++i)
        flood += "\\dump_state\n";
    const bool dropped = flooder.FloodUntil(flood, [&] { return server->clientCount() == 1; }, 256LL * 1024 * 1024);
    flooder.close();
    ASSERT_TRUE(dropped) << "sent " << flooder.sent() << " bytes";
    write(*reader, "p\n");
    expectReply(*reader, "123.00\n45.00\n");
}
#endif

TEST(RotctldServerListen, StatusOffTakenPortAndListenAnew)
{
    RecordingRotctldActions actions;
    RotctldServer server(actions, [] { return RotctldState{}; });
    EXPECT_EQ(server.statusText(), "Switched off");
    EXPECT_FALSE(server.listen(RotctldSettings{false, 4533, "127.0.0.1"}));
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(server.statusText(), "Switched off");

    // Port taken: not listening, and the status says where and why.
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    const quint16 taken = holder.serverPort();
    EXPECT_FALSE(server.listen(RotctldSettings{true, taken, "127.0.0.1"}));
    const QString status = server.statusText();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Cannot listen on 127.0.0.1:%1: ").arg(taken))) << status.toStdString();
    EXPECT_GT(status.size(), QStringLiteral("Cannot listen on 127.0.0.1:%1: ").arg(taken).size());

    // The same settings again (OK in the window) try again: the port is free now.
    holder.close();
    EXPECT_TRUE(server.listen(RotctldSettings{true, taken, "127.0.0.1"}));
    EXPECT_EQ(server.statusText(), QStringLiteral("Listening on 127.0.0.1:%1").arg(taken));
    const auto czech = [](const std::string& english) {
        return english == "Listening on %1" ? std::string("Naslouchá na %1") : english;
    };
    EXPECT_EQ(server.statusText(czech), QStringLiteral("Naslouchá na 127.0.0.1:%1").arg(taken));

    // A client of the old port is let go when the server moves.
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, taken);
    ASSERT_TRUE(WaitFor([&] { return server.clientCount() == 1; }));
    EXPECT_TRUE(server.listen(RotctldSettings{true, 0, "0.0.0.0"}));
    EXPECT_NE(server.serverPort(), taken);
    EXPECT_TRUE(WaitFor([&] { return client.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(server.clientCount(), 0);
    EXPECT_EQ(server.statusText(), QStringLiteral("Listening on 0.0.0.0:%1").arg(server.serverPort()));

    EXPECT_TRUE(server.listen(RotctldSettings{true, 0, "::"}));
    EXPECT_TRUE(server.statusText().startsWith(QStringLiteral("Listening on [::]:")));
    QTcpSocket v4;
    v4.connectToHost(QHostAddress::LocalHost, server.serverPort());  // "every address" includes IPv4
    EXPECT_TRUE(WaitFor([&] { return server.clientCount() == 1; }));
}

// ---- the Network window ------------------------------------------------------------------------

struct FakeRotctldBackend {
    RotctldSettings stored;
    std::vector<RotctldSettings> applied;
    RotctldControl control()
    {
        RotctldControl c;
        c.stored = [this] { return stored; };
        c.storeAndApply = [this](const RotctldSettings& s) {
            stored = s;
            applied.push_back(s);
        };
        c.status = [this](const StatusTranslateFn&) { return QStringLiteral("status %1").arg(applied.size()); };
        return c;
    }
};

TEST(NetworkWindow, OkStoresAndAppliesCancelAndCloseStoreNothing)
{
    FakeRotctldBackend backend;
    backend.stored = RotctldSettings{true, 4533, "0.0.0.0"};
    int enabled = 0;
    NetworkDialog dialog({}, [&] { ++enabled; });
    dialog.addSection(new RotctldSection(backend.control(), {}));
    dialog.addSection(new TcpServerSection([](const StatusTranslateFn&) { return QStringLiteral("Listening on 0.0.0.0:1023"); }, {}));
    auto* on = dialog.findChild<QCheckBox*>("RotctldEnabled");
    auto* scope = dialog.findChild<QComboBox*>("RotctldScope");
    auto* port = dialog.findChild<QSpinBox*>("RotctldPort");
    auto* status = dialog.findChild<QLabel*>("RotctldStatus");
    auto* legacy = dialog.findChild<QLineEdit*>("TcpServerStatus");
    ASSERT_TRUE(on && scope && port && status && legacy);

    dialog.show();
    EXPECT_TRUE(on->isChecked());
    EXPECT_EQ(scope->currentIndex(), 1);  // a wide address
    EXPECT_EQ(port->value(), 4533);
    EXPECT_EQ(status->text(), "status 0");
    EXPECT_EQ(legacy->text(), "Listening on 0.0.0.0:1023");
    EXPECT_TRUE(legacy->isReadOnly());

    // OK with the wide choice untouched keeps the stored wide address as it was.
    port->setValue(4600);
    dialog.findChild<QPushButton*>("Button1")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(enabled, 1);
    ASSERT_EQ(backend.applied.size(), 1u);
    EXPECT_EQ(backend.applied[0], (RotctldSettings{true, 4600, "0.0.0.0"}));

    // Cancel: nothing stored, and the next show starts from the stored values again.
    dialog.show();
    on->setChecked(false);
    scope->setCurrentIndex(0);
    port->setValue(5000);
    dialog.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(enabled, 2);
    EXPECT_EQ(backend.applied.size(), 1u);
    dialog.show();
    EXPECT_TRUE(on->isChecked());
    EXPECT_EQ(port->value(), 4600);

    // The close box stores nothing either.
    port->setValue(5001);
    dialog.close();
    EXPECT_EQ(enabled, 3);
    EXPECT_EQ(backend.applied.size(), 1u);

    // Loopback, switched off; then "All network interfaces" from loopback means every address.
    dialog.show();
    scope->setCurrentIndex(0);
    on->setChecked(false);
    dialog.Button1Click();
    EXPECT_EQ(backend.applied.back(), (RotctldSettings{false, 4600, "127.0.0.1"}));
    dialog.show();
    scope->setCurrentIndex(1);
    dialog.Button1Click();
    EXPECT_EQ(backend.applied.back(), (RotctldSettings{false, 4600, "::"}));
}

}  // namespace
}  // namespace vantora

namespace vantora {
namespace {

TEST(NetworkWindow, APortSetByTheVariableIsShownAndTheStoredOneKept)
{
    FakeRotctldBackend backend;
    backend.stored = RotctldSettings{true, 4533, "127.0.0.1"};
    NetworkDialog dialog({}, [] {});
    RotctldControl control = backend.control();
    control.environmentPort = [] { return std::optional<int>(4600); };
    dialog.addSection(new RotctldSection(std::move(control), {}));
    auto* port = dialog.findChild<QSpinBox*>("RotctldPort");
    auto* note = dialog.findChild<QLabel*>("RotctldPortNote");
    ASSERT_TRUE(port && note);

    dialog.show();
    EXPECT_EQ(port->value(), 4600);  // the port in force, not the stored 4533
    EXPECT_FALSE(port->isEnabled());
    EXPECT_EQ(note->text(), "Port 4600, set by VANTORA_ROTCTLD_PORT");

    // OK keeps the stored port: the variable's port is not written into the settings file.
    dialog.findChild<QPushButton*>("Button1")->click();
    ASSERT_EQ(backend.applied.size(), 1u);
    EXPECT_EQ(backend.applied[0], (RotctldSettings{true, 4533, "127.0.0.1"}));
}

}  // namespace
}  // namespace vantora
