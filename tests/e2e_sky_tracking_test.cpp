// Built-in Moon tracking from the outside: the program and the simulated unit as separate
// processes, the Moon chosen from the Tracking menu by keys, at the real time of the run.

#include "sky/sky_position.h"
#include "support/e2e_harness.h"
#include "support/event_wait.h"
#include "track/sky_tracking.h"
#include "track/tracking_controller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <string>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

// A home locator from which the Moon stands well up now and for the next minutes: the centre
// square (55, subsquare MM) of whichever field sees the Moon nearest to 45 degrees.
std::string LocatorWithTheMoonUp(double now)
{
    std::string best;
    double bestDistance = 1e9;
    for (char lon = 'A'; lon <= 'R'; ++lon) {
        for (char lat = 'D'; lat <= 'O'; ++lat) {  // about 60 S to 60 N
            const std::string locator{lon, lat, '5', '5', 'M', 'M'};
            const SkyObserver home = HomeSquareCentre(locator);
            const double elevation = BodyDirection(SkyBody::Moon, now, home).elevation;
            const double later = BodyDirection(SkyBody::Moon, now + 600, home).elevation;
            if (elevation < 15 || elevation > 75 || later < 15 || later > 75)
                continue;
            if (std::abs(elevation - 45) < bestDistance) {
                bestDistance = std::abs(elevation - 45);
                best = locator;
            }
        }
    }
    return best;
}

// Lines of the simulator's timing log with this command code (11: go-to).
int FramesWithCode(const QString& timingPath, int code)
{
    QFile timing(timingPath);
    if (!timing.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    const QByteArray suffix = " " + QByteArray::number(code) + "\n";
    while (!timing.atEnd())
        if (timing.readLine().endsWith(suffix))
            ++count;
    return count;
}

TEST(SkyTrackingEndToEnd, MoonFromTheMenuSendsTheGoToWithinThreeSeconds)
{
    const std::string locator = LocatorWithTheMoonUp(SystemUtcSeconds());
    ASSERT_FALSE(locator.empty());

    EndToEnd e2e;
    const QString timingPath = QDir(e2e.dir()).filePath("timing");
    // The planning programs' folders hold no file, so their items stay disabled and the keys
    // below reach the built-in item whatever runs on this machine.
    const QString empty = QDir(e2e.dir()).filePath("no-planning-program") + "/";
    e2e.writeSettings({"RegVersion=1.09", "Lokator=" + QString::fromStdString(locator), "Znacka=OK1TST",
                       "MoonSked=" + empty, "WSJT=" + empty});
    ASSERT_TRUE(e2e.startUnit({"--az-speed", "120", "--el-speed", "60", "--timing-log", timingPath}));
    ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    ASSERT_TRUE(WaitFor([&] { return e2e.tcp("$00") == "$00#000@"; }));  // the first report is in
    ASSERT_EQ(FramesWithCode(timingPath, 11), 0);

    e2e.key("alt Right Right Right Down Down Return");  // Tracking, Moon (built-in)
    QElapsedTimer sinceChosen;
    sinceChosen.start();
    ASSERT_TRUE(WaitFor([&] { return FramesWithCode(timingPath, 11) > 0; }, 5000));
    const qint64 goToMs = sinceChosen.elapsed();
    std::cout << "go-to received " << goToMs << " ms after the item was chosen\n";
    EXPECT_LE(goToMs, 3000);

    // The unit turns to where the Moon is, to the degree (it may move on by one meanwhile).
    const auto near = [](int position, double expected) {
        return std::abs(std::remainder(position - expected, 360.0)) <= 1.01;
    };
    EXPECT_TRUE(WaitFor([&] {
        const SkyDirection moon = BodyDirection(SkyBody::Moon, SystemUtcSeconds(), HomeSquareCentre(locator));
        const auto truth = e2e.unitTruth();
        return truth && near(truth->position1, moon.azimuth) && near(truth->position2, moon.elevation);
    }, 20000)) << locator;

    // STOP ends tracking: a typed target then stays.
    e2e.type("stop\n");
    e2e.type("E5\n");
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth() && e2e.unitTruth()->position2 == 5; }, 20000));
    const int goTos = FramesWithCode(timingPath, 11);
    QThread::msleep(2000);  // more than one tracking interval
    EXPECT_EQ(e2e.unitTruth()->position2, 5);
    EXPECT_EQ(FramesWithCode(timingPath, 11), goTos);
}

}  // namespace
}  // namespace vantora
