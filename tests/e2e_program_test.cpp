// The program and the simulated unit as separate processes, driven only from outside: keys and
// clicks on the program's own X display, TCP messages, the tracking file and the settings file.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

// Basic layout, client coordinates of the speed buttons.
constexpr int kParkX = 803 + 4 + 30;
constexpr int kPresetsX = 803 + 128 + 30;
constexpr int kSpeedButtonY = 547 + 5 + 10;

class ProgramEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = {"RegVersion=1.09", "Lokator=JN89XX", "Znacka=OK1TST", "preset_a0=45", "preset_e0=10",
                    "preset_2=Beacon", "preset_a2=200", "preset_e2=20",
                    "WSJT=" + QDir(e2e.dir()).filePath("wsjt") + "/"};
    }

    void start(const QStringList& unitArguments = {})
    {
        e2e.writeSettings(settings);
        ASSERT_TRUE(e2e.startUnit(QStringList{"--az-speed", "60", "--el-speed", "30", "--timing-log",
                                              QDir(e2e.dir()).filePath("timing")} + unitArguments));
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    bool unitReaches(int position1, std::optional<int> position2 = std::nullopt, int limitMs = 20000)
    {
        return WaitFor([&] {
            const auto truth = e2e.unitTruth();
            return truth && truth->position1 == position1 && (!position2 || truth->position2 == *position2);
        }, limitMs);
    }

    QByteArray beamQuery() { return e2e.tcp("$00"); }

    EndToEnd e2e;
    QStringList settings;
};

TEST_F(ProgramEndToEnd, HandshakeThenTypedAzimuthElevationAndLocatorTargets)
{
    start();
    ASSERT_TRUE(WaitFor([&] {
        QFile timing(QDir(e2e.dir()).filePath("timing"));
        return timing.open(QIODevice::ReadOnly) && timing.readAll().contains(" 12\n");
    }));
    QFile timing(QDir(e2e.dir()).filePath("timing"));
    ASSERT_TRUE(timing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(timing.readLine().endsWith(" 99\n"));  // the version is asked for first

    e2e.type("90\n");
    ASSERT_TRUE(unitReaches(90));
    EXPECT_TRUE(WaitFor([&] { return beamQuery() == "$00#090@"; }));

    e2e.type("E30\n");
    ASSERT_TRUE(unitReaches(90, 30));

    e2e.type("IO91AA\n");
    EXPECT_TRUE(unitReaches(282));
}

TEST_F(ProgramEndToEnd, ParkStopAndAPreset)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return beamQuery() == "$00#000@"; }));  // the first report is in
    e2e.clickInMain(kParkX, kSpeedButtonY);
    ASSERT_TRUE(unitReaches(45, 10));

    e2e.type("350\n");  // the long way round, through north
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth()->position1 < 40; }));
    e2e.type("stop\n");
    QThread::msleep(500);
    const int stoppedAt = e2e.unitTruth()->position1;
    QThread::msleep(500);
    EXPECT_EQ(e2e.unitTruth()->position1, stoppedAt);
    EXPECT_NE(stoppedAt, 350);

    e2e.clickInMain(kPresetsX, kSpeedButtonY);
    const QString presets = e2e.windowId("^Presets$");
    ASSERT_FALSE(presets.isEmpty());
    e2e.xdotool({"mousemove", "--window", presets, "64", "72", "click", "1"});  // Button2, "Beacon"
    ASSERT_TRUE(e2e.focusMain());
    EXPECT_TRUE(unitReaches(200, 20));
}

TEST_F(ProgramEndToEnd, FollowsTheMoonFromTheTrackingFile)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return beamQuery() == "$00#000@"; }));
    QDir(e2e.dir()).mkpath("wsjt");
    QFile azel(QDir(e2e.dir()).filePath("wsjt/azel.dat"));
    ASSERT_TRUE(azel.open(QIODevice::WriteOnly));
    // As the planning program writes it on Linux: LF line ends, Moon first.
    azel.write("12:34:56,204.6,27.5,Moon,AzEl\n12:34:56,150.2,40.1,Sun\n12:34:56,0.0,0.0,Source\n"
               "-1234,2,Doppler,R\n");
    azel.close();

    e2e.key("alt Right Right Right Down Down Return");  // Tracking, WSJT
    EXPECT_TRUE(unitReaches(205, 28));
    EXPECT_TRUE(WaitFor([&] { return beamQuery() == "$00#205@"; }));

    e2e.type("stop\n");  // tracking off: a new target stays
    e2e.type("100\n");
    EXPECT_TRUE(unitReaches(100, 28));
}

TEST_F(ProgramEndToEnd, TcpQueryAndSetMessages)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return beamQuery() == "$00#000@"; }));
    EXPECT_TRUE(e2e.tcp("$01#123@", 200).isEmpty());
    ASSERT_TRUE(unitReaches(123));
    EXPECT_TRUE(WaitFor([&] { return beamQuery() == "$00#123@"; }));
    EXPECT_TRUE(e2e.tcp("#00", 200).isEmpty());
    EXPECT_TRUE(e2e.tcp("$02", 200).isEmpty());
    e2e.tcp("$01#999@", 200);  // beyond 360: ignored
    QThread::msleep(500);
    EXPECT_EQ(e2e.unitTruth()->position1, 123);
}

TEST_F(ProgramEndToEnd, SettingsPersistAcrossARestartThroughFileExit)
{
    start();
    e2e.key("alt Right Down Down Return");  // View, Compact H
    ASSERT_TRUE(WaitFor([&] { return e2e.focusMain(); }));
    e2e.key("alt Down Return");  // File, Exit
    ASSERT_EQ(e2e.waitProgramExit(10000), 0);
    const QString stored = e2e.readSettings();
    EXPECT_TRUE(stored.contains("View=1")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("SizeX=647")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("Znacka=OK1TST"));  // what the operator entered is kept
    EXPECT_TRUE(stored.contains("preset_2=Beacon"));

    ASSERT_TRUE(e2e.startProgram());
    const QString geometry = e2e.xdotoolOutput({"getwindowgeometry", e2e.windowId("^Vantora$")});
    EXPECT_TRUE(geometry.contains("Geometry: 647x")) << geometry.toStdString();
}

TEST_F(ProgramEndToEnd, SecondStartEndsQuietlyAndTheFirstStays)
{
    start();
    EXPECT_EQ(e2e.runSecondProgram(10000), 0);
    EXPECT_TRUE(e2e.programRunning());
    EXPECT_FALSE(e2e.windowId("^Vantora$").isEmpty());
}

}  // namespace
}  // namespace vantora
