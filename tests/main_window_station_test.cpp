// The station as the UDP inputs reach it through the main window: targets, the locator go-to,
// STOP and PARK, and the positions reported back; both inputs off in a fresh program.
#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "net/ui/udp_inputs.h"
#include "station/ui/station.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/pty_unit.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::WaitFor;

class MainWindowStationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::UnitModelOptions options;
        options.azimuthSpeed = 120;
        options.elevationSpeed = 120;
        unit = std::make_unique<test::PtyUnit>(options, sim::UnitConfig{});
        qputenv("VANTORA_COM1", QByteArray::fromStdString(unit->path()));
        qputenv("VANTORA_TCP_PORT", "0");
        store.values["RegVersion"] = std::string("1.09");
        store.values["Lokator"] = std::string("JN89XX");
        store.values["preset_a0"] = std::int32_t{45};
        store.values["preset_e0"] = std::int32_t{10};
        windows = std::make_unique<ProgramWindows>(store, store);
        main = windows->main.get();
        main->show();
        main->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return main->timer1().isActive(); }));
        ASSERT_TRUE(WaitFor([&] { return main->link().state.rotator2Mode != 0; }));
    }

    QString label(const char* name) const { return main->findChild<QLabel*>(name)->text(); }

    test::FakeSettingsStore store;
    std::unique_ptr<test::PtyUnit> unit;
    std::unique_ptr<ProgramWindows> windows;
    MainWindow* main = nullptr;
};

TEST_F(MainWindowStationTest, InputsAreOffInAFreshProgram)
{
    EXPECT_FALSE(windows->udpInputs->n1mm().socket().isListening());
    EXPECT_FALSE(windows->udpInputs->pst().socket().isListening());
}

TEST_F(MainWindowStationTest, TargetsLocatorsAndPositionsGoThroughTheMainWindow)
{
    RemoteStation& station = *windows->station;
    EXPECT_FALSE(station.GoToLocator("jn89xx"));  // home: no direction
    EXPECT_FALSE(station.GoToLocator("JN79"));
    EXPECT_FALSE(station.GoToLocator("90"));      // a number is not a locator here
    EXPECT_EQ(main->link().gotoRequest.which, 0);

    EXPECT_TRUE(station.GoToLocator("io91aa"));
    EXPECT_EQ(label("Label7"), "282°");
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) == 282 && station.BeamAzimuth() == 282; }));

    station.SetTarget(3, 100, 30);
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) == 100 && unit->model.position(2) == 30; }));
    EXPECT_TRUE(WaitFor([&] { return station.Elevation() == 30 && station.BeamAzimuth() == 100; }));

    station.Park();
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == 45 && unit->model.position(2) == 10; }));
}

TEST_F(MainWindowStationTest, AzimuthAndElevationInTwoDatagramsBothReachTheUnit)
{
    // As Hamlib's PstRotator backend sends one position: two datagrams, one right after the
    // other, before the poll tick sends the first.
    RemoteStation& station = *windows->station;
    station.SetTarget(1, 120, 0);
    station.SetTarget(2, 0, 40);
    EXPECT_EQ(main->link().gotoRequest.which, 3);
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == 120 && unit->model.position(2) == 40; }));

    // Once the first has left, the second names only its own rotator.
    station.SetTarget(1, 60, 0);
    ASSERT_TRUE(WaitFor([&] { return main->link().gotoRequest.which == 0; }));
    station.SetTarget(2, 0, 20);
    EXPECT_EQ(main->link().gotoRequest.which, 2);
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == 60 && unit->model.position(2) == 20; }));
}

}  // namespace
}  // namespace vantora
