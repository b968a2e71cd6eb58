// The serial layer over a real pseudo-terminal; the test plays the control unit on the master.

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "link/ui/link_receiver.h"
#include "support/event_wait.h"
#include "support/link_test_doubles.h"
#include "support/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::PseudoTerminal;
using test::WaitFor;

// Runs the event loop for `ms` milliseconds: several receive polls.
void RunEvents(int ms)
{
    WaitFor([] { return false; }, ms);
}

const Bytes kStop{42, 0, 1, 2, 13, 1, 59};

class SerialDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(unit.ok());
        const std::string path = unit.path();
        driver.SetDeviceNameResolver([path](int) { return path; });
        driver.SetOnReceiveData([this](const std::uint8_t* data, int size) {
            deliveries.emplace_back(data, data + size);
        });
        ASSERT_TRUE(driver.Connect());
    }

    PseudoTerminal unit;
    TCommPortDriver driver;
    std::vector<Bytes> deliveries;
};

TEST_F(SerialDriverTest, OpensAt19200EightNoneOneWithoutFlowControl)
{
    EXPECT_TRUE(driver.Connected());
    EXPECT_TRUE(driver.Connect());  // already open: nothing changes
    termios line{};
    ASSERT_EQ(::tcgetattr(unit.slave(), &line), 0);
    EXPECT_EQ(::cfgetospeed(&line), static_cast<speed_t>(B19200));
    EXPECT_EQ(::cfgetispeed(&line), static_cast<speed_t>(B19200));
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);
}

TEST_F(SerialDriverTest, FramesOfThePollCycleReachTheUnit)
{
    test::ScriptedInputs inputs;
    test::RecordingEvents events;
    LinkController link{inputs, driver, events};
    link.Timer1Timer();
    EXPECT_EQ(unit.Read(7), (Bytes{42, 0, 1, 2, 99, 1, 145}));

    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 7);
    EXPECT_EQ(unit.Read(7), kStop);
}

TEST_F(SerialDriverTest, ResponsesReachTheControllerWithPollingPaused)
{
    struct Events : test::RecordingEvents {
        TCommPortDriver* driver = nullptr;
        std::vector<int> pausesSeen;
        void ShowAzimut() override { pausesSeen.push_back(driver->PollingPauses()); }
    } events;
    events.driver = &driver;
    test::ScriptedInputs inputs;
    LinkController link{inputs, driver, events};
    ConnectLinkReceiver(driver, link);

    ASSERT_TRUE(unit.Write(test::PositionFrame(123, 1, 65535, 1, 2, 0)));
    ASSERT_TRUE(WaitFor([&] { return link.state.position1 == 123; }));
    EXPECT_EQ(link.state.position2, -1);
    EXPECT_EQ(events.pausesSeen, std::vector<int>{1});
    EXPECT_EQ(driver.PollingPauses(), 0);
}

TEST_F(SerialDriverTest, PauseCounterHoldsDeliveriesBack)
{
    const Bytes version = test::VersionFrame(263);
    driver.PausePolling();
    driver.PausePolling();
    ASSERT_TRUE(unit.Write(version));
    RunEvents(250);
    driver.ContinuePolling();
    RunEvents(150);
    EXPECT_TRUE(deliveries.empty());
    driver.ContinuePolling();
    ASSERT_TRUE(WaitFor([&] { return !deliveries.empty(); }));
    EXPECT_EQ(deliveries, std::vector<Bytes>{version});
}

// The link's health is checked at each receive poll, so a poll is announced whether or not
// anything came and while deliveries are held back; a closed port announces none, even when
// asked to restart its poll.
TEST_F(SerialDriverTest, ReceivePollsAreAnnouncedWhileOpenDeliveryOrNot)
{
    int polls = 0;
    QObject::connect(&driver, &TCommPortDriver::receivePolled, [&polls] { ++polls; });
    RunEvents(180);
    EXPECT_GE(polls, 2);
    EXPECT_TRUE(deliveries.empty());

    driver.PausePolling();
    ASSERT_TRUE(unit.Write(test::VersionFrame(263)));
    const int beforePause = polls;
    RunEvents(180);
    EXPECT_GE(polls - beforePause, 2);
    EXPECT_TRUE(deliveries.empty());
    driver.ContinuePolling();
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 1; }));

    driver.Disconnect();
    driver.RestartReceivePoll();
    const int whenClosed = polls;
    RunEvents(180);
    EXPECT_EQ(polls, whenClosed);
}

TEST_F(SerialDriverTest, MessageBoxInsideTheHandlerGetsNoNestedDelivery)
{
    const Bytes position = test::PositionFrame(77, 1, 5, 1, 2, 0);
    struct Events : test::RecordingEvents {
        std::function<void()> onMessage;
        void ShowMessage(const std::string& text) override
        {
            RecordingEvents::ShowMessage(text);
            onMessage();
        }
    } events;
    test::ScriptedInputs inputs;
    LinkController link{inputs, driver, events};
    ConnectLinkReceiver(driver, link);
    bool positionDuringMessage = false;
    events.onMessage = [&] {
        // What a modal box does: the event loop keeps running while the unit keeps talking.
        ASSERT_TRUE(unit.Write(position));
        RunEvents(300);
        positionDuringMessage = link.state.position1 == 77;
    };

    ASSERT_TRUE(unit.Write(test::VersionFrame(262)));
    ASSERT_TRUE(WaitFor([&] { return link.state.firmwareTooOld; }));
    EXPECT_FALSE(positionDuringMessage);
    ASSERT_TRUE(WaitFor([&] { return link.state.position1 == 77; }));
}

TEST_F(SerialDriverTest, SplitFrameComesInTwoDeliveriesAndMergedFramesInOne)
{
    test::ScriptedInputs inputs;
    test::RecordingEvents events;
    LinkController link{inputs, driver, events};
    driver.SetOnReceiveData([&](const std::uint8_t* data, int size) {
        deliveries.emplace_back(data, data + size);
        link.CommPortDriver1ReceiveData(data, size);
    });

    const Bytes position = test::PositionFrame(200, 1, 30, 1, 2, 0);
    ASSERT_TRUE(unit.Write(Bytes(position.begin(), position.begin() + 6)));
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 1; }));
    ASSERT_TRUE(unit.Write(Bytes(position.begin() + 6, position.end())));
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 2; }));
    EXPECT_EQ(deliveries[0].size(), 6u);
    EXPECT_EQ(deliveries[1].size(), position.size() - 6);

    Bytes merged = position;
    const Bytes version = test::VersionFrame(263);
    merged.insert(merged.end(), version.begin(), version.end());
    ASSERT_TRUE(unit.Write(merged));
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 3; }));
    EXPECT_EQ(deliveries[2], merged);

    // None of the three deliveries was one whole frame: nothing was taken from them.
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(link.state.position1, 0);
    EXPECT_EQ(link.state.firmwareVersion, 0);

    ASSERT_TRUE(unit.Write(position));
    ASSERT_TRUE(WaitFor([&] { return link.state.position1 == 200; }));
}

TEST_F(SerialDriverTest, OneDeliveryCarriesAtMostOneHundredBytes)
{
    Bytes burst(150);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<std::uint8_t>(i);
    driver.PausePolling();
    ASSERT_TRUE(unit.Write(burst));
    RunEvents(150);
    driver.ContinuePolling();
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 2; }));
    EXPECT_EQ(deliveries[0], Bytes(burst.begin(), burst.begin() + 100));
    EXPECT_EQ(deliveries[1], Bytes(burst.begin() + 100, burst.end()));
}

TEST_F(SerialDriverTest, StalledLineDropsWhatItCouldNotTakeInsteadOfQueueingIt)
{
    // Far more than a pseudo-terminal buffers while nobody reads the other end.
    const Bytes flood(1 << 20, 0x55);
    const int written = driver.SendDataEx(flood.data(), static_cast<int>(flood.size()), 100);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(flood.size()));
    EXPECT_TRUE(driver.Connected());

    Bytes drained = unit.Read(flood.size());
    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 7);
    const Bytes afterwards = unit.Read(7);
    EXPECT_EQ(afterwards, kStop);
    EXPECT_LE(drained.size(), static_cast<std::size_t>(written));
}

TEST_F(SerialDriverTest, VanishedDeviceIsClosedAndCanBeOpenedAgain)
{
    int lost = 0;
    QObject::connect(&driver, &TCommPortDriver::portLost, [&lost] { ++lost; });
    unit.Close();
    ASSERT_TRUE(WaitFor([&] { return !driver.Connected(); }));
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 0);

    // The unit comes back under a new device path, found through the environment mapping.
    PseudoTerminal replugged;
    ASSERT_TRUE(replugged.ok());
    ::setenv("VANTORA_COM3", replugged.path().c_str(), 1);
    driver.SetDeviceNameResolver({});
    driver.SetComPort(2);
    EXPECT_EQ(driver.DeviceName().toStdString(), replugged.path());
    ASSERT_TRUE(driver.Connect());
    ::unsetenv("VANTORA_COM3");

    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 7);
    EXPECT_EQ(replugged.Read(7), kStop);
    const Bytes version = test::VersionFrame(263);
    ASSERT_TRUE(replugged.Write(version));
    ASSERT_TRUE(WaitFor([&] { return !deliveries.empty(); }));
    EXPECT_EQ(deliveries.back(), version);
    EXPECT_EQ(lost, 1);
}

TEST(SerialDriverClosed, SendsNothingAndRefusesAMissingDevice)
{
    TCommPortDriver driver;
    driver.SetDeviceNameResolver([](int) { return std::string("/nonexistent/vantora-port"); });
    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 0);
    EXPECT_FALSE(driver.Connect());
    EXPECT_FALSE(driver.Connected());
    EXPECT_EQ(driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 0);
}

TEST(SerialDriverClosed, PortIndexChangesOnlyWhileClosed)
{
    PseudoTerminal unit;
    ASSERT_TRUE(unit.ok());
    TCommPortDriver driver;
    std::vector<int> asked;
    driver.SetDeviceNameResolver([&](int n) {
        asked.push_back(n);
        return unit.path();
    });
    EXPECT_EQ(driver.ComPort(), 0);
    driver.SetComPort(4);
    driver.SetComPort(16);  // beyond COM16: ignored
    ASSERT_TRUE(driver.Connect());
    EXPECT_EQ(asked.back(), 5);
    driver.SetComPort(1);
    EXPECT_EQ(driver.ComPort(), 4);
    driver.Disconnect();
    EXPECT_FALSE(driver.Connected());
    driver.SetComPort(1);
    EXPECT_EQ(driver.ComPort(), 1);
}

}  // namespace
}  // namespace vantora
