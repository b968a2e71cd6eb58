// The serial layer over a real pseudo-terminal; the test plays the control unit on the master.

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "link/ui/link_receiver.h"
#include "support/link_test_doubles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;

// Runs the event loop until `done` holds; gives up after `limitMs` so a fault fails, not hangs.
bool WaitFor(const std::function<bool()>& done, int limitMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds: several receive polls.
void RunEvents(int ms)
{
    WaitFor([] { return false; }, ms);
}

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = name;
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() { Close(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& path() const { return m_path; }
    int slave() const { return m_slave; }

    void Write(const Bytes& bytes) const
    {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `count` bytes came or the line stayed quiet for a second.
    Bytes Read(std::size_t count) const
    {
        Bytes got;
        while (got.size() < count) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0)
                break;
            std::uint8_t chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

    // The unit is unplugged: both ends go away.
    void Close()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
        m_slave = m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

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

    const Bytes stop{42, 0, 1, 2, 13, 1, 59};
    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 7);
    EXPECT_EQ(unit.Read(7), stop);
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

    unit.Write(test::PositionFrame(123, 1, 65535, 1, 2, 0));
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
    unit.Write(version);
    RunEvents(250);
    driver.ContinuePolling();
    RunEvents(150);
    EXPECT_TRUE(deliveries.empty());
    driver.ContinuePolling();
    ASSERT_TRUE(WaitFor([&] { return !deliveries.empty(); }));
    EXPECT_EQ(deliveries, std::vector<Bytes>{version});
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
        unit.Write(position);
        RunEvents(300);
        positionDuringMessage = link.state.position1 == 77;
    };

    unit.Write(test::VersionFrame(262));
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
    unit.Write(Bytes(position.begin(), position.begin() + 6));
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 1; }));
    unit.Write(Bytes(position.begin() + 6, position.end()));
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 2; }));
    EXPECT_EQ(deliveries[0].size(), 6u);
    EXPECT_EQ(deliveries[1].size(), position.size() - 6);

    Bytes merged = position;
    const Bytes version = test::VersionFrame(263);
    merged.insert(merged.end(), version.begin(), version.end());
    unit.Write(merged);
    ASSERT_TRUE(WaitFor([&] { return deliveries.size() == 3; }));
    EXPECT_EQ(deliveries[2], merged);

    // None of the three deliveries was one whole frame: nothing was taken from them.
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(link.state.position1, 0);
    EXPECT_EQ(link.state.firmwareVersion, 0);

    unit.Write(position);
    ASSERT_TRUE(WaitFor([&] { return link.state.position1 == 200; }));
}

TEST_F(SerialDriverTest, OneDeliveryCarriesAtMostOneHundredBytes)
{
    Bytes burst(150);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<std::uint8_t>(i);
    driver.PausePolling();
    unit.Write(burst);
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
    const Bytes stop{42, 0, 1, 2, 13, 1, 59};
    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 7);
    const Bytes afterwards = unit.Read(7);
    EXPECT_EQ(afterwards, stop);
    EXPECT_LE(drained.size(), static_cast<std::size_t>(written));
}

TEST_F(SerialDriverTest, VanishedDeviceIsClosedAndCanBeOpenedAgain)
{
    int lost = 0;
    QObject::connect(&driver, &TCommPortDriver::portLost, [&lost] { ++lost; });
    unit.Close();
    ASSERT_TRUE(WaitFor([&] { return !driver.Connected(); }));
    EXPECT_EQ(lost, 1);
    const Bytes stop{42, 0, 1, 2, 13, 1, 59};
    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 0);

    // The unit comes back under a new device path, found through the environment mapping.
    PseudoTerminal replugged;
    ASSERT_TRUE(replugged.ok());
    ::setenv("VANTORA_COM3", replugged.path().c_str(), 1);
    driver.SetDeviceNameResolver({});
    driver.SetComPort(2);
    EXPECT_EQ(driver.DeviceName().toStdString(), replugged.path());
    ASSERT_TRUE(driver.Connect());
    ::unsetenv("VANTORA_COM3");

    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 7);
    EXPECT_EQ(replugged.Read(7), stop);
    const Bytes version = test::VersionFrame(263);
    replugged.Write(version);
    ASSERT_TRUE(WaitFor([&] { return !deliveries.empty(); }));
    EXPECT_EQ(deliveries.back(), version);
    EXPECT_EQ(lost, 1);
}

TEST(SerialDriverClosed, SendsNothingAndRefusesAMissingDevice)
{
    TCommPortDriver driver;
    driver.SetDeviceNameResolver([](int) { return std::string("/nonexistent/vantora-port"); });
    const Bytes stop{42, 0, 1, 2, 13, 1, 59};
    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 0);
    EXPECT_FALSE(driver.Connect());
    EXPECT_FALSE(driver.Connected());
    EXPECT_EQ(driver.SendData(stop.data(), static_cast<int>(stop.size())), 0);
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
