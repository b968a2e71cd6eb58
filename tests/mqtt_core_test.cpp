// The MQTT bridge's core: topics and payloads of the commands, what each does to the station,
// the published values and documents, the publish filter, the back-off, the stored settings and
// the status line.
#include "mqtt/ha_discovery.h"
#include "mqtt/json_text.h"
#include "mqtt/mqtt_command.h"
#include "mqtt/mqtt_settings.h"
#include "mqtt/mqtt_state.h"
#include "mqtt/mqtt_status.h"
#include "mqtt/mqtt_topics.h"
#include "mqtt/publish_filter.h"
#include "mqtt/reconnect_backoff.h"
#include "mqtt/utf8_text.h"
#include "settings/translate.h"
#include "support/fake_settings_store.h"
#include "support/fake_station_control.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::FakeSettingsStore;
using test::FakeStationControl;
using Strings = std::vector<std::string>;

constexpr char kPrefix[] = "vantora/ok1abc";

TEST(MqttTopics, CommandTopics)
{
    struct Case {
        std::string topic;
        std::optional<MqttCommandKind> kind;
    };
    const Case cases[] = {
        {"vantora/ok1abc/set/azimuth", MqttCommandKind::Azimuth},
        {"vantora/ok1abc/set/elevation", MqttCommandKind::Elevation},
        {"vantora/ok1abc/set/target", MqttCommandKind::Target},
        {"vantora/ok1abc/set/stop", MqttCommandKind::Stop},
        {"vantora/ok1abc/set/park", MqttCommandKind::Park},
        {"vantora/ok1abc/set/preset", MqttCommandKind::Preset},
        {"vantora/ok1abc/set/tracking", MqttCommandKind::Tracking},
        {"vantora/ok1abc/set/turn", MqttCommandKind::Unknown},
        {"vantora/ok1abc/set/Azimuth", MqttCommandKind::Unknown},  // topics are case-sensitive
        {"vantora/ok1abc/set/", std::nullopt},
        {"vantora/ok1abc/set", std::nullopt},
        {"vantora/ok1abc/set/azimuth/x", std::nullopt},
        {"vantora/ok1abc/rotator1/azimuth", std::nullopt},
        {"vantora/ok1abcd/set/azimuth", std::nullopt},
        {"vantora/ok1ab/set/azimuth", std::nullopt},
        {"other/set/azimuth", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseMqttCommandTopic(kPrefix, c.topic), c.kind) << c.topic;
    EXPECT_EQ(MqttCommandFilter(kPrefix), "vantora/ok1abc/set/+");
    EXPECT_EQ(MqttTopic(kPrefix, kMqttStatusTopic), "vantora/ok1abc/status");
}

TEST(MqttTopics, UsablePrefixes)
{
    struct Case {
        std::string prefix;
        bool usable;
    };
    const Case cases[] = {
        {"vantora/ok1abc", true},
        {"station/mast 2", true},
        {"vantora/\xc5\xa1", true},  // UTF-8 "š"
        {"", false},
        {"vantora/+", false},
        {"vantora/#", false},
        {"$SYS/vantora", false},
        {std::string("van\0tora", 8), false},
        {"vantora/\xc5", false},  // a truncated UTF-8 sequence
        {std::string(kMqttMaxPrefixBytes, 'a'), true},
        {std::string(kMqttMaxPrefixBytes + 1, 'a'), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUsableMqttPrefix(c.prefix), c.usable) << c.prefix;
}

TEST(MqttPayload, ParsesEachCommand)
{
    struct Case {
        MqttCommandKind kind;
        std::string payload;
        std::optional<int> value;  // the parsed value; nothing when refused
        std::string reason;
    };
    const std::string longest(kMqttMaxPayloadBytes, '1');
    const Case cases[] = {
        // Azimuth: rotctld's numbers and its -180..540 taken modulo 360.
        {MqttCommandKind::Azimuth, "123", 123, ""},
        {MqttCommandKind::Azimuth, " 123.4\n", 123, ""},
        {MqttCommandKind::Azimuth, "122.5", 122, ""},  // halves to even
        {MqttCommandKind::Azimuth, "123,5", 124, ""},
        {MqttCommandKind::Azimuth, "1.2e2", 120, ""},
        {MqttCommandKind::Azimuth, "360", 0, ""},
        {MqttCommandKind::Azimuth, "-90", 270, ""},
        {MqttCommandKind::Azimuth, "-180", 180, ""},
        {MqttCommandKind::Azimuth, "540", 180, ""},
        {MqttCommandKind::Azimuth, "540.1", std::nullopt, "out of range -180..540"},
        {MqttCommandKind::Azimuth, "-180.5", std::nullopt, "out of range -180..540"},
        {MqttCommandKind::Azimuth, "", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "abc", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "12 3", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "nan", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "inf", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "1e999", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, "0x10", std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, longest, std::nullopt, "not a number"},
        {MqttCommandKind::Azimuth, longest + "1", std::nullopt, "payload longer than 256 bytes"},
        {MqttCommandKind::Azimuth, "12\xff", std::nullopt, "payload is not UTF-8"},
        // Elevation: 0..180.
        {MqttCommandKind::Elevation, "30", 30, ""},
        {MqttCommandKind::Elevation, "0", 0, ""},
        {MqttCommandKind::Elevation, "180", 180, ""},
        {MqttCommandKind::Elevation, "179.6", 180, ""},
        {MqttCommandKind::Elevation, "180.4", std::nullopt, "out of range 0..180"},  // range before rounding
        {MqttCommandKind::Elevation, "180.6", std::nullopt, "out of range 0..180"},
        {MqttCommandKind::Elevation, "-1", std::nullopt, "out of range 0..180"},
        {MqttCommandKind::Elevation, "up", std::nullopt, "not a number"},
        // Preset: 1..8.
        {MqttCommandKind::Preset, "1", 1, ""},
        {MqttCommandKind::Preset, " 8 ", 8, ""},
        {MqttCommandKind::Preset, "0", std::nullopt, "not a preset 1..8"},
        {MqttCommandKind::Preset, "9", std::nullopt, "not a preset 1..8"},
        {MqttCommandKind::Preset, "10", std::nullopt, "not a preset 1..8"},
        {MqttCommandKind::Preset, "+3", std::nullopt, "not a preset 1..8"},
        {MqttCommandKind::Preset, "3.0", std::nullopt, "not a preset 1..8"},
        {MqttCommandKind::Preset, "", std::nullopt, "not a preset 1..8"},
        // Stop and park take any payload within the limits.
        {MqttCommandKind::Stop, "", 0, ""},
        {MqttCommandKind::Park, "PARK", 0, ""},
        {MqttCommandKind::Stop, "\xc0\x80", std::nullopt, "payload is not UTF-8"},  // overlong NUL
        {MqttCommandKind::Park, longest + "x", std::nullopt, "payload longer than 256 bytes"},
        {MqttCommandKind::Unknown, "1", std::nullopt, "unknown command"},
    };
    for (const Case& c : cases) {
        const MqttCommandParse parsed = ParseMqttCommand(c.kind, c.payload);
        EXPECT_EQ(parsed.reason, c.reason) << c.payload;
        ASSERT_EQ(parsed.command.has_value(), c.value.has_value()) << c.payload;
        if (parsed.command) {
            EXPECT_EQ(parsed.command->kind, c.kind);
            EXPECT_EQ(parsed.command->value, *c.value) << c.payload;
        }
    }
}

TEST(MqttPayload, TargetTextAndTracking)
{
    struct Case {
        MqttCommandKind kind;
        std::string payload;
        bool taken;
        std::string text;
        TrackingChoice tracking;
    };
    const Case cases[] = {
        {MqttCommandKind::Target, "E30", true, "E30", TrackingChoice::Off},
        {MqttCommandKind::Target, "jo70fd", true, "jo70fd", TrackingChoice::Off},
        {MqttCommandKind::Target, "120 ", true, "120 ", TrackingChoice::Off},  // the box's rules decide
        {MqttCommandKind::Target, "", false, "", TrackingChoice::Off},
        {MqttCommandKind::Target, " \n", false, "", TrackingChoice::Off},
        {MqttCommandKind::Target, "\xed\xa0\x80", false, "", TrackingChoice::Off},  // a surrogate
        {MqttCommandKind::Tracking, "off", true, "", TrackingChoice::Off},
        {MqttCommandKind::Tracking, "Moon", true, "", TrackingChoice::Moon},
        {MqttCommandKind::Tracking, " SUN\n", true, "", TrackingChoice::Sun},
        {MqttCommandKind::Tracking, "wsjt", false, "", TrackingChoice::Off},
        {MqttCommandKind::Tracking, "", false, "", TrackingChoice::Off},
    };
    for (const Case& c : cases) {
        const MqttCommandParse parsed = ParseMqttCommand(c.kind, c.payload);
        ASSERT_EQ(parsed.command.has_value(), c.taken) << c.payload;
        if (parsed.command) {
            EXPECT_EQ(parsed.command->text, c.text);
            EXPECT_EQ(parsed.command->tracking, c.tracking);
        } else {
            EXPECT_FALSE(parsed.reason.empty());
        }
    }
}

TEST(MqttCommands, MessagesReachTheStationAsMqtt)
{
    struct Case {
        std::string topic;
        std::string payload;
        bool retained;
        bool rotator2IsElevation;
        bool textTaken;
        std::optional<std::string> reply;  // nothing: not ours; "": taken; else the error
        Strings calls;
    };
    const Case cases[] = {
        {"vantora/ok1abc/set/azimuth", "123", false, true, true, "", {"from MQTT", "target 1 123 0"}},
        {"vantora/ok1abc/set/azimuth", "-90", false, true, true, "", {"from MQTT", "target 1 270 0"}},
        {"vantora/ok1abc/set/elevation", "30", false, true, true, "", {"from MQTT", "target 2 30 0"}},
        {"vantora/ok1abc/set/elevation", "30", false, false, true, "set/elevation: rotator 2 turns in azimuth", {}},
        {"vantora/ok1abc/set/target", "E30", false, true, true, "", {"from MQTT", "text E30"}},
        {"vantora/ok1abc/set/target", "JO70FD", false, true, true, "", {"from MQTT", "text JO70FD"}},
        {"vantora/ok1abc/set/target",
         "XYZ",
         false,
         true,
         false,
         "set/target: target not understood",
         {"from MQTT", "text XYZ"}},
        {"vantora/ok1abc/set/stop", "", false, true, true, "", {"from MQTT", "stop"}},
        {"vantora/ok1abc/set/park", "PARK", false, true, true, "", {"from MQTT", "park"}},
        {"vantora/ok1abc/set/preset", "3", false, true, true, "", {"from MQTT", "preset 3"}},
        {"vantora/ok1abc/set/tracking", "moon", false, true, true, "", {"from MQTT", "tracking moon"}},
        {"vantora/ok1abc/set/tracking", "sun", false, true, true, "", {"from MQTT", "tracking sun"}},
        {"vantora/ok1abc/set/tracking", "off", false, true, true, "", {"from MQTT", "tracking off"}},
        // Refused: nothing reaches the station.
        {"vantora/ok1abc/set/azimuth", "north", false, true, true, "set/azimuth: not a number", {}},
        {"vantora/ok1abc/set/azimuth", "999", false, true, true, "set/azimuth: out of range -180..540", {}},
        {"vantora/ok1abc/set/preset", "9", false, true, true, "set/preset: not a preset 1..8", {}},
        {"vantora/ok1abc/set/target",
         std::string(300, '1'),
         false,
         true,
         true,
         "set/target: payload longer than 256 bytes",
         {}},
        {"vantora/ok1abc/set/stop", "\xfe", false, true, true, "set/stop: payload is not UTF-8", {}},
        {"vantora/ok1abc/set/turn", "1", false, true, true, "set/turn: unknown command", {}},
        {"vantora/ok1abc/set/" + std::string(100, 'x'), "1", false, true, true, "set: unknown command", {}},
        // A retained command is an old one: never replayed on the antenna.
        {"vantora/ok1abc/set/azimuth", "123", true, true, true, "set/azimuth: retained command ignored", {}},
        {"vantora/ok1abc/set/stop", "", true, true, true, "set/stop: retained command ignored", {}},
        // Not ours: no reply at all.
        {"vantora/ok1abc/rotator1/azimuth", "123", false, true, true, std::nullopt, {}},
        {"vantora/other/set/azimuth", "123", false, true, true, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        FakeStationControl station;
        station.snapshot.rotator2IsElevation = c.rotator2IsElevation;
        station.textTaken = c.textTaken;
        EXPECT_EQ(HandleMqttMessage(kPrefix, c.topic, c.payload, c.retained, station), c.reply) << c.topic;
        EXPECT_EQ(station.calls, c.calls) << c.topic;
    }
}

StationSnapshot MovingStation()
{
    StationSnapshot snapshot;
    snapshot.callsign = "OK1ABC";
    snapshot.homeLocator = "JO70FD";
    snapshot.rotator1 = {123, 0, "120\xc2\xb0"};
    snapshot.rotator2 = {10, 1, "0\xc2\xb0"};
    snapshot.trackingSource = "moon";
    snapshot.linkFresh = true;
    return snapshot;
}

TEST(MqttState, ValuesAndDocument)
{
    StationSnapshot snapshot = MovingStation();
    EXPECT_EQ(StationValues(snapshot),
              (std::vector<MqttValue>{
                  {"rotator1/azimuth", "123"},
                  {"rotator2/elevation", "10"},
                  {"rotator2/azimuth", ""},
                  {"rotator1/setpoint", "120"},
                  {"rotator2/setpoint", "0"},
                  {"link", "fresh"},
                  {"tracking", "moon"},
                  {"state",
                   "{\"callsign\":\"OK1ABC\",\"locator\":\"JO70FD\",\"selectedAzimuthRotator\":1,"
                   "\"rotator1\":{\"azimuth\":123,\"setpoint\":120},\"rotator2\":{\"elevation\":10,"
                   "\"setpoint\":0},\"link\":\"fresh\",\"tracking\":\"moon\"}"},
              }));

    // A second azimuth rotator, selected; a dead link; a setpoint without a number; a callsign
    // that needs escaping.
    snapshot.rotator2IsElevation = false;
    snapshot.selectedAzimuthRotator = 2;
    snapshot.rotator2 = {-5, 0, "---"};
    snapshot.linkFresh = false;
    snapshot.staleReason = "no answer from COM1";
    snapshot.callsign = "OK1\"A\\B\n";
    const std::vector<MqttValue> values = StationValues(snapshot);
    EXPECT_EQ(values[1], (MqttValue{"rotator2/azimuth", "-5"}));
    EXPECT_EQ(values[2], (MqttValue{"rotator2/elevation", ""}));
    EXPECT_EQ(values[4], (MqttValue{"rotator2/setpoint", ""}));
    EXPECT_EQ(values[5], (MqttValue{"link", "stale: no answer from COM1"}));
    EXPECT_EQ(values[7].payload,
              "{\"callsign\":\"OK1\\\"A\\\\B\\n\",\"locator\":\"JO70FD\",\"selectedAzimuthRotator\":2,"
              "\"rotator1\":{\"azimuth\":123,\"setpoint\":120},\"rotator2\":{\"azimuth\":-5,\"setpoint\":null},"
              "\"link\":\"stale: no answer from COM1\",\"tracking\":\"moon\"}");
}

TEST(MqttState, SetpointNumbers)
{
    struct Case {
        std::string readout;
        std::optional<int> degrees;
    };
    const Case cases[] = {
        {"120\xc2\xb0", 120},         {"0\xc2\xb0", 0},
        {"-5\xc2\xb0", -5},           {"45", 45},
        {"", std::nullopt},           {"\xc2\xb0", std::nullopt},
        {"---", std::nullopt},        {"$10\xc2\xb0", std::nullopt},
        {" 5\xc2\xb0", std::nullopt}, {"12\xc2\xb0x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SetpointDegrees(c.readout), c.degrees) << c.readout;
}

TEST(MqttJson, Strings)
{
    struct Case {
        std::string text;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"OK1ABC", "\"OK1ABC\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\n\r\t", "\"\\n\\r\\t\""},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\xc5\xa1\xc2\xb0", "\"\xc5\xa1\xc2\xb0\""},  // š°, passed through
        {"a\xff"
         "b",
         "\"a\xef\xbf\xbd"
         "b\""},                                       // not UTF-8: U+FFFD
        {"\xe2\x82", "\"\xef\xbf\xbd\xef\xbf\xbd\""},  // a truncated sequence, byte by byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json);
}

TEST(MqttUtf8, WellFormedOnly)
{
    struct Case {
        std::string text;
        bool utf8;
    };
    const Case cases[] = {
        {"", true},
        {"plain", true},
        {"\xc2\xb0", true},
        {"\xe2\x82\xac", true},       // U+20AC
        {"\xf0\x9f\x93\xa1", true},   // U+1F4E1
        {"\xf4\x8f\xbf\xbf", true},   // U+10FFFF
        {"\xf4\x90\x80\x80", false},  // above U+10FFFF
        {"\xc0\xaf", false},          // overlong "/"
        {"\xe0\x80\xaf", false},      // overlong
        {"\xed\xa0\x80", false},      // surrogate
        {"\x80", false},              // stray continuation
        {"\xc2", false},              // truncated
        {"\xe2\x82", false},
        {"\xf8\x88\x80\x80\x80", false},  // five bytes
        {"\xff", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUtf8(c.text), c.utf8) << testing::PrintToString(c.text);
}

TEST(MqttPublishFilter, OnlyChangesAtMostTenPerSecondPerTopic)
{
    PublishFilter filter;
    // First values go out at once; an unchanged one never again.
    EXPECT_TRUE(filter.Offer("a", "1", 0));
    EXPECT_TRUE(filter.Offer("b", "x", 0));
    EXPECT_FALSE(filter.Offer("a", "1", 500));
    // A change inside 100 ms is held; a newer one replaces it; it goes out when the time is up.
    EXPECT_TRUE(filter.Offer("a", "2", 1000));
    EXPECT_FALSE(filter.Offer("a", "3", 1030));
    EXPECT_FALSE(filter.Offer("a", "4", 1060));
    EXPECT_EQ(filter.NextDueMs(), 1100);
    EXPECT_TRUE(filter.Due(1099).empty());
    EXPECT_EQ(filter.Due(1100), (std::vector<MqttOutgoing>{{"a", "4"}}));
    EXPECT_EQ(filter.NextDueMs(), std::nullopt);
    EXPECT_TRUE(filter.Due(5000).empty());
    // A held change that returns to the published value is dropped.
    EXPECT_FALSE(filter.Offer("a", "5", 1150));
    EXPECT_FALSE(filter.Offer("a", "4", 1160));
    EXPECT_EQ(filter.NextDueMs(), std::nullopt);
    // Other topics keep their own interval.
    EXPECT_TRUE(filter.Offer("b", "y", 1160));
    // After a reset everything is new.
    filter.Reset();
    EXPECT_TRUE(filter.Offer("a", "4", 1170));
    EXPECT_TRUE(filter.Offer("b", "y", 1170));
}

TEST(MqttPublishFilter, NeverMoreThanTenInAnySecond)
{
    // A value changing every 10 ms for 5 s: count what goes out in every 1 s window.
    PublishFilter filter;
    std::vector<std::int64_t> sent;
    std::string last;
    for (std::int64_t t = 0; t <= 5000; t += 10) {
        for (const MqttOutgoing& out : filter.Due(t)) {
            sent.push_back(t);
            last = out.payload;
        }
        if (filter.Offer("a", std::to_string(t), t)) {
            sent.push_back(t);
            last = std::to_string(t);
        }
    }
    for (std::int64_t t = 5010; t <= 5200; t += 10)
        for (const MqttOutgoing& out : filter.Due(t))
            last = out.payload;
    for (std::size_t i = 10; i < sent.size(); ++i)
        EXPECT_GE(sent[i] - sent[i - 10], 1000) << i;
    EXPECT_GE(sent.size(), 50u);
    EXPECT_EQ(last, "5000");  // the final value reached the broker
}

TEST(MqttBackoff, DoublesFromOneUpToSixtySeconds)
{
    ReconnectBackoff backoff;
    std::vector<int> delays;
    for (int i = 0; i < 9; ++i)
        delays.push_back(backoff.NextDelaySeconds());
    EXPECT_EQ(delays, (std::vector<int>{1, 2, 4, 8, 16, 32, 60, 60, 60}));
    backoff.Reset();
    EXPECT_EQ(backoff.NextDelaySeconds(), 1);
    EXPECT_EQ(backoff.NextDelaySeconds(), 2);
}

TEST(MqttDiscovery, ConfigsFollowRotatorTwo)
{
    StationSnapshot snapshot = MovingStation();
    std::vector<MqttValue> configs = DiscoveryConfigs(kPrefix, snapshot);
    Strings topics;
    for (const MqttValue& config : configs)
        topics.push_back(config.suffix);
    EXPECT_EQ(topics, (Strings{
                          "homeassistant/sensor/vantora_ok1abc/rotator1_azimuth/config",
                          "homeassistant/sensor/vantora_ok1abc/rotator2_position/config",
                          "homeassistant/number/vantora_ok1abc/rotator1_target/config",
                          "homeassistant/number/vantora_ok1abc/rotator2_target/config",
                          "homeassistant/button/vantora_ok1abc/stop/config",
                          "homeassistant/button/vantora_ok1abc/park/config",
                      }));
    EXPECT_EQ(configs[0].payload,
              "{\"name\":\"Rotator 1 azimuth\",\"unique_id\":\"vantora_ok1abc_rotator1_azimuth\","
              "\"availability_topic\":\"vantora/ok1abc/status\",\"payload_available\":\"online\","
              "\"payload_not_available\":\"offline\",\"state_topic\":\"vantora/ok1abc/rotator1/azimuth\","
              "\"unit_of_measurement\":\"\xc2\xb0\",\"state_class\":\"measurement\",\"device\":{\"identifiers\":"
              "[\"vantora_ok1abc\"],\"name\":\"Vantora OK1ABC\",\"model\":\"Vantora\"}}");
    // Elevation rotator: its state and its target number on set/elevation, 0..180.
    EXPECT_NE(configs[1].payload.find("\"state_topic\":\"vantora/ok1abc/rotator2/elevation\""), std::string::npos);
    EXPECT_NE(configs[3].payload.find("\"command_topic\":\"vantora/ok1abc/set/elevation\""), std::string::npos);
    EXPECT_NE(configs[3].payload.find("\"max\":180"), std::string::npos);
    EXPECT_NE(configs[2].payload.find("\"command_template\":\"A{{ value | int }}\""), std::string::npos);
    EXPECT_NE(configs[4].payload.find("\"command_topic\":\"vantora/ok1abc/set/stop\",\"payload_press\":\"STOP\""),
              std::string::npos);
    EXPECT_NE(configs[5].payload.find("\"command_topic\":\"vantora/ok1abc/set/park\",\"payload_press\":\"PARK\""),
              std::string::npos);

    // A second azimuth rotator: "B" through the target box, 0..360.
    snapshot.rotator2IsElevation = false;
    configs = DiscoveryConfigs(kPrefix, snapshot);
    EXPECT_NE(configs[1].payload.find("\"state_topic\":\"vantora/ok1abc/rotator2/azimuth\""), std::string::npos);
    EXPECT_NE(configs[3].payload.find("\"command_topic\":\"vantora/ok1abc/set/target\",\"command_template\":"
                                      "\"B{{ value | int }}\",\"min\":0,\"max\":360"),
              std::string::npos);

    // Removal clears the same topics.
    const std::vector<MqttValue> removals = DiscoveryRemovals(kPrefix);
    ASSERT_EQ(removals.size(), topics.size());
    for (std::size_t i = 0; i < removals.size(); ++i) {
        EXPECT_EQ(removals[i].suffix, topics[i]);
        EXPECT_TRUE(removals[i].payload.empty());
    }
    EXPECT_EQ(DiscoveryNodeId("site 2/mast.a-b_c"), "site_2_mast_a-b_c");
}

TEST(MqttSettingsStore, DefaultsAndStoredValues)
{
    FakeSettingsStore empty;
    EXPECT_EQ(LoadMqttSettings(empty), MqttSettings{});
    const MqttSettings defaults;
    EXPECT_FALSE(defaults.enabled);
    EXPECT_EQ(defaults.host, "localhost");
    EXPECT_EQ(defaults.port, 1883);
    EXPECT_FALSE(defaults.tls);
    EXPECT_FALSE(defaults.discovery);

    FakeSettingsStore store;
    MqttSettings stored;
    stored.enabled = true;
    stored.host = "broker.lan";
    stored.port = 8883;
    stored.clientId = "mast-1";
    stored.user = "op";
    stored.password = "s3cret \"x\"";
    stored.tls = true;
    stored.caFile = "/etc/ca.pem";
    stored.topic = "site/mast1";
    stored.discovery = true;
    ASSERT_TRUE(SaveMqttSettings(store, stored));
    EXPECT_EQ(LoadMqttSettings(store), stored);
    EXPECT_EQ(std::get<std::string>(store.values.at("MqttPassword")), "s3cret \"x\"");  // as given

    // Unusable values read as defaults; any non-zero switch is on.
    FakeSettingsStore odd;
    odd.values["MqttPort"] = std::int32_t{70000};
    odd.values["MqttHost"] = std::string();
    odd.values["MqttEnabled"] = std::int32_t{7};
    EXPECT_EQ(LoadMqttSettings(odd).port, 1883);
    EXPECT_EQ(LoadMqttSettings(odd).host, "localhost");
    EXPECT_TRUE(LoadMqttSettings(odd).enabled);

    FakeSettingsStore readOnly;
    readOnly.writable = false;
    EXPECT_FALSE(SaveMqttSettings(readOnly, stored));
}

TEST(MqttSettingsStore, EnvironmentPortAndDefaultsFromTheCallsign)
{
    struct PortCase {
        std::optional<std::string> environment;
        std::int32_t port;
    };
    const PortCase ports[] = {
        {std::nullopt, 1883}, {"18830", 18830}, {" 2000 ", 2000}, {"0", 1883}, {"70000", 1883}, {"x", 1883},
    };
    for (const PortCase& c : ports)
        EXPECT_EQ(EffectiveMqttSettings(MqttSettings{}, c.environment).port, c.port);

    struct NameCase {
        std::string callsign;
        std::string clientId;
        std::string topic;
    };
    const NameCase names[] = {
        {"OK1ABC", "vantora-OK1ABC", "vantora/ok1abc"},
        {"OK1ABC/P", "vantora-OK1ABC/P", "vantora/ok1abc_p"},
        {"A+B#C D", "vantora-A+B#C D", "vantora/a_b_c_d"},
        {"", "vantora-", "vantora/station"},
    };
    for (const NameCase& c : names) {
        EXPECT_EQ(MqttClientIdFor(MqttSettings{}, c.callsign), c.clientId);
        EXPECT_EQ(MqttTopicPrefix(MqttSettings{}, c.callsign), c.topic);
        EXPECT_TRUE(IsUsableMqttPrefix(MqttTopicPrefix(MqttSettings{}, c.callsign)));
    }
    MqttSettings own;
    own.topic = "site/mast1//";
    own.clientId = "mast-1";
    EXPECT_EQ(MqttTopicPrefix(own, "OK1ABC"), "site/mast1");
    EXPECT_EQ(MqttClientIdFor(own, "OK1ABC"), "mast-1");
}

TEST(MqttStatusLine, Texts)
{
    struct Case {
        MqttStatus status;
        std::string english;
    };
    const Case cases[] = {
        {{MqttState::Off, "localhost:1883", MqttReason::None, "", 0}, "Switched off"},
        {{MqttState::Connecting, "localhost:1883", MqttReason::None, "", 0}, "Connecting to localhost:1883"},
        {{MqttState::Connected, "[::1]:1883", MqttReason::None, "", 0}, "Connected to [::1]:1883"},
        {{MqttState::Reconnecting, "h:1", MqttReason::Refused, "", 4}, "Reconnecting in 4 s: connection refused"},
        {{MqttState::Reconnecting, "h:1", MqttReason::BadLogin, "", 1},
         "Reconnecting in 1 s: the broker refused the user name or password"},
        {{MqttState::Reconnecting, "h:1", MqttReason::Tls, "certificate verify failed", 2},
         "Reconnecting in 2 s: TLS failed (certificate verify failed)"},
        {{MqttState::Reconnecting, "h:1", MqttReason::Other, "50% %2 done", 60}, "Reconnecting in 60 s: 50% %2 done"},
        {{MqttState::Unusable, "h:1", MqttReason::BadPrefix, "", 0}, "Not connecting: the topic prefix is not valid"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MqttStatusText(c.status), c.english);
    // Every fixed word goes through the translation.
    const auto upper = [](const std::string& text) { return "<" + text + ">"; };
    EXPECT_EQ(MqttStatusText(cases[3].status, upper), "<Reconnecting in 4 s: <connection refused>>");
    EXPECT_EQ(MqttStatusText(cases[3].status,
                             [](const std::string& text) {
                                 return text == "Reconnecting in %1 s: %2" ? std::string("Za %1 s: %2") : text;
                             }),
              "Za 4 s: connection refused");
}

TEST(MqttStatusLine, EveryFixedTextHasCzech)
{
    int count = 0;
    for (const char* const* text = MqttStatusTexts(); *text; ++text, ++count)
        EXPECT_NE(Translate(1, *text), *text) << *text;
    EXPECT_EQ(count, 15);
}

}  // namespace
}  // namespace vantora
