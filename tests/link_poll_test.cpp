// The 50 ms poll tick and the handling of the unit's responses, without a display or a port.

#include "link/link_controller.h"
#include "station/target_entry.h"
#include "support/link_test_doubles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::PositionFrame;
using test::ResponseFrame;
using test::VersionFrame;
using Log = std::vector<std::string>;

class PollTest : public ::testing::Test {
protected:
    void Deliver(const Bytes& bytes)
    {
        link.CommPortDriver1ReceiveData(bytes.data(), static_cast<int>(bytes.size()));
    }

    // One tick; returns the frame it sent, or nothing.
    // Space in the target box, as the main window passes it on.
    void PressSpace() { EXPECT_EQ(TargetKeyPress(kKeySpace, link.state, link.selectRequest), KeyOutcome::Swallowed); }

    Bytes Tick()
    {
        const std::size_t before = sink.frames.size();
        link.Timer1Timer();
        EXPECT_LE(sink.frames.size(), before + 1) << "more than one frame in one tick";
        return sink.frames.size() > before ? sink.frames.back() : Bytes{};
    }

    static int Code(const Bytes& frame) { return frame.size() > 4 ? frame[4] : -1; }

    void MakeVersionKnown()
    {
        Deliver(VersionFrame(263));
        events.log.clear();
    }

    test::ScriptedInputs inputs;
    test::RecordingSink sink;
    test::RecordingEvents events;
    LinkController link{inputs, sink, events};
};

TEST_F(PollTest, OldFirmwareShowsTheMessageOncePerReportAndSilencesTheLine)
{
    Deliver(VersionFrame(262));
    EXPECT_EQ(events.log, (Log{"Message:Please update HW firmware"}));
    EXPECT_TRUE(link.state.firmwareTooOld);
    EXPECT_EQ(link.state.firmwareVersion, 262);
    link.gotoRequest.which = 1;
    EXPECT_TRUE(Tick().empty());
    EXPECT_TRUE(Tick().empty());
    EXPECT_EQ(link.gotoRequest.which, 1);

    Deliver(VersionFrame(262));
    EXPECT_EQ(events.log, (Log{"Message:Please update HW firmware", "Message:Please update HW firmware"}));

    // The flag is never cleared, and a later good report no longer makes the line talk.
    Deliver(VersionFrame(263));
    EXPECT_TRUE(link.state.firmwareTooOld);
    EXPECT_TRUE(Tick().empty());
    // Responses are still decoded.
    Deliver(PositionFrame(123, 1, 0, 1, 2, 0));
    EXPECT_EQ(link.state.position1, 123);
}

TEST_F(PollTest, AcceptedFirmwareEnablesTheMenusAndTheNextTickPolls)
{
    const struct {
        std::uint16_t version;
        bool accepted;
    } cases[] = {{261, false}, {262, false}, {263, true}, {266, true}, {0x0200, true}};
    for (const auto& c : cases) {
        test::RecordingSink caseSink;
        test::RecordingEvents caseEvents;
        LinkController fresh{inputs, caseSink, caseEvents};
        const Bytes report = VersionFrame(c.version);
        fresh.CommPortDriver1ReceiveData(report.data(), static_cast<int>(report.size()));
        fresh.Timer1Timer();
        EXPECT_EQ(fresh.state.firmwareTooOld, !c.accepted) << c.version;
        EXPECT_EQ(caseEvents.log, c.accepted ? Log{"EnableMenus"} : Log{"Message:Please update HW firmware"})
            << c.version;
        EXPECT_EQ(caseSink.frames.size(), c.accepted ? 1u : 0u) << c.version;
        if (c.accepted) {
            EXPECT_EQ(Code(caseSink.frames.front()), 12) << c.version;
        }
    }
}

TEST_F(PollTest, OneFramePerTickByPriority)
{
    const struct {
        bool versionKnown, gotoPending, selectPending;
        int code;
    } cases[] = {
        {true, false, false, 12},  {true, true, false, 11},  {true, false, true, 21},
        {true, true, true, 21},    {false, false, false, 99}, {false, true, false, 99},
        {false, false, true, 99},  {false, true, true, 99},
    };
    for (const auto& c : cases) {
        test::RecordingSink caseSink;
        LinkController fresh{inputs, caseSink, events};
        fresh.state.firmwareVersion = c.versionKnown ? 263 : 0;
        fresh.gotoRequest = {.target1 = 10, .target2 = 20, .which = static_cast<std::uint16_t>(c.gotoPending ? 3 : 0)};
        fresh.selectRequest = {.pending = c.selectPending, .value = 1};
        fresh.Timer1Timer();
        ASSERT_EQ(caseSink.frames.size(), 1u);
        EXPECT_EQ(Code(caseSink.frames[0]), c.code)
            << c.versionKnown << c.gotoPending << c.selectPending;
        // Every request is consumed on this tick, sent or not.
        EXPECT_EQ(fresh.gotoRequest.which, 0);
        EXPECT_FALSE(fresh.selectRequest.pending);
    }
}

TEST_F(PollTest, TwoSpacePressesInOneTickSendOneSelection)
{
    MakeVersionKnown();
    PressSpace();
    PressSpace();
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 2, 21, 1, 67}));
    // Before a report brings the new active rotator, Space asks for rotator 2 again.
    PressSpace();
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 2, 21, 1, 67}));
    EXPECT_EQ(Code(Tick()), 12);

    Deliver(PositionFrame(0, 1, 0, 1, 1, 1));
    PressSpace();
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 2, 21, 0, 66}));
}

TEST_F(PollTest, GotoForBothRotatorsThenManualDriveOnTheNextTick)
{
    MakeVersionKnown();
    link.gotoRequest = {.target1 = 225, .target2 = 10, .which = 3};
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 7, 11, 225, 0, 1, 10, 0, 1, 42}));
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 5, 12, 0, 0, 0, 0, 60}));
    EXPECT_EQ(link.gotoRequest.target1, 225);
    EXPECT_EQ(link.gotoRequest.target2, 10);
}

TEST_F(PollTest, ArrowKeysDriveOnlyWhileTheTargetBoxIsEmpty)
{
    MakeVersionKnown();
    inputs.keys = {.right = true, .up = true};
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 5, 12, 1, 0, 1, 0, 62}));
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 5, 12, 1, 0, 1, 0, 62}));
    inputs.boxHoldsText = true;
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 5, 12, 0, 0, 0, 0, 60}));
    inputs.boxHoldsText = false;
    inputs.keys = {.left = true, .down = true};
    EXPECT_EQ(Tick(), (Bytes{42, 0, 1, 5, 12, 0, 1, 0, 1, 62}));
}

TEST_F(PollTest, ClosedPortConsumesRequestsAndSendsNothing)
{
    MakeVersionKnown();
    sink.connected = false;
    link.gotoRequest.which = 1;
    EXPECT_TRUE(Tick().empty());
    EXPECT_EQ(link.gotoRequest.which, 0);
}

TEST_F(PollTest, PositionReportIsStoredBeforeItIsShown)
{
    struct Capture : test::RecordingEvents {
        const LinkController* link = nullptr;
        std::vector<int> seen;
        void ShowAzimut() override
        {
            RecordingEvents::ShowAzimut();
            seen.push_back(link->state.position1);
        }
        void ShowElevace() override
        {
            RecordingEvents::ShowElevace();
            seen.push_back(link->state.position2);
        }
    } capture;
    LinkController fresh{inputs, sink, capture};
    capture.link = &fresh;
    const Bytes report = PositionFrame(400, 0, 65535, 255, 1, 1);
    fresh.CommPortDriver1ReceiveData(report.data(), static_cast<int>(report.size()));

    EXPECT_EQ(capture.log, (Log{"ShowAzimut", "ShowElevace"}));
    EXPECT_EQ(capture.seen, (std::vector<int>{400, -1}));
    EXPECT_EQ(fresh.state.status1, 0);
    EXPECT_EQ(fresh.state.status2, 255);
    EXPECT_EQ(fresh.state.rotator2Mode, 1);
    EXPECT_EQ(fresh.state.activeRotator, 1);
    EXPECT_EQ(fresh.Rotator2PositionText(), "-1°");
}

TEST_F(PollTest, SettingsReportIsStoredThenAnnounced)
{
    Bytes payload(31, 0);
    payload[0] = 7;    // sensorId1
    payload[13] = 2;   // mode2
    for (int i = 0; i < 7; ++i)
        payload[14 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('A' + i);
    Deliver(ResponseFrame(15, payload));
    EXPECT_EQ(events.log, (Log{"Settings"}));
    EXPECT_EQ(link.state.settings.sensorId1, 7);
    EXPECT_EQ(link.state.settings.mode2, 2);
    EXPECT_EQ(link.state.settings.lcdText1, "ABCDEFG");
}

TEST_F(PollTest, AcknowledgementsReachTheDialogStatusLines)
{
    const struct {
        Bytes payload;
        Log expected;
    } cases[] = {
        {{16}, {"Unit:ID sucessfully changed"}},
        {{17}, {"Unit:Sucessfully writed"}},
        {{18}, {"Unit:Sucessfully writed"}},
        {{20}, {"Unit:Display changed"}},
        {{19, 11}, {"Sensor:Sucessfully writed"}},
        {{19, 12}, {"Sensor:Sucessfully changed"}},
        {{19, 13}, {"Sensor:Sucessfully writed"}},
        {{19, 14}, {}},
        {{15}, {}},
        {{21}, {}},
    };
    for (const auto& c : cases) {
        events.log.clear();
        Deliver(ResponseFrame(100, c.payload));
        EXPECT_EQ(events.log, c.expected) << int(c.payload[0]);
    }
}

TEST_F(PollTest, GotoAcknowledgementMarksSetpointsByPair)
{
    const struct {
        std::uint8_t a1, b1, a2, b2;
        bool red1, red2;
    } cases[] = {
        {1, 0, 0, 0, true, false}, {0, 0, 1, 0, false, true}, {1, 0, 1, 0, true, true},
        {1, 1, 1, 1, false, false}, {2, 0, 0, 1, false, false}, {0, 0, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        LinkController fresh{inputs, sink, events};
        fresh.setpoints.rotator2.value = "30°";
        const Bytes ack = ResponseFrame(100, {11, c.a1, c.b1, c.a2, c.b2});
        fresh.CommPortDriver1ReceiveData(ack.data(), static_cast<int>(ack.size()));
        EXPECT_EQ(fresh.setpoints.rotator1.acknowledged, c.red1);
        EXPECT_EQ(fresh.setpoints.rotator2.acknowledged, c.red2);
    }
}

TEST_F(PollTest, Rotator2StaysBlackWhileBothItsLabelsReadZero)
{
    const Bytes ack = ResponseFrame(100, {11, 0, 0, 1, 0});
    Deliver(ack);
    EXPECT_FALSE(link.setpoints.rotator2.acknowledged);
    EXPECT_TRUE(events.log.empty());

    // A position other than 0 is enough, and so is a setpoint other than "0°".
    Deliver(PositionFrame(0, 1, -3, 1, 2, 0));
    Deliver(ack);
    EXPECT_TRUE(link.setpoints.rotator2.acknowledged);

    LinkController second{inputs, sink, events};
    second.setpoints.rotator2.value = "0° ";
    second.CommPortDriver1ReceiveData(ack.data(), static_cast<int>(ack.size()));
    EXPECT_TRUE(second.setpoints.rotator2.acknowledged);
}

TEST_F(PollTest, AcknowledgedSetpointTimesOutOnThe21stTickWithoutRestarting)
{
    MakeVersionKnown();
    link.setpoints.rotator1.value = "90°";
    const Bytes ack = ResponseFrame(100, {11, 1, 0, 0, 0});
    Deliver(ack);
    EXPECT_EQ(events.log, (Log{"Setpoints"}));
    for (int tick = 1; tick <= 20; ++tick) {
        Tick();
        if (tick == 10)
            Deliver(ack);  // already red: the count goes on
        ASSERT_TRUE(link.setpoints.rotator1.acknowledged) << "tick " << tick;
        ASSERT_EQ(link.setpoints.rotator1.value, "90°");
    }
    EXPECT_EQ(events.log, (Log{"Setpoints"}));
    Tick();
    EXPECT_FALSE(link.setpoints.rotator1.acknowledged);
    EXPECT_EQ(link.setpoints.rotator1.value, "0°");
    EXPECT_EQ(link.setpoints.rotator1.counter, 0);
    EXPECT_EQ(events.log, (Log{"Setpoints", "Setpoints"}));

    // A new acknowledgement starts a fresh count of 21.
    Deliver(ack);
    for (int tick = 1; tick <= 20; ++tick)
        Tick();
    EXPECT_TRUE(link.setpoints.rotator1.acknowledged);
    Tick();
    EXPECT_FALSE(link.setpoints.rotator1.acknowledged);
}

TEST_F(PollTest, SetpointTimeOutRunsEvenWhenTheFirmwareIsTooOld)
{
    link.setpoints.rotator2.value = "45°";
    Deliver(ResponseFrame(100, {11, 0, 0, 1, 0}));
    Deliver(VersionFrame(200));
    for (int tick = 0; tick < 21; ++tick)
        EXPECT_TRUE(Tick().empty());
    EXPECT_FALSE(link.setpoints.rotator2.acknowledged);
    EXPECT_EQ(link.setpoints.rotator2.value, "0°");
}

TEST_F(PollTest, HwInfo)
{
    link.VerzeHW1Click();
    EXPECT_TRUE(events.log.empty());

    const struct {
        std::uint16_t version;
        const char* text;
    } cases[] = {
        {263, "Firmware version: v1.07"},
        {266, "Firmware version: v1.10"},
        {0x0200, "Firmware version: v2.00"},
        {0x0163, "Firmware version: v1.99"},
        {0x0AFF, "Firmware version: v10.255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HwInfoText(c.version).value_or(""), c.text);
        events.log.clear();
        link.state.firmwareVersion = c.version;
        link.VerzeHW1Click();
        EXPECT_EQ(events.log, (Log{std::string("Message:") + c.text}));
    }
    EXPECT_FALSE(HwInfoText(0).has_value());
}

}  // namespace
}  // namespace vantora
