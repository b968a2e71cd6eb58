// One owner per serial port: a device that another Vantora or another program holds does not
// open, says "port busy" once, and is left exactly as its owner set it up.

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "link/ui/link_health_monitor.h"
#include "support/event_wait.h"
#include "support/link_test_doubles.h"
#include "support/pseudo_terminal.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace vantora {
namespace {

using test::Bytes;
using test::PseudoTerminal;
using test::WaitFor;

const Bytes kStop{42, 0, 1, 2, 13, 1, 59};

// Whatever the code under test writes to standard error while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    std::string text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll().toStdString();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

int CountOf(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Whether someone holds an advisory lock on the device.
bool LockedByAnother(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

// Someone else holding the device; released when destroyed or by release().
class Holder {
public:
    virtual ~Holder() = default;
    virtual void release() = 0;
};

// Another Vantora: the same serial layer, open on the device.
class DriverHolder : public Holder {
public:
    explicit DriverHolder(const std::string& path)
    {
        driver.SetDeviceNameResolver([path](int) { return path; });
        EXPECT_TRUE(driver.Connect());
    }
    void release() override { driver.Disconnect(); }
    TCommPortDriver driver;
};

// Another program that locks the device the usual way, here the flock(1) command.
class FlockCommandHolder : public Holder {
public:
    explicit FlockCommandHolder(const std::string& path)
    {
        // -o: the lock stays with flock itself, not with the command it runs, so that ending
        // flock releases it; the command, cat, ends when its input closes.
        m_process.start(QStringLiteral("flock"),
                        {QStringLiteral("-o"), QString::fromStdString(path), QStringLiteral("cat")});
        EXPECT_TRUE(m_process.waitForStarted());
        EXPECT_TRUE(WaitFor([&] { return LockedByAnother(path); }, 5000));
    }
    ~FlockCommandHolder() override { release(); }
    void release() override
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished();
        m_process.closeWriteChannel();
    }

private:
    QProcess m_process;
};

// Another program that put the terminal in exclusive mode without taking a lock.
class ExclusiveModeHolder : public Holder {
public:
    explicit ExclusiveModeHolder(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        EXPECT_GE(m_fd, 0);
        EXPECT_EQ(::ioctl(m_fd, TIOCEXCL), 0);
    }
    ~ExclusiveModeHolder() override { release(); }
    void release() override
    {
        if (m_fd < 0)
            return;
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

struct HolderCase {
    const char* name;
    std::function<std::unique_ptr<Holder>(const std::string& path)> hold;
    bool needsOrdinaryUser;  // the superuser passes the terminal's exclusive mode
};

TEST(PortOwner, HeldDeviceIsBusyLeftAloneAndOpensOnceReleased)
{
    const bool haveFlock = !QStandardPaths::findExecutable(QStringLiteral("flock")).isEmpty();
    const std::vector<HolderCase> cases{
        {"another Vantora", [](const std::string& p) { return std::make_unique<DriverHolder>(p); }, false},
        {"the flock command", [](const std::string& p) { return std::make_unique<FlockCommandHolder>(p); }, false},
        {"exclusive mode", [](const std::string& p) { return std::make_unique<ExclusiveModeHolder>(p); }, true},
    };
    for (const HolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsOrdinaryUser && ::geteuid() == 0) {
            std::printf("[ SKIPPED  ] %s: the superuser passes a terminal's exclusive mode\n", c.name);
            continue;
        }
        if (std::string(c.name) == "the flock command" && !haveFlock) {
            std::printf("[ SKIPPED  ] %s: no flock command here\n", c.name);
            continue;
        }
        PseudoTerminal unit;
        ASSERT_TRUE(unit.ok());
        // A line setting of the owner's that the unit's 19200 baud would overwrite.
        termios line{};
        ASSERT_EQ(::tcgetattr(unit.slave(), &line), 0);
        ::cfsetspeed(&line, B4800);
        ASSERT_EQ(::tcsetattr(unit.slave(), TCSANOW, &line), 0);

        std::unique_ptr<Holder> holder = c.hold(unit.path());
        termios owners{};
        ASSERT_EQ(::tcgetattr(unit.slave(), &owners), 0);

        TCommPortDriver second;
        const std::string path = unit.path();
        second.SetDeviceNameResolver([path](int) { return path; });
        test::ScriptedInputs inputs;
        test::RecordingEvents events;
        LinkController link{inputs, second, events};
        LinkHealthMonitor monitor{second, link};
        int failures = 0;
        QObject::connect(&second, &TCommPortDriver::portOpenFailed, [&failures] { ++failures; });

        StderrCapture capture;
        EXPECT_FALSE(second.Connect());
        EXPECT_FALSE(second.Connect());  // tried again: still busy, told once
        const std::string said = capture.text();
        EXPECT_FALSE(second.Connected());
        EXPECT_TRUE(second.OpenFailedBusy());
        EXPECT_EQ(failures, 2);
        EXPECT_EQ(monitor.fault(), LinkFault::PortBusy);
        EXPECT_EQ(CountOf(said, "port busy: " + path), 1) << said;
        EXPECT_EQ(second.SendData(kStop.data(), static_cast<int>(kStop.size())), 0);

        termios after{};
        ASSERT_EQ(::tcgetattr(unit.slave(), &after), 0);
        EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&owners));
        EXPECT_EQ(after.c_cflag, owners.c_cflag);
        EXPECT_EQ(after.c_lflag, owners.c_lflag);
        if (auto* driverHolder = dynamic_cast<DriverHolder*>(holder.get())) {
            // The owner's frames still reach the unit, and only the owner's.
            EXPECT_EQ(driverHolder->driver.SendData(kStop.data(), static_cast<int>(kStop.size())), 7);
            EXPECT_EQ(unit.Read(64), kStop);
        }

        holder->release();
        ASSERT_TRUE(second.Connect());
        EXPECT_FALSE(second.OpenFailedBusy());
        EXPECT_EQ(monitor.fault(), LinkFault::None);
        EXPECT_EQ(second.SendData(kStop.data(), static_cast<int>(kStop.size())), 7);
        EXPECT_EQ(unit.Read(64), kStop);
        // Now this one is the owner: the lock is on the device for everyone to see.
        EXPECT_TRUE(LockedByAnother(path));
        second.Disconnect();
        EXPECT_FALSE(LockedByAnother(path));
    }
}

struct FailureCase {
    const char* name;
    std::string device;
    bool busy;
};

// Only a device held by someone else is busy; one that is missing or refuses us is not.
TEST(PortOwner, OnlyAHeldDeviceIsBusy)
{
    PseudoTerminal unit;
    ASSERT_TRUE(unit.ok());
    QTemporaryFile regular;  // neither a terminal nor held: the open itself fails
    ASSERT_TRUE(regular.open());
    const std::vector<FailureCase> cases{
        {"missing device", "/nonexistent/vantora-port", false},
        {"not a serial device", regular.fileName().toStdString(), false},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TCommPortDriver driver;
        driver.SetDeviceNameResolver([&c](int) { return c.device; });
        test::ScriptedInputs inputs;
        test::RecordingEvents events;
        LinkController link{inputs, driver, events};
        LinkHealthMonitor monitor{driver, link};
        StderrCapture capture;
        EXPECT_FALSE(driver.Connect());
        const std::string said = capture.text();
        EXPECT_EQ(driver.OpenFailedBusy(), c.busy);
        EXPECT_EQ(monitor.fault(), c.busy ? LinkFault::PortBusy : LinkFault::UnableToOpen);
        EXPECT_EQ(CountOf(said, "port busy"), c.busy ? 1 : 0) << said;
    }
}

// Standard error hears of a busy port once per episode, however often it is tried (a lost
// port is tried every 2 s), and again once it has been open in between.
TEST(PortOwner, BusyIsToldOncePerEpisode)
{
    PseudoTerminal unit;
    ASSERT_TRUE(unit.ok());
    const std::string path = unit.path();
    DriverHolder owner(path);
    TCommPortDriver driver;
    driver.SetDeviceNameResolver([path](int) { return path; });
    StderrCapture capture;
    for (int attempt = 0; attempt < 4; ++attempt)
        EXPECT_FALSE(driver.Connect());
    owner.release();
    EXPECT_TRUE(driver.Connect());
    driver.Disconnect();
    owner.driver.Connect();
    EXPECT_FALSE(driver.Connect());  // a new episode is told again
    const std::string said = capture.text();
    EXPECT_EQ(CountOf(said, "port busy"), 2) << said;
}

}  // namespace
}  // namespace vantora
