// Serial ports by name: the chooser's list (stable names, explicitly mapped devices such as a
// pseudo-terminal, no device twice), its refresh while open, and choosing a port from the main
// window's Port menu against the simulated unit.

#include "link/ui/port_chooser.h"
#include "app/ui/main_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/port_menu.h"
#include "app/ui/program_windows.h"
#include "link/serial_port_list.h"
#include "link/ui/device_path.h"
#include "settings/translate.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/pty_unit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace vantora {
namespace {

using test::WaitFor;
namespace fs = std::filesystem;

class FakePorts : public SerialPortEnumerator {
public:
    std::vector<SerialPortEntry> Ports() const override { return list; }
    std::vector<SerialPortEntry> list;
};

std::string Identity(const std::string& text)
{
    return text;
}

// A stand-in /dev: device nodes as plain files, a by-id folder of links to them.
class FakeDev : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString();
        fs::create_directories(root + "/by-id");
        for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
            QFile(QString::fromStdString(root + "/" + name)).open(QIODevice::WriteOnly);
        fs::create_symlink(root + "/ttyUSB0", root + "/by-id/usb-FTDI_FT232R_A1-if00-port0");
        fs::create_symlink(root + "/ttyACM0", root + "/by-id/usb-Arduino_B2-if00");
        fs::create_symlink(root + "/ttyUSB1", root + "/my-unit");
    }
    std::string dev(const char* name) const { return root + "/" + name; }

    QTemporaryDir dir;
    std::string root;
};

TEST_F(FakeDev, ListPrefersStableNamesAndAddsExplicitDevicesOnce)
{
    const auto stable = StableDeviceNames(root + "/by-id");
    ASSERT_EQ(stable.size(), 2u);
    EXPECT_EQ(stable.at(fs::canonical(dev("ttyUSB0")).string()), dev("by-id/usb-FTDI_FT232R_A1-if00-port0"));

    const std::vector<SerialPortEntry> system{
        {dev("ttyUSB0"), "", "FT232R USB UART", "FTDI", "A1"},
        {dev("ttyUSB1"), "", "CP2102", "Silicon Labs", "C3"},
        {dev("ttyACM0"), "", "Arduino Uno", "Arduino", "B2"},
        {dev("ttyUSB0"), "", "listed twice", "", ""},
    };
    const std::vector<std::string> explicitDevices{
        dev("my-unit"),                 // a link to ttyUSB1, which is listed already
        dev("ttyUSB0"),                 // listed already
        dev("gone"),                    // does not exist
        "/dev/null",                    // exists, not a listed port: offered as configured
        "",
    };
    const std::vector<SerialPortEntry> rows = ChooserList(system, explicitDevices, stable);
    std::vector<std::string> devices;
    for (const SerialPortEntry& row : rows)
        devices.push_back(row.device);
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/null", dev("by-id/usb-Arduino_B2-if00"),
                                                 dev("by-id/usb-FTDI_FT232R_A1-if00-port0"), dev("ttyUSB1")}));
    EXPECT_EQ(rows[2].systemName, dev("ttyUSB0"));
    EXPECT_EQ(rows[2].description, "FT232R USB UART");
    EXPECT_EQ(rows[2].serialNumber, "A1");
    EXPECT_EQ(rows[3].manufacturer, "Silicon Labs");
    EXPECT_TRUE(StableDeviceNames(root + "/no-such-folder").empty());
}

TEST(SystemSerialPorts, ListsAMappedPseudoTerminal)
{
    test::PtyUnit unit;
    const SystemSerialPorts ports([&] { return std::vector<std::string>{unit.path()}; });
    int found = 0;
    for (const SerialPortEntry& row : ports.Ports())
        found += row.device == unit.path() ? 1 : 0;
    EXPECT_EQ(found, 1);
}

TEST(PortChooser, RefreshesWhileOpenAndKeepsTheSelection)
{
    FakePorts ports;
    ports.list = {{"/dev/ttyUSB0", "/dev/ttyUSB0", "adapter", "", ""}};
    PortChooser chooser(ports, Identity);
    chooser.openFor(3);
    auto* list = chooser.findChild<QTreeWidget*>("PortList");
    auto* open = chooser.findChild<QPushButton*>("OpenPortButton");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), "Open as COM 3");
    EXPECT_FALSE(open->isEnabled());  // nothing selected yet
    ASSERT_TRUE(chooser.selectDevice("/dev/ttyUSB0"));
    EXPECT_TRUE(open->isEnabled());

    // A second adapter is plugged in while the window is open, sorted in front.
    ports.list.insert(ports.list.begin(), {"/dev/ttyACM0", "/dev/ttyACM0", "other", "", ""});
    ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 2; }, 5000));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(0), "/dev/ttyUSB0");

    // Everything unplugged: the list says so and nothing can be opened.
    ports.list.clear();
    ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 0; }, 5000));
    EXPECT_FALSE(chooser.findChild<QLabel*>("NoPortsLabel")->isHidden());
    EXPECT_FALSE(open->isEnabled());

    // Hidden, it stops reading.
    chooser.hide();
    ports.list = {{"/dev/ttyUSB0", "/dev/ttyUSB0", "adapter", "", ""}};
    QTest::qWait(PortChooser::kRefreshMs * 2);
    EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST(DevicePath, OnlyAnExistingTerminalPasses)
{
    test::PtyUnit unit;
    QTemporaryDir dir;
    const std::string plain = dir.filePath("plain").toStdString();
    QFile(QString::fromStdString(plain)).open(QIODevice::WriteOnly);
    struct Case {
        std::string path;
        DevicePathProblem problem;
    };
    const Case cases[] = {
        {unit.path(), DevicePathProblem::None},
        {"", DevicePathProblem::Empty},
        {dir.filePath("nothing").toStdString(), DevicePathProblem::Missing},
        {plain, DevicePathProblem::NotTerminal},
        {dir.path().toStdString(), DevicePathProblem::NotTerminal},
        {"/dev/null", DevicePathProblem::NotTerminal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckDevicePath(c.path), c.problem) << c.path;
    for (DevicePathProblem problem :
         {DevicePathProblem::Empty, DevicePathProblem::Missing, DevicePathProblem::NotTerminal,
          DevicePathProblem::NoAccess, DevicePathProblem::CannotOpen}) {
        const std::string english(DevicePathProblemText(problem));
        EXPECT_FALSE(english.empty());
        EXPECT_NE(Translate(1, english), english) << english;
    }
}

// A path the list does not show can be typed; "Open as COM n" opens only a terminal and says
// why not beside the field. The window's title names what the menu item does.
TEST(PortChooser, DevicePathTakesAnyTerminalAndRefusesTheRest)
{
    test::PtyUnit unit;  // a pseudo-terminal: not in the system's list
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    QFile(plain).open(QIODevice::WriteOnly);
    FakePorts ports;
    ports.list = {{"/dev/ttyUSB0", "/dev/ttyUSB0", "adapter", "", ""}};
    PortChooser chooser(ports, Identity);
    EXPECT_EQ(chooser.windowTitle(), "Other port");
    QSignalSpy chosen(&chooser, &PortChooser::portChosen);
    chooser.openFor(2);
    auto* path = chooser.findChild<QLineEdit*>("DevicePath");
    auto* open = chooser.findChild<QPushButton*>("OpenPortButton");
    auto* problem = chooser.findChild<QLabel*>("DevicePathProblem");
    ASSERT_TRUE(path && open && problem);

    struct Case {
        QString typed;
        QString says;  // empty: opened
    };
    const Case cases[] = {
        {dir.filePath("nothing"), dir.filePath("nothing") + " does not exist"},
        {plain, plain + " is not a serial port or terminal"},
        {"/dev/null", "/dev/null is not a serial port or terminal"},
        {" " + QString::fromStdString(unit.path()) + " ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        chooser.openFor(2);
        path->clear();
        QTest::keyClicks(path, c.typed);
        ASSERT_TRUE(open->isEnabled());
        open->click();
        if (c.says.isEmpty()) {
            EXPECT_TRUE(problem->isHidden());
            EXPECT_FALSE(chooser.isVisible());
            ASSERT_EQ(chosen.size(), 1);
            EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
            EXPECT_EQ(chosen.at(0).at(1).toString().toStdString(), unit.path());
        } else {
            EXPECT_FALSE(problem->isHidden());
            EXPECT_EQ(problem->text(), c.says);
            EXPECT_TRUE(chooser.isVisible());
            EXPECT_EQ(chosen.size(), 0);
        }
    }

    // A typed path survives a refresh of the list; choosing a row puts its device in the field.
    chooser.openFor(1);
    QTest::keyClicks(path, "/dev/pts/77");
    ports.list.push_back({"/dev/ttyUSB1", "/dev/ttyUSB1", "other", "", ""});
    ASSERT_TRUE(WaitFor([&] { return chooser.rows().size() == 2; }, 5000));
    EXPECT_EQ(path->text(), "/dev/pts/77");
    ASSERT_TRUE(chooser.selectDevice("/dev/ttyUSB1"));
    EXPECT_EQ(path->text(), "/dev/ttyUSB1");
}

class PortMenuTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        windows.reset();
        qunsetenv("VANTORA_COM1");
    }
    test::FakeSettingsStore store;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(PortMenuTest, OtherPortAssignsTheChosenDeviceToTheCurrentComAndOpensIt)
{
    sim::UnitModelOptions options;
    options.azimuthSpeed = 120;
    test::PtyUnit first(options);
    test::PtyUnit second(options);
    qputenv("VANTORA_COM1", QByteArray::fromStdString(first.path()));
    qputenv("VANTORA_TCP_PORT", "0");
    store.values["RegVersion"] = std::string("1.09");
    store.values["Com2Device"] = second.path();  // mapped, so the chooser lists the terminal
    windows = std::make_unique<ProgramWindows>(store, store);
    MainWindow& main = *windows->main;
    main.show();
    main.activateWindow();
    ASSERT_TRUE(main.port().Connected());
    PortMenu& menu = *windows->portMenu;
    EXPECT_EQ(main.menu().ports[0]->text().toStdString(), "COM 1 — " + first.path());
    EXPECT_EQ(main.menu().ports[1]->text().toStdString(), "COM 2 — " + second.path());
    EXPECT_EQ(main.menu().ports[2]->text().toStdString(), "COM 3 — /dev/ttyS2");
    EXPECT_EQ(menu.otherPort()->text(), "Other port…");
    EXPECT_EQ(menu.chooser().windowTitle(), "Other port");

    menu.otherPort()->trigger();
    PortChooser& chooser = menu.chooser();
    ASSERT_TRUE(chooser.isVisible());
    EXPECT_EQ(chooser.portNumber(), 1);
    // COM 1's own device is listed (mapped through the environment) and selected.
    ASSERT_NE(chooser.findChild<QTreeWidget*>("PortList")->currentItem(), nullptr);
    EXPECT_EQ(chooser.findChild<QTreeWidget*>("PortList")->currentItem()->text(0).toStdString(), first.path());
    ASSERT_TRUE(chooser.selectDevice(QString::fromStdString(second.path())));
    chooser.findChild<QPushButton*>("OpenPortButton")->click();

    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(store.values["Com1Device"], test::FakeSettingsStore::Value(second.path()));
    EXPECT_EQ(main.port().DeviceName().toStdString(), second.path());
    EXPECT_TRUE(main.port().Connected());
    EXPECT_TRUE(main.menu().ports[0]->isChecked());
    EXPECT_EQ(main.menu().ports[0]->text().toStdString(), "COM 1 — " + second.path());

    // The program now talks to the second unit (the poll runs while the main window is active).
    main.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return main.timer1().isActive(); }));
    second.model.setPosition(1, 77);
    EXPECT_TRUE(WaitFor([&] { return main.findChild<QLabel*>("Label6")->text() == "77°"; }));
}

}  // namespace
}  // namespace vantora
