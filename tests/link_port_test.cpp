// Which device "COM n" opens, and what choosing a port does.

#include "link/port_name.h"
#include "link/port_selection.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace vantora {
namespace {

ValueLookup From(std::map<std::string, std::string> values)
{
    return [values = std::move(values)](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        return it->second;
    };
}

TEST(PortDeviceName, EnvironmentThenSettingsThenSerialDevice)
{
    const ValueLookup environment = From({{"VANTORA_COM1", "/tmp/unit"}, {"VANTORA_COM4", ""}});
    const ValueLookup settings = From({{"Com1Device", "/dev/ttyUSB0"}, {"Com2Device", "/dev/ttyUSB1"},
                                       {"Com3Device", ""}, {"Com4Device", "/dev/ttyACM0"}});
    const struct {
        int n;
        PortPlatform platform;
        const char* expected;
    } cases[] = {
        {1, PortPlatform::Posix, "/tmp/unit"},
        {2, PortPlatform::Posix, "/dev/ttyUSB1"},
        {3, PortPlatform::Posix, "/dev/ttyS2"},
        {4, PortPlatform::Posix, "/dev/ttyACM0"},
        {10, PortPlatform::Posix, "/dev/ttyS9"},
        {1, PortPlatform::Windows, "COM1"},
        {10, PortPlatform::Windows, "COM10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortDeviceName(c.n, c.platform, environment, settings), c.expected) << c.n;
    EXPECT_EQ(PortDeviceName(5, PortPlatform::Posix, {}, {}), "/dev/ttyS4");
}

TEST(PortDeviceName, ReadsTheProcessEnvironment)
{
#ifndef _WIN32
    ::setenv("VANTORA_COM7", "/tmp/seventh", 1);
    EXPECT_EQ(PortDeviceName(7), "/tmp/seventh");
    ::unsetenv("VANTORA_COM7");
    EXPECT_EQ(PortDeviceName(7, From({{"Com7Device", "/dev/ttyUSB7"}})), "/dev/ttyUSB7");
    EXPECT_EQ(PortDeviceName(7), "/dev/ttyS6");
#else
    EXPECT_EQ(PortDeviceName(7), "COM7");
#endif
}

class FakePort : public SerialPortControl {
public:
    bool Connect() override
    {
        calls.push_back("Connect " + std::to_string(index));
        open = opens;
        return opens;
    }
    void Disconnect() override
    {
        calls.push_back("Disconnect");
        open = false;
    }
    void SetComPort(int i) override { index = i; }

    int index = 0;
    bool opens = true;
    bool open = false;
    std::vector<std::string> calls;
};

TEST(SetPort, ClosesSelectsAndReopens)
{
    const struct {
        int n;
        bool opens;
        int checked;     // menu item checked, 0 for none
        int index;       // port index used by Connect
        bool message;
    } cases[] = {
        {3, true, 3, 2, false},
        {3, false, 3, 2, true},     // COM 3 stays checked, the link stays closed
        {10, true, 10, 9, false},
        {11, true, 0, 0, false},    // out of the menu: the previous port (COM1 at start)
        {0, false, 0, 0, true},
        {-4, true, 0, 0, false},
    };
    for (const auto& c : cases) {
        FakePort port;
        port.opens = c.opens;
        int current = 1;
        int checked = 0;
        std::vector<std::string> messages;
        SetPort(c.n, current, port,
                {[&](int item) { checked = item; },
                 [&](const std::string& text) { messages.push_back(text); }});
        EXPECT_EQ(current, c.n);
        EXPECT_EQ(checked, c.checked) << c.n;
        EXPECT_EQ(port.calls, (std::vector<std::string>{"Disconnect", "Connect " + std::to_string(c.index)}))
            << c.n;
        EXPECT_EQ(messages, c.message ? std::vector<std::string>{"Unable to open port !"}
                                      : std::vector<std::string>{}) << c.n;
    }
}

TEST(SetPort, OutOfRangeKeepsThePortChosenBefore)
{
    FakePort port;
    int current = 1;
    SetPort(4, current, port, {});
    SetPort(11, current, port, {});
    EXPECT_EQ(port.calls.back(), "Connect 3");
    EXPECT_EQ(current, 11);
}

}  // namespace
}  // namespace vantora
