// The station by itself, with no window: the simulated unit on a pseudo-terminal, targets from
// several doors, what the consoles read back and when they hear of it.
#include "station/ui/station.h"
#include "link/port_name.h"
#include "net/ui/station_events.h"
#include "station/origin_station.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/pty_unit.h"
#include "track/ui/tracking_service.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::WaitFor;

class StationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::UnitModelOptions options;
        options.azimuthSpeed = 120;
        options.elevationSpeed = 120;
        unit = std::make_unique<test::PtyUnit>(options, sim::UnitConfig{});
        store.values["RegVersion"] = std::string("1.09");
        store.values["Lokator"] = std::string("JN89XX");
        store.values["Znacka"] = std::string("OK1XYZ");
        store.values["preset_a0"] = std::int32_t{45};
        store.values["preset_e0"] = std::int32_t{10};
        store.values["preset_3"] = std::string("Moonrise");
        store.values["preset_a3"] = std::int32_t{95};
        store.values["preset_e3"] = std::int32_t{5};
        station =
            std::make_unique<Station>(store, store, [this](int n) { return n == 1 ? unit->path() : "/nonexistent"; });
        station->start();
        station->restartPoll();
        ASSERT_TRUE(WaitFor([&] { return station->linkFresh(); }));
    }

    test::FakeSettingsStore store;
    std::unique_ptr<test::PtyUnit> unit;
    std::unique_ptr<Station> station;
};

TEST_F(StationTest, SnapshotShowsTheStationAndItsLastCommand)
{
    OriginStation rotctld(*station, {CommandSource::Rotctld, {}});
    rotctld.SetTarget(3, 100, 30);
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) == 100 && unit->model.position(2) == 30; }));
    ASSERT_TRUE(WaitFor([&] { return station->Snapshot().rotator1.position == 100; }));

    const StationSnapshot snapshot = station->Snapshot();
    EXPECT_EQ(snapshot.callsign, "OK1XYZ");
    EXPECT_EQ(snapshot.homeLocator, "JN89XX");
    EXPECT_TRUE(snapshot.linkFresh);
    EXPECT_EQ(snapshot.staleReason, "");
    EXPECT_TRUE(snapshot.rotator2IsElevation);
    EXPECT_EQ(snapshot.rotator2.position, 30);
    EXPECT_EQ(snapshot.presets[2].name, "Moonrise");
    EXPECT_EQ(snapshot.presets[2].azimuth, 95);
    EXPECT_EQ(snapshot.trackingSource, "off");
    EXPECT_EQ(snapshot.lastCommand, "100/30");
    EXPECT_EQ(snapshot.lastCommandOrigin, (CommandOrigin{CommandSource::Rotctld, {}}));
}

TEST_F(StationTest, EachDoorNamesItsCommands)
{
    struct Step {
        std::function<void()> command;
        CommandOrigin origin;
        std::string text;
    };
    OriginStation n1mm(*station, {CommandSource::N1mm, {}});
    OriginStation pst(*station, {CommandSource::Pst, {}});
    const std::vector<Step> steps = {
        {[&] { n1mm.SetTarget(1, 200, 0); }, {CommandSource::N1mm, {}}, "200"},
        {[&] { pst.Park(); }, {CommandSource::Pst, {}}, "PARK"},
        {[&] { EXPECT_TRUE(pst.GoToLocator("io91aa")); }, {CommandSource::Pst, {}}, "IO91AA"},
        {[&] {
             station->CommandsFrom({CommandSource::Web, "192.168.1.20"});
             EXPECT_TRUE(station->GoPreset(3));
         },
         {CommandSource::Web, "192.168.1.20"},
         "Preset 3"},
        {[&] { EXPECT_FALSE(station->GoPreset(9)); }, {CommandSource::Web, "192.168.1.20"}, "Preset 3"},
        {[&] {
             station->CommandsFrom({CommandSource::Mqtt, {}});
             EXPECT_TRUE(station->EnterTargetText("e20"));
         },
         {CommandSource::Mqtt, {}},
         "E20"},
        {[&] { EXPECT_FALSE(station->EnterTargetText("nonsense")); }, {CommandSource::Mqtt, {}}, "E20"},
        {[&] { station->Stop(); }, {CommandSource::Mqtt, {}}, "STOP"},
    };
    for (const Step& step : steps) {
        step.command();
        EXPECT_EQ(station->lastCommand(), step.text);
        EXPECT_EQ(station->lastCommandOrigin(), step.origin) << step.text;
    }
}

TEST_F(StationTest, ConsolesHearOfChangesAtMostOncePerTick)
{
    QSignalSpy changed(&station->events(), &StationEvents::changed);
    QSignalSpy ticks(&station->timer1(), &QTimer::timeout);
    // Many changes between two ticks are one piece of news.
    station->SetTarget(1, 90, 0);
    station->SetTarget(2, 0, 20);
    station->GoPreset(3);
    EXPECT_EQ(changed.count(), 0);
    ASSERT_TRUE(WaitFor([&] { return changed.count() >= 1; }));
    ASSERT_TRUE(WaitFor([&] { return ticks.count() >= 40; }));
    EXPECT_LE(changed.count(), ticks.count());

    // With the poll stopped (another window in front), news still comes, once.
    station->stopPoll();
    changed.clear();
    station->SetTarget(1, 10, 0);
    station->SetTarget(1, 20, 0);
    // (Later news may come on its own: a silent link turns stale after a second.)
    ASSERT_TRUE(WaitFor([&] { return changed.count() >= 1; }));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(StationTest, RemoteHandDriveTurnsWhileHeld)
{
    const int start = unit->model.position(1);
    station->Jog(JogDirection::Cw, true);
    EXPECT_EQ(station->lastCommand(), "Jog CW");
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) != start; }));
    station->Jog(JogDirection::Cw, false);
    // Released: it comes to rest (the unit may coast a little), and stays there.
    int rest = unit->model.position(1);
    ASSERT_TRUE(WaitFor(
        [&] {
            const int before = unit->model.position(1);
            test::WaitFor([] { return false; }, 400);
            rest = unit->model.position(1);
            return rest == before;
        },
        10000));
    EXPECT_FALSE(WaitFor([&] { return unit->model.position(1) != rest; }, 500));
}

TEST_F(StationTest, TrackingFromAConsoleAndTargetsEndingIt)
{
    station->SetTracking(TrackingChoice::Sun);
    EXPECT_EQ(station->Snapshot().trackingSource, "sun");
    EXPECT_EQ(station->lastCommand(), "Tracking Sun");
    station->SetTarget(1, 150, 0);  // any target from outside ends tracking
    EXPECT_FALSE(station->tracking().isTracking());
    EXPECT_EQ(station->Snapshot().trackingSource, "off");

    station->SetTracking(TrackingChoice::Moon);
    EXPECT_EQ(station->Snapshot().trackingSource, "moon");
    station->NastavCommand(4, 30, 0);  // port 1023's: tracking stays
    EXPECT_TRUE(station->tracking().isTracking());
    station->SetTracking(TrackingChoice::Off);
    EXPECT_FALSE(station->tracking().isTracking());
}

TEST_F(StationTest, ReloadReopensOnlyAChangedPort)
{
    QSignalSpy opened(&station->port(), &TCommPortDriver::portOpened);
    station->SetTracking(TrackingChoice::Moon);

    // The home locator changed, the port did not: it stays open, tracking runs on.
    store.values["Lokator"] = std::string("JO70AA");
    station->reloadSettings();
    EXPECT_EQ(station->Snapshot().homeLocator, "JO70AA");
    EXPECT_TRUE(station->port().Connected());
    EXPECT_EQ(opened.count(), 0);
    EXPECT_TRUE(station->tracking().isTracking());

    // Another port number: closed, and the new one (missing here) tried.
    store.values["Port"] = std::int32_t{2};
    station->reloadSettings();
    EXPECT_FALSE(station->port().Connected());
    EXPECT_EQ(station->port().ComPort(), 1);
    EXPECT_TRUE(WaitFor([&] { return !station->linkFresh(); }));
    EXPECT_EQ(station->staleReason(), "Unable to open port");

    // And back.
    store.values["Port"] = std::int32_t{1};
    station->reloadSettings();
    EXPECT_TRUE(station->port().Connected());
    EXPECT_TRUE(WaitFor([&] { return station->linkFresh(); }));
}

}  // namespace
}  // namespace vantora
