// The MQTT bridge against a real broker (mosquitto started by the test) with a station of the
// test's own: retained values and their changes, commands and refused payloads, a retained
// command, saying "offline" on the way out, a broker that goes away and comes back, a refused
// password, TLS with a certificate made here, unreachable brokers, discovery; and the Network
// window's MQTT section.
#include "mqtt/ui/mqtt_bridge.h"
#include "mqtt/ui/mqtt_section.h"
#include "settings/translate.h"
#include "support/event_wait.h"
#include "support/fake_station_control.h"
#include "support/mqtt_broker.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace vantora {
namespace {

using test::FakeStationControl;
using test::MqttBroker;
using test::MqttWatcher;
using test::SeenMessage;
using test::WaitFor;
using Strings = std::vector<std::string>;

constexpr char kPrefix[] = "test/ok1abc";

QString Topic(const char* suffix)
{
    return QString(kPrefix) + "/" + suffix;
}

class MqttBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        station.snapshot.callsign = "OK1ABC";
        station.snapshot.homeLocator = "JO70FD";
        station.snapshot.rotator1 = {123, 1, "120\xc2\xb0"};
        station.snapshot.rotator2 = {10, 1, "0\xc2\xb0"};
        station.snapshot.linkFresh = true;
        bridge = std::make_unique<MqttBridge>(station, events);
    }

    MqttSettings settingsFor(const MqttBroker& broker) const
    {
        MqttSettings settings;
        settings.enabled = true;
        settings.host = "127.0.0.1";
        settings.port = broker.port();
        settings.topic = kPrefix;
        return settings;
    }

    bool connectTo(const MqttBroker& broker)
    {
        bridge->apply(settingsFor(broker));
        return WaitFor([&] { return bridge->status().state == MqttState::Connected; }, 10000);
    }

    // Publishes and runs the event loop until the station has `calls` more calls or an error
    // reason arrives.
    void send(MqttBroker& broker, const char* suffix, const QByteArray& payload, bool retain = false)
    {
        ASSERT_TRUE(broker.publish(Topic(suffix), payload, retain));
    }

    FakeStationControl station;
    StationEvents events;
    std::unique_ptr<MqttBridge> bridge;
};

TEST_F(MqttBridgeTest, PublishesRetainedValuesAndFollowsChanges)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher watcher(broker, QString(kPrefix) + "/#");
    ASSERT_TRUE(watcher.ok());
    ASSERT_TRUE(connectTo(broker));

    EXPECT_TRUE(watcher.waitFor(Topic("status"), "online"));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "123"));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator2/elevation"), "10"));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/setpoint"), "120"));
    EXPECT_TRUE(watcher.waitFor(Topic("link"), "fresh"));
    EXPECT_TRUE(watcher.waitFor(Topic("tracking"), "off"));
    EXPECT_TRUE(watcher.waitFor(Topic("state"),
                                "{\"callsign\":\"OK1ABC\",\"locator\":\"JO70FD\",\"selectedAzimuthRotator\":1,"
                                "\"rotator1\":{\"azimuth\":123,\"setpoint\":120},\"rotator2\":{\"elevation\":10,"
                                "\"setpoint\":0},\"link\":\"fresh\",\"tracking\":\"off\"}"));

    // The station moves: only what changed goes out.
    watcher.clear();
    station.snapshot.rotator1.position = 124;
    emit events.changed();
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "124"));
    EXPECT_TRUE(watcher.waitFor([](const SeenMessage& m) { return m.topic.endsWith("/state"); }));
    for (const SeenMessage& message : watcher.messages())
        EXPECT_TRUE(message.topic == Topic("rotator1/azimuth") || message.topic == Topic("state"))
            << message.topic.toStdString();

    // A new subscriber gets the retained values.
    const auto retained = broker.retained(QString(kPrefix) + "/#");
    EXPECT_EQ(retained.at(Topic("rotator1/azimuth")), "124");
    EXPECT_EQ(retained.at(Topic("status")), "online");
    EXPECT_EQ(retained.count(Topic("rotator2/azimuth")), 0u);  // the unused kind stays cleared
}

TEST_F(MqttBridgeTest, BurstsAreCutToTenPerSecondAndEndWithTheLastValue)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher watcher(broker, Topic("rotator1/azimuth"));
    ASSERT_TRUE(watcher.ok());
    ASSERT_TRUE(connectTo(broker));
    ASSERT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "123"));
    WaitFor([] { return false; }, 150);  // past the interval of the first value
    watcher.clear();
    // 100 changes at once: the first goes out, the rest are held and the newest follows.
    for (int position = 0; position < 100; ++position) {
        station.snapshot.rotator1.position = position;
        emit events.changed();
    }
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "99"));
    WaitFor([] { return false; }, 300);  // nothing more may follow
    const auto seen = watcher.messages();
    EXPECT_EQ(seen.size(), 2) << "the first change and the last";
}

TEST_F(MqttBridgeTest, AChangeBeforeTheConnectionIsHandledSendsNothingTwice)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher watcher(broker, QString(kPrefix) + "/#");
    ASSERT_TRUE(watcher.ok());
    // The client's thread connects while this thread runs no events, and the station changes
    // before the bridge has heard of the connection.
    bridge->apply(settingsFor(broker));
    QDeadlineTimer deadline(10000);
    while (bridge->status().state != MqttState::Connected && !deadline.hasExpired())
        QThread::msleep(5);
    ASSERT_EQ(bridge->status().state, MqttState::Connected);
    emit events.changed();
    ASSERT_TRUE(watcher.waitFor(Topic("tracking"), "off"));
    WaitFor([] { return false; }, 300);  // time for a second round to arrive
    int elevations = 0;
    for (const SeenMessage& message : watcher.messages())
        elevations += message.topic == Topic("rotator2/elevation");
    EXPECT_EQ(elevations, 1);
}

TEST_F(MqttBridgeTest, CommandsReachTheStationAndBadPayloadsPublishAReason)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher errors(broker, Topic("error"));
    ASSERT_TRUE(errors.ok());
    ASSERT_TRUE(connectTo(broker));

    struct Case {
        const char* suffix;
        QByteArray payload;
        Strings calls;     // what the station sees
        QByteArray error;  // what the error topic says; empty when taken
    };
    const Case cases[] = {
        {"set/azimuth", "123", {"from MQTT", "target 1 123 0"}, {}},
        {"set/elevation", "30.2", {"from MQTT", "target 2 30 0"}, {}},
        {"set/target", "E30", {"from MQTT", "text E30"}, {}},
        {"set/target", "JN79VX", {"from MQTT", "text JN79VX"}, {}},
        {"set/stop", "", {"from MQTT", "stop"}, {}},
        {"set/park", "1", {"from MQTT", "park"}, {}},
        {"set/preset", "4", {"from MQTT", "preset 4"}, {}},
        {"set/tracking", "sun", {"from MQTT", "tracking sun"}, {}},
        {"set/azimuth", "north", {}, "set/azimuth: not a number"},
        {"set/elevation", "95000", {}, "set/elevation: out of range 0..180"},
        {"set/preset", "12", {}, "set/preset: not a preset 1..8"},
        {"set/tracking", "mars", {}, "set/tracking: not off, moon or sun"},
        {"set/target", QByteArray(300, '7'), {}, "set/target: payload longer than 256 bytes"},
        {"set/target", "\xc3\x28", {}, "set/target: payload is not UTF-8"},
        {"set/spin", "1", {}, "set/spin: unknown command"},
    };
    for (const Case& c : cases) {
        station.calls.clear();
        errors.clear();
        send(broker, c.suffix, c.payload);
        if (c.error.isEmpty()) {
            EXPECT_TRUE(WaitFor([&] { return station.calls.size() >= c.calls.size(); }, 5000)) << c.suffix;
            EXPECT_EQ(station.calls, c.calls) << c.suffix;
        } else {
            EXPECT_TRUE(errors.waitFor(Topic("error"), c.error)) << c.error.toStdString();
            EXPECT_TRUE(station.calls.empty()) << c.suffix;
        }
    }
}

TEST_F(MqttBridgeTest, ARetainedCommandIsNeverReplayed)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(broker.publish(Topic("set/azimuth"), "200", true));
    MqttWatcher errors(broker, Topic("error"));
    ASSERT_TRUE(errors.ok());
    ASSERT_TRUE(connectTo(broker));
    EXPECT_TRUE(errors.waitFor(Topic("error"), "set/azimuth: retained command ignored"));
    EXPECT_TRUE(station.calls.empty());
}

TEST_F(MqttBridgeTest, SaysOfflineWhenSwitchedOffOrDestroyed)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(connectTo(broker));
    MqttWatcher watcher(broker, Topic("status"));
    ASSERT_TRUE(watcher.ok());
    ASSERT_TRUE(watcher.waitFor(Topic("status"), "online"));

    MqttSettings off = settingsFor(broker);
    off.enabled = false;
    bridge->apply(off);
    EXPECT_TRUE(watcher.waitFor(Topic("status"), "offline"));
    EXPECT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Off; }));
    EXPECT_EQ(bridge->statusText(), "Switched off");

    watcher.clear();  // before connecting: "online" may arrive before connectTo returns
    ASSERT_TRUE(connectTo(broker));
    EXPECT_TRUE(watcher.waitFor(Topic("status"), "online"));
    bridge.reset();
    EXPECT_EQ(broker.retained(Topic("status")).at(Topic("status")), "offline");
}

TEST_F(MqttBridgeTest, ReconnectsAfterTheBrokerReturnsAndRepublishes)
{
    MqttBroker broker;  // without persistence: a restarted broker has forgotten every value
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(connectTo(broker));
    ASSERT_TRUE(WaitFor([&] { return broker.retained(Topic("rotator1/azimuth")).size() == 1; }));

    broker.stop();
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Reconnecting; }));
    EXPECT_EQ(bridge->status().reason, MqttReason::ConnectionLost);
    // Tries keep failing while it is away, with a growing delay.
    ASSERT_TRUE(WaitFor([&] { return bridge->status().reason == MqttReason::Refused; }));
    EXPECT_GE(bridge->status().retrySeconds, 1);
    EXPECT_TRUE(bridge->statusText().startsWith("Reconnecting in ")) << bridge->statusText().toStdString();

    station.snapshot.rotator1.position = 200;  // moved while the broker was away
    emit events.changed();
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Connected; }, 70000));
    std::map<QString, QByteArray> retained;
    EXPECT_TRUE(WaitFor([&] {
        retained = broker.retained(QString(kPrefix) + "/#", 1000);
        // A subscription of --retained-only ends at the first live message: ask again until the
        // last value published arrived too.
        return retained[Topic("rotator1/azimuth")] == "200" && retained.count(Topic("state")) == 1;
    }));
    EXPECT_EQ(retained[Topic("status")], "online");
    EXPECT_TRUE(retained[Topic("state")].contains("\"azimuth\":200"));
}

TEST_F(MqttBridgeTest, AWrongPasswordIsRefusedAndTheStatusSaysSo)
{
    MqttBroker broker({"station", "right horse", false});
    ASSERT_TRUE(broker.start());
    MqttSettings settings = settingsFor(broker);
    settings.user = "station";
    settings.password = "wrong";
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Reconnecting; }));
    EXPECT_EQ(bridge->status().reason, MqttReason::BadLogin) << bridge->statusText().toStdString();
    EXPECT_EQ(bridge->statusText(), "Reconnecting in 1 s: the broker refused the user name or password");
    // In Czech too.
    const QString czech = bridge->statusText([](const std::string& text) { return Translate(1, text); });
    EXPECT_TRUE(czech.contains(QString::fromUtf8("odmítl"))) << czech.toStdString();

    // No login at all where one is needed: refused as such.
    settings.user.clear();
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().reason == MqttReason::NotAuthorised; }, 10000));
    EXPECT_EQ(bridge->statusText(), "Reconnecting in 1 s: the broker refused access");

    settings.user = "station";
    settings.password = "right horse";
    bridge->apply(settings);
    EXPECT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Connected; }, 10000));
}

TEST_F(MqttBridgeTest, TlsWithTheBrokersCaAndWithoutIt)
{
    MqttBroker broker({{}, {}, true});
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    MqttWatcher watcher(broker, Topic("rotator1/azimuth"));
    ASSERT_TRUE(watcher.ok());
    MqttSettings settings = settingsFor(broker);
    settings.host = "localhost";
    settings.tls = true;
    settings.caFile = broker.caFile().toStdString();
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Connected; }, 10000))
        << bridge->statusText().toStdString();
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "123"));

    // The system's CAs do not know the test's own: the handshake fails and says so.
    settings.caFile.clear();
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Reconnecting; }, 10000));
    EXPECT_EQ(bridge->status().reason, MqttReason::Tls) << bridge->statusText().toStdString();

    // A CA file that is not there.
    settings.caFile = broker.dir().toStdString() + "/missing.pem";
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().reason == MqttReason::CaFile; }, 10000));
    EXPECT_TRUE(bridge->statusText().contains("cannot read the CA file"));
}

TEST_F(MqttBridgeTest, UnreachableBrokersAndUnusableSettings)
{
    // Nothing listens.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    MqttSettings settings;
    settings.enabled = true;
    settings.host = "127.0.0.1";
    settings.port = closedPort;
    settings.topic = kPrefix;
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().reason == MqttReason::Refused; }, 5000));
    EXPECT_EQ(bridge->statusText(), "Reconnecting in 1 s: connection refused");
    ASSERT_TRUE(WaitFor([&] { return bridge->status().retrySeconds == 4; }, 10000));
    // OK in the Network window with the same settings tries again at once, from 1 s.
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().retrySeconds == 1; }, 2000));

    // A listener that accepts and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    settings.port = silent.serverPort();
    bridge->apply(settings);
    ASSERT_TRUE(
        WaitFor([&] { return bridge->status().reason == MqttReason::NoAnswer; }, MqttClient::kConnackTimeoutMs + 5000));
    EXPECT_EQ(bridge->status().state, MqttState::Reconnecting);

    // A prefix with a wildcard cannot be published under: nothing is tried.
    settings.topic = "test/+";
    bridge->apply(settings);
    ASSERT_TRUE(WaitFor([&] { return bridge->status().state == MqttState::Unusable; }, 5000));
    EXPECT_EQ(bridge->statusText(), "Not connecting: the topic prefix is not valid");
}

TEST_F(MqttBridgeTest, HomeAssistantDiscoveryOnlyWhenAskedAndRemovedWhenSwitchedOff)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(connectTo(broker));
    ASSERT_TRUE(WaitFor([&] { return broker.retained(Topic("state")).size() == 1; }));
    EXPECT_TRUE(broker.retained("homeassistant/#", 1000).empty());

    MqttSettings settings = settingsFor(broker);
    settings.discovery = true;
    bridge->apply(settings);
    std::map<QString, QByteArray> configs;
    ASSERT_TRUE(WaitFor([&] {
        configs = broker.retained("homeassistant/#", 1000);
        return configs.size() == 6;
    }));
    const QByteArray sensor = configs.at("homeassistant/sensor/test_ok1abc/rotator1_azimuth/config");
    EXPECT_TRUE(sensor.contains("\"state_topic\":\"test/ok1abc/rotator1/azimuth\"")) << sensor.toStdString();
    EXPECT_TRUE(configs.at("homeassistant/button/test_ok1abc/stop/config")
                    .contains("\"command_topic\":\"test/ok1abc/set/stop\""));

    settings.discovery = false;
    bridge->apply(settings);
    EXPECT_TRUE(WaitFor([&] { return broker.retained("homeassistant/#", 1000).empty(); }));
}

TEST(MqttSectionTest, LoadsStoresAndPicksTheCaFile)
{
    MqttSettings stored;
    stored.enabled = true;
    stored.host = "broker.lan";
    stored.port = 8883;
    stored.clientId = "mast-1";  // not shown, kept
    stored.user = "op";
    stored.password = "pw";
    stored.tls = true;
    stored.caFile = "/etc/ca.pem";
    std::optional<MqttSettings> applied;
    MqttControl control;
    control.stored = [&] { return stored; };
    control.storeAndApply = [&](const MqttSettings& settings) { applied = settings; };
    control.status = [](const MqttControl::TranslateFn& tr) { return QString::fromStdString(tr("Switched off")); };
    control.defaultPrefix = [] { return std::string("vantora/ok1abc"); };
    control.pickFile = [](QWidget*, const QString&, const QString& start) {
        return start == "/etc/ca.pem" ? QString("/home/op/broker-ca.pem") : QString();
    };
    MqttSection section(control, [](const std::string& text) { return Translate(1, text); });
    section.load();
    section.refreshStatus();

    EXPECT_EQ(section.title(), QString::fromUtf8(" Broker MQTT "));
    EXPECT_EQ(section.findChild<QLabel*>("MqttStatus")->text(), "Vypnuto");
    auto* topic = section.findChild<QLineEdit*>("MqttTopic");
    EXPECT_TRUE(topic->text().isEmpty());
    EXPECT_EQ(topic->placeholderText(), "vantora/ok1abc");
    EXPECT_EQ(section.findChild<QLineEdit*>("MqttPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(section.values(), stored);

    section.findChild<QPushButton*>("MqttCaFileBrowse")->click();
    section.findChild<QCheckBox*>("MqttDiscovery")->setChecked(true);
    section.findChild<QSpinBox*>("MqttPort")->setValue(1884);
    topic->setText(" site/mast1 ");
    section.findChild<QCheckBox*>("MqttTls")->setChecked(false);
    EXPECT_FALSE(section.findChild<QLineEdit*>("MqttCaFile")->isEnabled());
    section.apply();
    ASSERT_TRUE(applied);
    MqttSettings expected = stored;
    expected.caFile = "/home/op/broker-ca.pem";
    expected.discovery = true;
    expected.port = 1884;
    expected.topic = "site/mast1";
    expected.tls = false;
    EXPECT_EQ(*applied, expected);
}

}  // namespace
}  // namespace vantora
