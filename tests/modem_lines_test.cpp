// DTR and RTS after the serial layer opens a port. A pseudo-terminal has no modem lines; a real
// serial device named by VANTORA_TEST_TTY (e.g. /dev/ttyS0; never chosen by the test itself, as
// it toggles the lines of whatever is attached) takes each combination of the two lines.

#include "link/ui/comm_port_driver.h"
#include "link/ui/modem_lines.h"
#include "support/pseudo_terminal.h"

#include <QSerialPort>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vantora {
namespace {

// A serial device whose modem lines can be read, or empty.
std::string RealSerialDevice()
{
    const std::string path = qgetenv("VANTORA_TEST_TTY").toStdString();
    if (path.empty())
        return {};
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    int lines = 0;
    const bool readable = ::ioctl(fd, TIOCMGET, &lines) == 0;
    ::close(fd);
    return readable ? path : std::string{};
}

TEST(ModemLines, PseudoTerminalRefusesWithoutHarm)
{
    test::PseudoTerminal unit;
    ASSERT_TRUE(unit.ok());
    const std::string path = unit.path();
    TCommPortDriver driver;
    driver.SetDeviceNameResolver([path](int) { return path; });
    ASSERT_TRUE(driver.Connect());
    EXPECT_TRUE(driver.Connected());
}

TEST(ModemLines, RealPortTakesEachCombinationOfTheTwoLines)
{
    const std::string path = RealSerialDevice();
    if (path.empty())
        GTEST_SKIP() << "no serial device with modem lines here (set VANTORA_TEST_TTY)";
    QSerialPort port(QString::fromStdString(path));
    ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
    const auto lines = [&] {
        int bits = 0;
        EXPECT_EQ(::ioctl(static_cast<int>(port.handle()), TIOCMGET, &bits), 0);
        return bits & (TIOCM_DTR | TIOCM_RTS);
    };
    ASSERT_EQ(lines(), TIOCM_DTR | TIOCM_RTS);  // what the system does on every open
    struct Case {
        bool dtr, rts;
        int expected;
    };
    const Case cases[] = {{false, false, 0}, {true, false, TIOCM_DTR}, {false, true, TIOCM_RTS},
                          {true, true, TIOCM_DTR | TIOCM_RTS}, {false, false, 0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(SetModemLines(port, c.dtr, c.rts));
        EXPECT_EQ(lines(), c.expected) << c.dtr << c.rts;
    }
}

}  // namespace
}  // namespace vantora
