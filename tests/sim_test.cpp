// The control-unit simulator: its answers byte for byte, its rotator motion on an injected clock,
// the stream framing, the fault injector, the options, and the pseudo-terminal end to end.

#include "fault_injector.h"
#include "frame_extractor.h"
#include "pty_transport.h"
#include "response_frames.h"
#include "unit_config.h"
#include "unit_model.h"
#include "unit_server.h"
#include "unitsim_options.h"

#include "link/unit_frame.h"
#include "support/link_test_doubles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;
using vantora::Checksum8;
using namespace vantora::sim;
using ::testing::ElementsAreArray;

namespace {

using vantora::test::CommandFrame;

Bytes Manual(bool right, bool left, bool up, bool down)
{
    return CommandFrame(12, {right, left, up, down});
}

Bytes Goto(int target1, bool move1, int target2, bool move2)
{
    const auto lo = [](int v) { return static_cast<std::uint8_t>(v & 0xFF); };
    const auto hi = [](int v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); };
    return CommandFrame(11, {lo(target1), hi(target1), move1, lo(target2), hi(target2), move2});
}

Bytes WriteRotator2(std::uint8_t maxElevation, int limitSwitch, std::uint8_t mode, const char* text = "Elevace")
{
    Bytes payload{3, 2, 25, maxElevation, static_cast<std::uint8_t>(limitSwitch & 0xFF),
                  static_cast<std::uint8_t>(limitSwitch >> 8), mode};
    for (int i = 0; i < 7; ++i)
        payload.push_back(static_cast<std::uint8_t>(text[i]));
    payload.push_back(0);
    return CommandFrame(18, payload);
}

Bytes SensorCommand(std::uint8_t rotator, std::uint8_t operation, std::optional<int> value = std::nullopt)
{
    Bytes payload{rotator, operation};
    if (value) {
        payload.push_back(static_cast<std::uint8_t>(*value & 0xFF));
        payload.push_back(static_cast<std::uint8_t>(*value >> 8));
    }
    return CommandFrame(19, payload);
}

// Position report fields read back from a frame, rotator 2 signed as the program reads it.
struct Decoded {
    int position1, position2, mode, active;
};

Decoded DecodePosition(const Bytes& frame)
{
    EXPECT_EQ(frame.size(), 15u);
    EXPECT_EQ(frame[4], 10);
    int position2 = frame[8] | (frame[9] << 8);
    if (position2 > 65000)
        position2 -= 65536;
    return {frame[5] | (frame[6] << 8), position2, frame[12], frame[13]};
}

Bytes Answer(UnitModel& model, const Bytes& command)
{
    auto response = model.handle(command);
    EXPECT_TRUE(response.has_value()) << "no answer to code " << int(command[4]);
    return response.value_or(Bytes{});
}

UnitConfig AzimuthConfig()
{
    UnitConfig config;
    config.mode2 = kModeAzimuth;
    return config;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Answers, byte for byte

TEST(UnitSimFrames, EveryCommandGetsItsResponse)
{
    struct Case {
        const char* name;
        Bytes command;
        Bytes response;
    };
    const Case cases[] = {
        {"version", CommandFrame(99, {1}), {42, 1, 0, 3, 99, 7, 1, 153}},
        {"manual poll", Manual(false, false, false, false), {42, 1, 0, 10, 10, 0, 0, 1, 0, 0, 1, 0, 2, 0, 67}},
        {"stop", CommandFrame(13, {1}), {42, 1, 0, 10, 10, 0, 0, 1, 0, 0, 1, 0, 2, 0, 67}},
        {"select rotator 2", CommandFrame(21, {1}), {42, 1, 0, 10, 10, 0, 0, 1, 0, 0, 1, 0, 2, 1, 68}},
        {"go-to both", Goto(270, true, 45, true), {42, 1, 0, 6, 100, 11, 1, 0, 1, 0, 162}},
        {"go-to rotator 1", Goto(270, true, 0, false), {42, 1, 0, 6, 100, 11, 1, 0, 0, 0, 161}},
        {"go-to rotator 2", Goto(0, false, 10, true), {42, 1, 0, 6, 100, 11, 0, 0, 1, 0, 161}},
        {"go-to nothing", Goto(0, false, 0, false), {42, 1, 0, 6, 100, 11, 0, 0, 0, 0, 160}},
        {"sensor ids", CommandFrame(16, {5, 6}), {42, 1, 0, 2, 100, 16, 161}},
        {"display", CommandFrame(20, {1}), {42, 1, 0, 2, 100, 20, 165}},
        {"rotator 2", WriteRotator2(90, 180, 2), {42, 1, 0, 2, 100, 18, 163}},
        {"sensor reset", SensorCommand(1, 1), {42, 1, 0, 3, 100, 19, 11, 176}},
        {"sensor invert", SensorCommand(2, 2), {42, 1, 0, 3, 100, 19, 12, 177}},
        {"sensor write", SensorCommand(1, 3, 359), {42, 1, 0, 3, 100, 19, 13, 178}},
    };
    for (const Case& c : cases) {
        UnitModel model;
        EXPECT_THAT(Answer(model, c.command), ElementsAreArray(c.response)) << c.name;
    }
}

TEST(UnitSimFrames, SettingsReportCarriesEveryFieldAtItsOffset)
{
    UnitConfig config;
    config.sensorId1 = 21;
    config.sensorId2 = 22;
    config.sensitivity1 = 5;
    config.inertia1 = 4;
    config.inertiaTime1 = 30;
    config.limitSwitch1 = 359;
    config.sensitivity2 = 6;
    config.inertia2 = 3;
    config.inertiaTime2 = 40;
    config.maxElevation2 = 85;
    config.limitSwitch2 = 300;
    config.mode2 = kModeAzimuth;
    config.lcdText1 = MakeLcdText("ABCDEFG");
    config.lcdText2 = MakeLcdText("xyz");
    config.display20 = 1;
    UnitModel model({}, config);

    Bytes expected{42, 1, 0, 32, 15, 21, 22, 5, 4, 30, 103, 1, 6, 3, 40, 85, 44, 1, 1,
                   'A', 'B', 'C', 'D', 'E', 'F', 'G', 0, 'x', 'y', 'z', ' ', ' ', ' ', ' ', 0, 1};
    expected.push_back(Checksum8(expected.data(), expected.size()));
    const Bytes report = Answer(model, CommandFrame(15, {1}));
    ASSERT_EQ(report.size(), 37u);
    EXPECT_THAT(report, ElementsAreArray(expected));
}

TEST(UnitSimFrames, VersionReportCarriesTheConfiguredFirmware)
{
    for (const auto& [version, low, high] : {std::tuple{263, 7, 1}, {262, 6, 1}, {266, 10, 1}, {513, 1, 2}}) {
        UnitModelOptions options;
        options.firmwareVersion = static_cast<std::uint16_t>(version);
        UnitModel model(options);
        const Bytes report = Answer(model, CommandFrame(99, {1}));
        ASSERT_EQ(report.size(), 8u);
        EXPECT_EQ(report[5], low) << version;
        EXPECT_EQ(report[6], high) << version;
        EXPECT_EQ(report[7], Checksum8(report.data(), 7)) << version;
    }
}

TEST(UnitSimFrames, FramesTheUnitMustIgnore)
{
    Bytes badSum = CommandFrame(99, {1});
    badSum.back() = static_cast<std::uint8_t>(badSum.back() + 1);
    Bytes wrongLength = CommandFrame(99, {1});
    wrongLength[3] = 3;
    wrongLength.back() = Checksum8(wrongLength.data(), wrongLength.size() - 1);
    const struct {
        const char* name;
        Bytes frame;
    } cases[] = {
        {"checksum one off", badSum},
        {"other destination", CommandFrame(99, {1}, 2)},
        {"unknown code", CommandFrame(14, {1})},
        {"go-to too short", CommandFrame(11, {1, 2, 3})},
        {"write rotator 1 too short", CommandFrame(17, {1, 2, 3, 4})},
        {"length byte disagrees", wrongLength},
        {"truncated", Bytes{42, 0, 1}},
    };
    for (const auto& c : cases) {
        UnitModel model;
        EXPECT_FALSE(model.handle(c.frame).has_value()) << c.name;
    }
}

// ---------------------------------------------------------------------------------------------
// Motion on the injected clock

TEST(UnitSimMotion, GotoMovesAtTheConfiguredSpeed)
{
    struct Case {
        const char* name;
        UnitModelOptions options;
        std::uint8_t mode;
        int start1, start2;
        Bytes command;
        std::chrono::milliseconds after;
        int position1, position2;
        bool stillMoving;
    };
    UnitModelOptions fast;
    fast.azimuthSpeed = 10;
    fast.elevationSpeed = 5;
    const Case cases[] = {
        {"azimuth halfway", {}, kModeElevation, 0, 0, Goto(90, true, 0, false), 10s, 60, 0, true},
        {"azimuth arrives", {}, kModeElevation, 0, 0, Goto(90, true, 0, false), 15s, 90, 0, false},
        {"elevation halfway", {}, kModeElevation, 0, 0, Goto(0, false, 45, true), 10s, 0, 30, true},
        {"elevation arrives", {}, kModeElevation, 0, 0, Goto(0, false, 45, true), 15s, 0, 45, false},
        {"both at their own speeds", {}, kModeElevation, 0, 0, Goto(30, true, 30, true), 5s, 30, 15, true},
        {"faster unit", fast, kModeElevation, 0, 0, Goto(100, true, 50, true), 10s, 100, 50, false},
        {"elevation downward", {}, kModeElevation, 0, 60, Goto(0, false, 30, true), 5s, 0, 45, true},
        {"second azimuth rotator", {}, kModeAzimuth, 0, 0, Goto(0, false, 60, true), 5s, 0, 30, true},
        // The stop at 180 is never crossed: from 170 to 190 the rotator turns through north.
        {"around the stop", {}, kModeElevation, 170, 0, Goto(190, true, 0, false), 10s, 110, 0, true},
        {"to the stop from the east", {}, kModeElevation, 90, 0, Goto(180, true, 0, false), 15s, 180, 0, false},
        {"to the stop from the west", {}, kModeElevation, 270, 0, Goto(180, true, 0, false), 15s, 180, 0, false},
        {"360 means north", {}, kModeElevation, 10, 0, Goto(360, true, 0, false), 1s, 4, 0, true},
        {"elevation beyond the maximum", {}, kModeElevation, 0, 80, Goto(0, false, 120, true), 20s, 0, 90, false},
    };
    for (const Case& c : cases) {
        UnitConfig config;
        config.mode2 = c.mode;
        UnitModel model(c.options, config);
        model.setPosition(1, c.start1);
        model.setPosition(2, c.start2);
        Answer(model, c.command);
        model.advance(c.after);
        EXPECT_EQ(model.position(1), c.position1) << c.name;
        EXPECT_EQ(model.position(2), c.position2) << c.name;
        EXPECT_EQ(model.moving(1) || model.moving(2), c.stillMoving) << c.name;
    }
}

TEST(UnitSimMotion, ManySmallStepsEqualOneLargeStep)
{
    UnitModel stepped;
    UnitModel once;
    Answer(stepped, Goto(200, true, 70, true));
    Answer(once, Goto(200, true, 70, true));
    for (int i = 0; i < 173; ++i)
        stepped.advance(50ms);
    once.advance(173 * 50ms);
    EXPECT_EQ(stepped.position(1), once.position(1));
    EXPECT_EQ(stepped.position(2), once.position(2));
    EXPECT_NE(once.position(1), 0);
}

// Keys held for `seconds`, polled every 50 ms as the program does while a key is down.
TEST(UnitSimMotion, HeldKeysDriveWithinTheLimitSwitchesAndTheMaximumElevation)
{
    struct Case {
        const char* name;
        std::uint8_t mode, active, maxElevation;
        int start1, start2;
        Bytes keys;
        int seconds;
        int position1, position2;
    };
    const std::uint8_t el = kModeElevation, az = kModeAzimuth;
    const Case cases[] = {
        {"right turns rotator 1", el, 0, 90, 0, 10, Manual(true, false, false, false), 1, 6, 10},
        {"left turns rotator 1", el, 0, 90, 0, 10, Manual(false, true, false, false), 1, 354, 10},
        {"up raises rotator 2", el, 0, 90, 0, 10, Manual(false, false, true, false), 1, 0, 13},
        {"down lowers rotator 2", el, 0, 90, 0, 10, Manual(false, false, false, true), 1, 0, 7},
        {"right and up together", el, 0, 90, 0, 10, Manual(true, false, true, false), 1, 6, 13},
        {"right and left cancel", el, 0, 90, 0, 10, Manual(true, true, false, false), 1, 0, 10},
        {"right with rotator 2 selected", az, 1, 90, 0, 10, Manual(true, false, false, false), 1, 0, 16},
        {"left with rotator 2 selected", az, 1, 90, 0, 10, Manual(false, true, false, false), 1, 0, 4},
        {"up does nothing in azimuth mode", az, 0, 90, 0, 10, Manual(false, false, true, false), 1, 0, 10},
        // Rotator 2 in elevation is no azimuth rotator, whatever the selection says.
        {"selection ignored in elevation mode", el, 1, 90, 0, 10, Manual(true, false, false, false), 1, 6, 10},
        {"no key", el, 0, 90, 0, 10, Manual(false, false, false, false), 1, 0, 10},
        {"right up to the stop", el, 0, 90, 170, 0, Manual(true, false, false, false), 10, 180, 0},
        {"left down to the stop", el, 0, 90, 190, 0, Manual(false, true, false, false), 10, 180, 0},
        {"up to the maximum", el, 0, 90, 0, 80, Manual(false, false, true, false), 10, 0, 90},
        {"lower maximum", el, 0, 60, 0, 50, Manual(false, false, true, false), 10, 0, 60},
        {"down to the horizon", el, 0, 90, 0, 5, Manual(false, false, false, true), 10, 0, 0},
        {"above the maximum: no further up", el, 0, 30, 0, 50, Manual(false, false, true, false), 10, 0, 50},
        {"below the horizon: no further down", el, 0, 90, 0, -20, Manual(false, false, false, true), 10, 0, -20},
        {"below the horizon: up is allowed", el, 0, 90, 0, -20, Manual(false, false, true, false), 10, 0, 10},
        {"second azimuth rotator stops too", az, 1, 90, 0, 170, Manual(true, false, false, false), 10, 0, 180},
    };
    for (const Case& c : cases) {
        UnitModel model;
        Answer(model, WriteRotator2(c.maxElevation, 180, c.mode));
        Answer(model, CommandFrame(21, {c.active}));
        model.setPosition(1, c.start1);
        model.setPosition(2, c.start2);
        for (int tick = 0; tick < 20 * c.seconds; ++tick) {
            Answer(model, c.keys);
            model.advance(50ms);
        }
        EXPECT_EQ(model.position(1), c.position1) << c.name;
        EXPECT_EQ(model.position(2), c.position2) << c.name;
    }
}

TEST(UnitSimMotion, HeldKeysLapseWhenThePollsStop)
{
    UnitModelOptions options;
    options.manualHold = 500ms;
    UnitModel model(options);
    Answer(model, Manual(true, false, false, false));
    model.advance(10s);
    EXPECT_EQ(model.position(1), 3);  // 0.5 s at 6 degrees per second
    EXPECT_FALSE(model.moving(1));
}

TEST(UnitSimMotion, ManualDriveAndGotoOverrideEachOther)
{
    UnitModel model;
    Answer(model, Goto(90, true, 0, false));
    model.advance(1s);
    Answer(model, Manual(false, true, false, false));  // Left: the go-to is given up
    model.advance(250ms);
    model.advance(5s);
    EXPECT_EQ(model.position(1), 5);  // 6 out, 1.5 back
    EXPECT_FALSE(model.moving(1));

    Answer(model, Manual(true, false, false, false));
    Answer(model, Goto(20, true, 0, false));  // the go-to ends the manual drive
    model.advance(10s);
    EXPECT_EQ(model.position(1), 20);
}

TEST(UnitSimMotion, StopHaltsBothRotatorsAndReportsWhereTheyStand)
{
    UnitModel model;
    Answer(model, Goto(90, true, 60, true));
    model.advance(2s);
    const Decoded atStop = DecodePosition(Answer(model, CommandFrame(13, {1})));
    EXPECT_EQ(atStop.position1, 12);
    EXPECT_EQ(atStop.position2, 6);
    model.advance(30s);
    EXPECT_EQ(model.position(1), 12);
    EXPECT_EQ(model.position(2), 6);

    Answer(model, Manual(false, false, true, false));
    Answer(model, CommandFrame(13, {1}));
    model.advance(1s);
    EXPECT_EQ(model.position(2), 6);
}

TEST(UnitSimMotion, SelectSwitchesTheActiveRotator)
{
    UnitModel model({}, AzimuthConfig());
    const struct {
        std::uint8_t value;
        int expected;
    } steps[] = {{1, 1}, {1, 1}, {0, 0}, {7, 0}, {1, 1}, {200, 1}};
    for (const auto& step : steps) {
        const Decoded report = DecodePosition(Answer(model, CommandFrame(21, {step.value})));
        EXPECT_EQ(report.active, step.expected) << int(step.value);
        EXPECT_EQ(model.activeRotator(), step.expected);
    }
}

TEST(UnitSimMotion, ModeWrittenByCommand18ChangesTheReports)
{
    UnitModel model;
    model.setPosition(2, 270);  // read as an elevation: 270 degrees up
    EXPECT_EQ(DecodePosition(Answer(model, Manual(false, false, false, false))).mode, 2);

    Answer(model, WriteRotator2(90, 180, 1, "Azimut "));
    EXPECT_EQ(DecodePosition(Answer(model, Manual(false, false, false, false))).mode, 1);
    EXPECT_EQ(Answer(model, CommandFrame(15, {1}))[18], 1);
    model.setPosition(2, 270);

    Answer(model, WriteRotator2(90, 180, 2));
    const Decoded report = DecodePosition(Answer(model, Manual(false, false, false, false)));
    EXPECT_EQ(report.mode, 2);
    EXPECT_EQ(report.position2, -90);  // an azimuth past 180 becomes the negative elevation it means
    EXPECT_EQ(Answer(model, CommandFrame(15, {1}))[18], 2);

    // Any mode byte but 2 means azimuth.
    Answer(model, WriteRotator2(90, 180, 0));
    EXPECT_EQ(DecodePosition(Answer(model, Manual(false, false, false, false))).mode, 1);
}

TEST(UnitSimMotion, MovingTheLimitSwitchChangesTheWayRound)
{
    UnitModel model;
    model.setPosition(1, 350);
    Answer(model, Goto(10, true, 0, false));
    model.advance(1s);
    EXPECT_EQ(model.position(1), 356);  // stop at 180: the short way through north

    Bytes payload{3, 2, 25, 0, 0};  // limit switch at north
    const char* text = "Azimut ";
    payload.insert(payload.end(), text, text + 7);
    payload.push_back(0);
    Answer(model, CommandFrame(17, payload));
    EXPECT_EQ(model.position(1), 356);  // the sensor still reads the same azimuth
    Answer(model, Goto(10, true, 0, false));
    model.advance(1s);
    EXPECT_EQ(model.position(1), 350);  // now the long way round, through south
}

// ---------------------------------------------------------------------------------------------
// Sensor operations and settings

TEST(UnitSimSettings, SensorOperations)
{
    struct Case {
        const char* name;
        std::uint8_t mode;
        int start1, start2;
        Bytes command;
        std::uint8_t result;
        int position1, position2;
        unsigned wire2;  // rotator 2 as the report carries it
    };
    const Case cases[] = {
        {"reset rotator 1", kModeElevation, 100, 20, SensorCommand(1, 1), 11, 0, 20, 20},
        {"reset rotator 2", kModeElevation, 100, 20, SensorCommand(2, 1), 11, 100, 0, 0},
        {"invert rotator 1", kModeElevation, 90, 0, SensorCommand(1, 2), 12, 270, 0, 0},
        {"invert an elevation", kModeElevation, 0, 30, SensorCommand(2, 2), 12, 0, -30, 65506},
        {"write rotator 1", kModeElevation, 0, 0, SensorCommand(1, 3, 359), 13, 359, 0, 0},
        {"write rotator 2 -45", kModeElevation, 0, 0, SensorCommand(2, 3, 315), 13, 0, -45, 65491},
        {"write rotator 2 -1", kModeElevation, 0, 0, SensorCommand(2, 3, 359), 13, 0, -1, 65535},
        {"write rotator 2 180", kModeElevation, 0, 0, SensorCommand(2, 3, 180), 13, 0, 180, 180},
        {"write azimuth rotator 2 315", kModeAzimuth, 0, 0, SensorCommand(2, 3, 315), 13, 0, 315, 315},
        {"refused: rotator 1 360", kModeElevation, 7, 0, SensorCommand(1, 3, 360), 0, 7, 0, 0},
        {"refused: elevation 200", kModeElevation, 0, 9, SensorCommand(2, 3, 200), 0, 0, 9, 9},
        {"refused: no position", kModeElevation, 7, 0, SensorCommand(1, 3), 0, 7, 0, 0},
        {"refused: rotator 3", kModeElevation, 7, 0, SensorCommand(3, 1), 0, 7, 0, 0},
        {"refused: operation 4", kModeElevation, 7, 0, SensorCommand(1, 4), 0, 7, 0, 0},
    };
    for (const Case& c : cases) {
        UnitConfig config;
        config.mode2 = c.mode;
        UnitModel model({}, config);
        model.setPosition(1, c.start1);
        model.setPosition(2, c.start2);
        const Bytes ack = Answer(model, c.command);
        ASSERT_EQ(ack.size(), 8u) << c.name;
        EXPECT_EQ(ack[4], 100) << c.name;
        EXPECT_EQ(ack[5], 19) << c.name;
        EXPECT_EQ(ack[6], c.result) << c.name;
        const Bytes report = Answer(model, Manual(false, false, false, false));
        EXPECT_EQ(DecodePosition(report).position1, c.position1) << c.name;
        EXPECT_EQ(DecodePosition(report).position2, c.position2) << c.name;
        EXPECT_EQ(unsigned(report[8] | (report[9] << 8)), c.wire2) << c.name;
    }
}

TEST(UnitSimSettings, WritesAreStoredReportedAndAnnounced)
{
    UnitModel model;
    int announced = 0;
    model.setConfigListener([&](const UnitConfig&) { ++announced; });

    Answer(model, CommandFrame(16, {5, 6}));
    Bytes rotator1{12, 11, 100, 103, 1};
    const char* text = "Az";
    rotator1.insert(rotator1.end(), text, text + 2);
    rotator1.insert(rotator1.end(), {' ', ' ', ' ', ' ', ' ', 0});
    Answer(model, CommandFrame(17, rotator1));
    Answer(model, WriteRotator2(200, 400, 1, "E\xE9vace "));  // out of range: the unit clamps
    Answer(model, CommandFrame(20, {1}));
    EXPECT_EQ(announced, 4);

    const Bytes report = Answer(model, CommandFrame(15, {1}));
    const Bytes expected{5, 6, 12, 11, 100, 103, 1, 3, 2, 25, 180, 103, 1, 1,
                         'A', 'z', ' ', ' ', ' ', ' ', ' ', 0, 'E', 0xE9, 'v', 'a', 'c', 'e', ' ', 0, 1};
    EXPECT_THAT(Bytes(report.begin() + 5, report.end() - 1), ElementsAreArray(expected));
}

TEST(UnitSimSettings, ConfigFileRoundTripAndDamagedLines)
{
    UnitConfig written;
    written.sensorId1 = 42;
    written.limitSwitch2 = 359;
    written.mode2 = kModeAzimuth;
    written.lcdText1 = MakeLcdText("a%b =\n");
    written.lcdText2 = MakeLcdText(std::string("\xFF\x01", 2));
    written.display20 = 1;
    UnitConfig read;
    ParseUnitConfig(FormatUnitConfig(written), read);
    EXPECT_EQ(read, written);

    UnitConfig damaged;
    ParseUnitConfig("sensorId1=300\nsensitivity1=abc\ninertia1=7\nmaxElevation2=10\nlimitSwitch1=-3\n"
                    "lcdText1=%Z1\nmode2=9\nnonsense\nunknown=1\n",
                    damaged);
    const UnitConfig defaults;
    EXPECT_EQ(damaged.sensorId1, defaults.sensorId1);
    EXPECT_EQ(damaged.sensitivity1, defaults.sensitivity1);
    EXPECT_EQ(damaged.inertia1, 7);
    EXPECT_EQ(damaged.maxElevation2, kMinMaxElevation);
    EXPECT_EQ(damaged.limitSwitch1, defaults.limitSwitch1);
    EXPECT_EQ(damaged.lcdText1, defaults.lcdText1);
    EXPECT_EQ(damaged.mode2, kModeAzimuth);

    const auto path = std::filesystem::temp_directory_path() / ("unitsim_config_" + std::to_string(::getpid()));
    ASSERT_TRUE(SaveUnitConfig(path.string(), written));
    UnitConfig loaded;
    ASSERT_TRUE(LoadUnitConfig(path.string(), loaded));
    EXPECT_EQ(loaded, written);
    std::filesystem::remove(path);
    EXPECT_FALSE(LoadUnitConfig(path.string(), loaded));
}

// ---------------------------------------------------------------------------------------------
// Finding frames in the byte stream

TEST(UnitSimStream, FramesAreFoundHoweverTheBytesArrive)
{
    const Bytes poll = Manual(true, false, false, false);
    const Bytes version = CommandFrame(99, {1});
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    Bytes corrupted = poll;
    corrupted[6] ^= 0x10;
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<std::size_t> cuts;  // read boundaries
        std::vector<Bytes> frames;
    };
    const Case cases[] = {
        {"whole", poll, {}, {poll}},
        {"split in two", poll, {4}, {poll}},
        {"byte by byte", version, {1, 2, 3, 4, 5, 6}, {version}},
        {"two merged", join({poll, version}), {}, {poll, version}},
        {"one and a half, then the rest", join({poll, version}), {13}, {poll, version}},
        {"noise before", join({{1, 2, 42, 9}, poll}), {}, {poll}},
        {"corrupted, then good", join({corrupted, version}), {}, {version}},
        {"false start with a long length", join({{42, 0, 1, 30, 7}, version}), {}, {version}},
        {"length out of range", join({{42, 0, 1, 200}, version}), {}, {version}},
        {"zero length", join({{42, 0, 1, 0, 42}, version}), {}, {version}},
    };
    for (const Case& c : cases) {
        FrameExtractor extractor;
        std::vector<Bytes> found;
        std::size_t from = 0;
        std::vector<std::size_t> cuts = c.cuts;
        cuts.push_back(c.stream.size());
        for (std::size_t cut : cuts) {
            for (Bytes& f : extractor.feed(c.stream.data() + from, cut - from, 1ms * from))
                found.push_back(std::move(f));
            from = cut;
        }
        EXPECT_EQ(found, c.frames) << c.name;
    }
}

TEST(UnitSimStream, AStaleFragmentIsForgotten)
{
    const Bytes version = CommandFrame(99, {1});
    FrameExtractor extractor(100ms);
    EXPECT_TRUE(extractor.feed(version.data(), 4, 0ms).empty());
    EXPECT_EQ(extractor.pendingBytes(), 4u);
    // The program closed the line mid-frame; the next frame starts afresh.
    const auto frames = extractor.feed(version.data(), version.size(), 500ms);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], version);
    EXPECT_EQ(extractor.discardedBytes(), 4u);
}

// ---------------------------------------------------------------------------------------------
// Fault injection

namespace {

struct FaultRun {
    std::vector<Bytes> writes;
    std::vector<std::chrono::microseconds> times;
};

// 2000 distinct responses, one every 50 ms, drained every 10 ms.
FaultRun Drive(FaultInjector& injector, int count = 2000)
{
    FaultRun run;
    std::chrono::microseconds now{0};
    for (int i = 0; i < count; ++i) {
        PositionReport report;
        report.position1 = i % 360;
        report.position2 = i / 360;
        injector.submit(BuildPositionReport(report), now);
        for (int k = 0; k < 5; ++k, now += 10ms) {
            for (Bytes& write : injector.takeDue(now)) {
                run.writes.push_back(std::move(write));
                run.times.push_back(now);
            }
        }
    }
    for (Bytes& write : injector.takeDue(now + 10s))
        run.writes.push_back(std::move(write));
    return run;
}

}  // namespace

TEST(UnitSimFaults, RatesFollowTheConfigurationAndTheSeedRepeats)
{
    FaultConfig config;
    config.dropPercent = 10;
    config.corruptPercent = 5;
    config.splitPercent = 20;
    config.mergePercent = 10;
    config.seed = 1234;
    FaultInjector first(config);
    FaultInjector second(config);
    const FaultRun a = Drive(first);
    const FaultRun b = Drive(second);
    EXPECT_EQ(a.writes, b.writes);

    const FaultStats& s = first.stats();
    EXPECT_EQ(s.responses, 2000u);
    const auto near = [](std::uint64_t count, double percent, double of) {
        return std::abs(double(count) - percent / 100 * of) < 0.03 * of;
    };
    EXPECT_TRUE(near(s.dropped, 10, 2000)) << s.dropped;
    EXPECT_TRUE(near(s.corrupted, 5, 2000 - s.dropped)) << s.corrupted;
    EXPECT_GT(s.split, 0u);
    EXPECT_GT(s.merged, 0u);
    EXPECT_EQ(s.writes, a.writes.size());

    config.seed = 1235;
    FaultInjector other(config);
    EXPECT_NE(Drive(other).writes, a.writes);
}

TEST(UnitSimFaults, EveryFaultKeepsTheRestOfTheStreamIntact)
{
    // Without drops, the bytes on the line are the responses in order, whatever was split or
    // merged; each corrupted response differs from its original in exactly one byte.
    FaultConfig config;
    config.corruptPercent = 10;
    config.splitPercent = 30;
    config.mergePercent = 20;
    config.seed = 99;
    FaultInjector injector(config);
    const FaultRun run = Drive(injector, 500);

    Bytes line;
    for (const Bytes& write : run.writes)
        line.insert(line.end(), write.begin(), write.end());
    ASSERT_EQ(line.size(), 500u * 15);
    int damaged = 0;
    for (int i = 0; i < 500; ++i) {
        PositionReport report;
        report.position1 = i % 360;
        report.position2 = i / 360;
        const Bytes original = BuildPositionReport(report);
        int differing = 0;
        for (std::size_t k = 0; k < 15; ++k)
            differing += line[i * 15 + k] != original[k];
        EXPECT_LE(differing, 1) << i;
        if (differing == 1) {
            ++damaged;
            EXPECT_NE(Checksum8(&line[i * 15], 14), line[i * 15 + 14]) << i;
        }
    }
    EXPECT_EQ(damaged, int(injector.stats().corrupted));

    // Split and merged writes show up as writes shorter or longer than one frame.
    int shorter = 0, longer = 0;
    for (const Bytes& write : run.writes) {
        shorter += write.size() < 15;
        longer += write.size() == 30;
        EXPECT_TRUE(write.size() <= 15 || write.size() == 30) << write.size();
    }
    EXPECT_EQ(shorter, int(2 * injector.stats().split));
    EXPECT_EQ(longer, int(injector.stats().merged));
}

TEST(UnitSimFaults, SplitHalvesAreDelayedAndSilenceSendsNothing)
{
    FaultConfig split;
    split.splitPercent = 100;
    split.splitDelay = 60ms;
    FaultInjector splitter(split);
    splitter.submit(BuildVersionReport(263), 1000ms);
    const auto head = splitter.takeDue(1000ms);
    ASSERT_EQ(head.size(), 1u);
    EXPECT_TRUE(splitter.takeDue(1059ms).empty());
    ASSERT_EQ(splitter.nextDue(), std::chrono::microseconds(1060ms));
    const auto tail = splitter.takeDue(1060ms);
    ASSERT_EQ(tail.size(), 1u);
    Bytes joined = head[0];
    joined.insert(joined.end(), tail[0].begin(), tail[0].end());
    EXPECT_EQ(joined, BuildVersionReport(263));

    FaultConfig merge;
    merge.mergePercent = 100;
    merge.mergeHold = 250ms;
    FaultInjector merger(merge);
    merger.submit(BuildVersionReport(263), 0ms);
    EXPECT_TRUE(merger.takeDue(100ms).empty());
    const auto alone = merger.takeDue(250ms);  // no partner came: it goes out by itself
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0], BuildVersionReport(263));

    FaultConfig quiet;
    quiet.silenceAfter = 2s;
    quiet.silenceFor = 3s;
    FaultInjector silent(quiet);
    const std::pair<std::chrono::milliseconds, bool> times[] = {
        {1999ms, true}, {2000ms, false}, {4999ms, false}, {5000ms, true}};
    for (const auto& [at, heard] : times) {
        silent.submit(BuildVersionReport(263), at);
        EXPECT_EQ(silent.takeDue(at).size(), heard ? 1u : 0u) << at.count();
    }
    EXPECT_EQ(silent.stats().silenced, 2u);
}

// ---------------------------------------------------------------------------------------------
// Options

TEST(UnitSimOptions, ParsesEveryOption)
{
    UnitSimOptions options;
    std::string error;
    ASSERT_TRUE(ParseUnitSimOptions({"--link", "/tmp/x", "--firmware=266", "--az-speed", "7.5", "--el-speed", "2",
                                     "--mode", "1", "--settings-file", "/tmp/s", "--drop", "5", "--corrupt", "1.5",
                                     "--split", "10", "--merge", "20", "--split-delay", "80", "--silence-after", "3",
                                     "--silence-for", "2.5", "--seed", "77", "--timing-log", "/tmp/t", "--verbose"},
                                    options, error))
        << error;
    EXPECT_EQ(options.link, "/tmp/x");
    EXPECT_EQ(options.model.firmwareVersion, 266);
    EXPECT_DOUBLE_EQ(options.model.azimuthSpeed, 7.5);
    EXPECT_DOUBLE_EQ(options.model.elevationSpeed, 2);
    EXPECT_EQ(options.mode, std::optional<std::uint8_t>(1));
    EXPECT_EQ(options.settingsFile, "/tmp/s");
    EXPECT_DOUBLE_EQ(options.faults.dropPercent, 5);
    EXPECT_DOUBLE_EQ(options.faults.corruptPercent, 1.5);
    EXPECT_DOUBLE_EQ(options.faults.splitPercent, 10);
    EXPECT_DOUBLE_EQ(options.faults.mergePercent, 20);
    EXPECT_EQ(options.faults.splitDelay, 80ms);
    EXPECT_EQ(options.faults.silenceAfter, std::optional<std::chrono::microseconds>(3s));
    EXPECT_EQ(options.faults.silenceFor, 2500ms);
    EXPECT_EQ(options.faults.seed, 77u);
    EXPECT_EQ(options.timingLog, "/tmp/t");
    EXPECT_TRUE(options.verbose);

    UnitSimOptions onlyFor;
    ASSERT_TRUE(ParseUnitSimOptions({"--silence-for", "4"}, onlyFor, error));
    EXPECT_EQ(onlyFor.faults.silenceAfter, std::optional<std::chrono::microseconds>(0s));

    UnitSimOptions version;
    ASSERT_TRUE(ParseUnitSimOptions({"--seed", "3", "--version"}, version, error)) << error;
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.help);
    EXPECT_FALSE(options.version);
}

// The usage names every option the parser takes, so the text cannot fall behind the parser.
TEST(UnitSimOptions, UsageListsEveryOptionTheParserTakes)
{
    const std::string usage = UnitSimUsage();
    for (const std::string option :
         {"--link", "--firmware", "--az-speed", "--el-speed", "--mode", "--settings-file", "--drop", "--corrupt",
          "--split", "--split-delay", "--merge", "--silence-after", "--silence-for", "--seed", "--timing-log",
          "--state-file", "--verbose", "--version", "--help"}) {
        EXPECT_NE(usage.find("  " + option + " "), std::string::npos) << option;
        const bool flag = option == "--verbose" || option == "--version" || option == "--help";
        UnitSimOptions options;
        std::string error;
        std::vector<std::string> args{option};
        if (!flag)
            args.push_back(option == "--mode" ? "1" : "5");
        EXPECT_TRUE(ParseUnitSimOptions(args, options, error)) << option << ": " << error;
    }
}

TEST(UnitSimOptions, RefusesBadInput)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--mode", "3"},       {"--drop", "101"},       {"--drop", "-1"},   {"--firmware", "65536"},
        {"--firmware", "1.07"}, {"--az-speed", "0"},    {"--el-speed", "x"}, {"--seed", "-4"},
        {"--link"},            {"--silence-after", "-1"}, {"--frobnicate", "1"}, {"--split", "5%"},
        {"--frobnicate"},
    };
    for (const auto& args : cases) {
        UnitSimOptions options;
        std::string error;
        EXPECT_FALSE(ParseUnitSimOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

// ---------------------------------------------------------------------------------------------
// Over a pseudo-terminal

namespace {

// Reads until `size` bytes arrived, letting `pump` run in between; gives up after a few seconds
// (a liveness guard, not a timing check).
Bytes ReadExactly(int fd, std::size_t size, const std::function<void()>& pump)
{
    Bytes got;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (got.size() < size && std::chrono::steady_clock::now() < deadline) {
        pump();
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 10) > 0 && (entry.revents & POLLIN)) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
    }
    return got;
}

void WriteAll(int fd, const Bytes& bytes)
{
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
}

}  // namespace

TEST(UnitSimPty, RoundTripAndReopen)
{
    PtyTransport pty;
    std::string error;
    ASSERT_TRUE(pty.open(error)) << error;
    UnitModelOptions options;
    options.firmwareVersion = 266;
    UnitModel model(options);
    FaultInjector faults;
    UnitServer server(model, faults, pty);
    const auto pump = [&] { server.step(5ms); };

    int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    termios settings{};
    ASSERT_EQ(::tcgetattr(fd, &settings), 0);
    EXPECT_EQ(cfgetispeed(&settings), speed_t(B19200));
    EXPECT_EQ(cfgetospeed(&settings), speed_t(B19200));
    EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);

    WriteAll(fd, CommandFrame(99, {1}));
    EXPECT_THAT(ReadExactly(fd, 8, pump), ElementsAreArray(BuildVersionReport(266)));

    // A frame written in two pieces, then two frames in one write.
    const Bytes poll = Manual(false, false, false, false);
    WriteAll(fd, Bytes(poll.begin(), poll.begin() + 3));
    pump();
    WriteAll(fd, Bytes(poll.begin() + 3, poll.end()));
    EXPECT_EQ(ReadExactly(fd, 15, pump).size(), 15u);
    Bytes both = CommandFrame(21, {1});
    both.insert(both.end(), poll.begin(), poll.end());
    WriteAll(fd, both);
    const Bytes answers = ReadExactly(fd, 30, pump);
    ASSERT_EQ(answers.size(), 30u);
    EXPECT_EQ(answers[13], 1);  // the selection took effect
    EXPECT_EQ(answers[28], 1);

    // The program goes away and comes back: the unit keeps answering.
    ::close(fd);
    for (int i = 0; i < 5 && pty.peerPresent(); ++i)
        pump();
    EXPECT_FALSE(pty.peerPresent());
    fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    WriteAll(fd, CommandFrame(99, {1}));
    EXPECT_THAT(ReadExactly(fd, 8, pump), ElementsAreArray(BuildVersionReport(266)));
    ::close(fd);
    EXPECT_EQ(server.stats().framesReceived, 5u);
    EXPECT_GE(server.stats().peerLosses, 1u);
}

TEST(UnitSimPty, LinkIsReplacedOnlyWhenItIsALink)
{
    const auto dir = std::filesystem::temp_directory_path() / ("unitsim_link_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "plain";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    std::string error;
    {
        PtyTransport pty;
        ASSERT_TRUE(pty.open(error)) << error;
        EXPECT_FALSE(pty.createLink(file.string(), error));
        EXPECT_TRUE(std::filesystem::is_regular_file(file));

        const auto link = dir / "com1";
        std::filesystem::create_symlink("/nonexistent", link);
        ASSERT_TRUE(pty.createLink(link.string(), error)) << error;
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), pty.slavePath());
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "com1")));
    std::filesystem::remove_all(dir);
}

namespace {

std::string UnitSimBinary()
{
    if (const char* path = std::getenv("VANTORA_UNITSIM_BIN"))
        return path;
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    return n > 0 ? (std::filesystem::path(std::string(self, std::size_t(n))).parent_path() / "vantora-unitsim").string()
                 : "vantora-unitsim";
}

}  // namespace

TEST(UnitSimProgram, AnswersOverItsLinkAndCleansUpOnSigterm)
{
    const std::string binary = UnitSimBinary();
    ASSERT_TRUE(std::filesystem::exists(binary)) << binary;
    const auto dir = std::filesystem::temp_directory_path() / ("unitsim_prog_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string link = (dir / "com1").string();
    const std::string timing = (dir / "timing.log").string();

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(binary.c_str(), binary.c_str(), "--link", link.c_str(), "--firmware", "262", "--timing-log",
                timing.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    // The first line on standard output is the terminal's path; the link exists by then.
    std::string printed;
    char c;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        printed += c;
    EXPECT_EQ(printed.rfind("/dev/pts/", 0), 0u) << printed;
    ASSERT_EQ(std::filesystem::read_symlink(link).string(), printed);

    for (int session = 0; session < 2; ++session) {
        const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        WriteAll(fd, CommandFrame(99, {1}));
        EXPECT_THAT(ReadExactly(fd, 8, [] {}), ElementsAreArray(BuildVersionReport(262))) << session;
        ::close(fd);
    }

    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(out[0]);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

    // Two version requests, one line each: milliseconds and code.
    std::FILE* log = std::fopen(timing.c_str(), "r");
    ASSERT_NE(log, nullptr);
    double ms = 0;
    unsigned code = 0;
    int lines = 0;
    double previous = -1;
    while (std::fscanf(log, "%lf %u", &ms, &code) == 2) {
        EXPECT_EQ(code, 99u);
        EXPECT_GT(ms, previous);
        previous = ms;
        ++lines;
    }
    std::fclose(log);
    EXPECT_EQ(lines, 2);
    std::filesystem::remove_all(dir);
}
