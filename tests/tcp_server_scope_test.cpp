// Port 1023 limited to this computer and to some senders: the stored values, the Network
// window's section, and the server over real loopback sockets.
#include "net/ui/network_dialog.h"
#include "net/ui/tcp_server_section.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/target_sink_mock.h"
#include "track/tcp_server_settings.h"
#include "track/ui/tcp_command_server.h"

#include <QComboBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantora {
namespace {

using test::FakeSettingsStore;
using test::WaitFor;

TEST(TcpServerSettings, MissingValuesKeepTheServerOpenToAllAndUnknownAddressesNarrow)
{
    struct Case {
        const char* name;
        std::optional<std::string> address;
        std::optional<std::string> acceptFrom;
        TcpServerSettings expected;
    };
    const Case cases[] = {
        {"nothing stored: every address, anyone", std::nullopt, std::nullopt, {"::", ""}},
        {"this computer", "127.0.0.1", "10.0.0.0/8", {"127.0.0.1", "10.0.0.0/8"}},
        {"all interfaces", "::", "", {"::", ""}},
        {"unknown address: never wider than asked", "192.168.1.5", std::nullopt, {"127.0.0.1", ""}},
        {"empty address", "", std::nullopt, {"127.0.0.1", ""}},
    };
    for (const Case& c : cases) {
        FakeSettingsStore store;
        if (c.address)
            store.values["TcpAddress"] = *c.address;
        if (c.acceptFrom)
            store.values["TcpAcceptFrom"] = *c.acceptFrom;
        EXPECT_EQ(LoadTcpServerSettings(store), c.expected) << c.name;
    }
    FakeSettingsStore store;
    ASSERT_TRUE(SaveTcpServerSettings(store, {"127.0.0.1", "192.168.1.0/24"}));
    EXPECT_EQ(LoadTcpServerSettings(store), (TcpServerSettings{"127.0.0.1", "192.168.1.0/24"}));
    store.writable = false;
    EXPECT_FALSE(SaveTcpServerSettings(store, {}));
}

TEST(TcpServerSection, OkStoresAndAppliesBothChoices)
{
    TcpServerSettings stored;  // the default: all interfaces, anyone
    std::vector<TcpServerSettings> applied;
    TcpServerControl control;
    control.stored = [&] { return stored; };
    control.storeAndApply = [&](const TcpServerSettings& s) {
        stored = s;
        applied.push_back(s);
    };
    control.status = [](const StatusTranslateFn&) { return QStringLiteral("Listening on [::]:1023"); };
    NetworkDialog dialog({}, [] {});
    dialog.addSection(new TcpServerSection(std::move(control), {}));
    auto* scope = dialog.findChild<QComboBox*>("TcpServerScope");
    auto* acceptFrom = dialog.findChild<QLineEdit*>("TcpAcceptFrom");
    auto* status = dialog.findChild<QLineEdit*>("TcpServerStatus");
    ASSERT_TRUE(scope && acceptFrom && status);

    dialog.show();
    EXPECT_EQ(scope->currentIndex(), 1);  // all network interfaces
    EXPECT_EQ(scope->itemText(0), "Only this computer");
    EXPECT_EQ(acceptFrom->text(), "");
    EXPECT_EQ(status->text(), "Listening on [::]:1023");

    scope->setCurrentIndex(0);
    acceptFrom->setText(" 127.0.0.0/8 ");
    dialog.findChild<QPushButton*>("Button1")->click();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], (TcpServerSettings{"127.0.0.1", "127.0.0.0/8"}));

    dialog.show();
    EXPECT_EQ(scope->currentIndex(), 0);
    EXPECT_EQ(acceptFrom->text(), "127.0.0.0/8");
}

class TcpServerScopeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<TcpCommandServer>(
            sink, [] { return 7; }, TcpCommandServer::Report{}, nullptr, quint16(0));
        ASSERT_TRUE(server->isListening());
    }

    // A client from `source`; true when it is served (a query answered), false when the server
    // closed it.
    bool servedFrom(const char* source)
    {
        QTcpSocket client;
        EXPECT_TRUE(client.bind(QHostAddress(QString::fromLatin1(source)), 0));
        client.connectToHost(QHostAddress::LocalHost, server->serverPort());
        if (!WaitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }, 5000))
            return false;
        client.write("$00");
        client.flush();
        WaitFor([&] { return client.bytesAvailable() >= 8 || client.state() == QAbstractSocket::UnconnectedState; },
                5000);
        return client.readAll() == "$00#007@";
    }

    ::testing::StrictMock<test::MockTargetSink> sink;
    std::unique_ptr<TcpCommandServer> server;
};

TEST_F(TcpServerScopeTest, ListensWhereAskedAndServesOnlyWhomAcceptFromAdmits)
{
    // Every address, as the server always listened.
    EXPECT_EQ(
        server->statusText(),
        QStringLiteral("Listening on %1:%2").arg(QHostAddress(QHostAddress::Any).toString()).arg(server->serverPort()));

    server->configure({"127.0.0.1", ""});
    ASSERT_TRUE(server->isListening());
    EXPECT_EQ(server->statusText(), QStringLiteral("Listening on 127.0.0.1:%1").arg(server->serverPort()));
    EXPECT_TRUE(servedFrom("127.0.0.1"));

    struct Case {
        const char* acceptFrom;
        bool fromOne, fromTwo;
    };
    const Case cases[] = {
        {"", true, true},
        {"127.0.0.2", false, true},
        {"127.0.0.0/30", true, true},
        {"10.0.0.0/8", false, false},
    };
    for (const Case& c : cases) {
        server->configure({"127.0.0.1", c.acceptFrom});
        ASSERT_TRUE(server->isListening()) << c.acceptFrom;
        EXPECT_EQ(servedFrom("127.0.0.1"), c.fromOne) << c.acceptFrom;
        EXPECT_EQ(servedFrom("127.0.0.2"), c.fromTwo) << c.acceptFrom;
    }
}

TEST_F(TcpServerScopeTest, ANarrowerAcceptFromDropsClientsItNoLongerAdmits)
{
    QTcpSocket one;
    one.connectToHost(QHostAddress::LocalHost, server->serverPort());
    ASSERT_TRUE(WaitFor([&] { return server->clientCount() == 1; }));
    server->configure({"::", "127.0.0.2"});
    EXPECT_EQ(server->clientCount(), 0);
    EXPECT_TRUE(WaitFor([&] { return one.state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(TcpServerScopeTest, AnAcceptFromWithHostBitsStopsTheServerAndSaysWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"127.0.0.1/8", "has address bits set beyond its prefix length"},
        {"localhost", "is not an IPv4 address or subnet"},
    };
    for (const auto& [acceptFrom, reason] : cases) {
        server->configure({"::", acceptFrom});
        EXPECT_FALSE(server->isListening()) << acceptFrom;
        EXPECT_TRUE(server->statusText().startsWith("Cannot listen on ")) << server->statusText().toStdString();
        EXPECT_TRUE(server->statusText().contains(reason)) << server->statusText().toStdString();
        EXPECT_FALSE(servedFrom("127.0.0.1")) << acceptFrom;
    }
    server->configure({"::", "127.0.0.0/8"});
    EXPECT_TRUE(server->isListening());
    EXPECT_TRUE(servedFrom("127.0.0.1"));
}

}  // namespace
}  // namespace vantora
