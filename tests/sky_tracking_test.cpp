// Built-in Moon and Sun tracking: the read-out and the go-to made from a computed position, the
// home square's centre, the controller with a fixed clock, and in the main window the Tracking
// menu's two items, what ends tracking and the read-out's room.
#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "sky/sky_position.h"
#include "app/ui/presets_window.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "track/ui/tcp_command_server.h"
#include "support/target_sink_mock.h"
#include "track/sky_tracking.h"
#include "track/tracking_controller.h"
#include "track/ui/tracking_service.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

using namespace vantora;
using vantora::test::MockTargetSink;

namespace {

// ---------------------------------------------------------------------------------------------
// From a computed position to the read-out and the go-to

struct ReadingCase {
    const char* name;
    double azimuth;
    double elevation;
    const char* readout;
    std::optional<std::pair<int, int>> goTo;
};

// The north wrap: azimuths from 359.95 show "360.0°", and from 359.5 send 360 (halves go to the
// even neighbour, as for the planning programs' files), so the read-out and the target agree.
const ReadingCase kReadingCases[] = {
    {"plain", 205.26, 28.14, "205.3° / 28.1°", std::pair{205, 28}},
    {"just below north", 359.96, 10.0, "360.0° / 10.0°", std::pair{360, 10}},
    {"north, rounds up", 359.5, 10.0, "359.5° / 10.0°", std::pair{360, 10}},
    {"below the half to north", 359.49, 10.0, "359.5° / 10.0°", std::pair{359, 10}},
    {"just past north", 0.04, 10.0, "0.0° / 10.0°", std::pair{0, 10}},
    {"exactly north", 0.0, 45.0, "0.0° / 45.0°", std::pair{0, 45}},
    {"halves to even", 12.5, 0.5, "12.5° / 0.5°", std::pair{12, 0}},
    {"halves to even, up", 13.5, 1.5, "13.5° / 1.5°", std::pair{14, 2}},
    {"at the horizon from below", 100.0, -0.5, "100.0° / -0.5°", std::pair{100, 0}},
    {"a tiny bit below shows 0.0", 100.0, -0.04, "100.0° / 0.0°", std::pair{100, 0}},
    {"below the horizon", 100.0, -0.51, "100.0° / -0.5°", std::nullopt},
    {"well below", 300.0, -42.25, "300.0° / -42.2°", std::nullopt},
    {"overhead", 180.0, 90.0, "180.0° / 90.0°", std::pair{180, 90}},
};

TEST(SkyReading, OneDecimalShownWholeDegreesSent)
{
    for (const auto& c : kReadingCases) {
        const auto reading = ReadSkyDirection({c.azimuth, c.elevation});
        ASSERT_TRUE(reading.has_value()) << c.name;
        EXPECT_EQ(reading->readout, c.readout) << c.name;
        EXPECT_EQ(reading->goTo, c.goTo.has_value()) << c.name;
        if (c.goTo) {
            EXPECT_EQ(reading->azimuth, c.goTo->first) << c.name;
            EXPECT_EQ(reading->elevation, c.goTo->second) << c.name;
        }
    }
}

TEST(SkyReading, NoNumberNoReading)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(ReadSkyDirection({nan, 10}).has_value());
    EXPECT_FALSE(ReadSkyDirection({10, nan}).has_value());
    EXPECT_FALSE(ReadSkyDirection({inf, 10}).has_value());
}

// ---------------------------------------------------------------------------------------------
// The home position: the centre of the locator's six-character square

TEST(SkyReading, HomeIsTheCentreOfTheLocatorSquare)
{
    struct Case {
        const char* stored;
        double longitude;
        double latitude;
    };
    const Case cases[] = {
        {"JN89XX", 16.0 + 23.5 / 12, 49.0 + 23.5 / 24},
        {"IO91WM", -2.0 + 22.5 / 12, 51.0 + 12.5 / 24},
        {"io91wm", -2.0 + 22.5 / 12, 51.0 + 12.5 / 24},
        {"AA00AA", -180.0 + 0.5 / 12, -90.0 + 0.5 / 24},
        {"RR99XX", 180.0 - 0.5 / 12, 90.0 - 0.5 / 24},
        {"QF56OD", 150.0 + 14.5 / 12, -40.0 + 6.0 + 3.5 / 24},
        {"", 16.0 + 23.5 / 12, 49.0 + 23.5 / 24},  // not a locator: the default home
        {"JN89", 16.0 + 23.5 / 12, 49.0 + 23.5 / 24},
    };
    for (const auto& c : cases) {
        const SkyObserver home = HomeSquareCentre(c.stored);
        EXPECT_NEAR(home.longitude, c.longitude, 1e-9) << c.stored;
        EXPECT_NEAR(home.latitude, c.latitude, 1e-9) << c.stored;
        EXPECT_EQ(home.height, 0.0) << c.stored;
    }
}

// ---------------------------------------------------------------------------------------------
// The controller with a fixed clock

class NoFiles : public TrackingFiles {
public:
    bool Exists(const std::string&) override
    {
        ++asked;
        return false;
    }
    std::optional<std::string> ReadPrefix(const std::string&, std::size_t) override
    {
        ++asked;
        return std::nullopt;
    }
    int asked = 0;
};

// The first whole hour from `from` at which the body stands in the elevation range, seen from
// `home`.
double FindTime(SkyBody body, const SkyObserver& home, double low, double high, double from = 1767225600)
{
    for (double t = from; t < from + 60 * 86400.0; t += 3600) {
        const double elevation = BodyDirection(body, t, home).elevation;
        if (elevation >= low && elevation <= high)
            return t;
    }
    ADD_FAILURE() << "no such time";
    return from;
}

// The read-out expected for a direction (QString::number ignores the locale).
std::string Shown(const SkyDirection& d)
{
    return (QString::number(d.azimuth, 'f', 1) + "° / " + QString::number(d.elevation, 'f', 1) + "°").toStdString();
}

class BuiltInTrackingTest : public ::testing::Test {
protected:
    BuiltInTrackingTest()
    {
        settings.Lokator = "JO70FC";  // Prague: 14.4583 E, 50.1042 N at the square's centre
        controller.SetClock([this] { return now; });
    }

    const SkyObserver prague{14.0 + 5.5 / 12, 50.0 + 2.5 / 24, 0.0};
    double now = 0;
    Settings settings;
    NoFiles files;
    ::testing::StrictMock<MockTargetSink> sink;
    TrackingController controller{settings, files, sink};
};

TEST_F(BuiltInTrackingTest, MoonAboveTheHorizonIsShownAndSent)
{
    now = FindTime(SkyBody::Moon, prague, 20, 60);
    const SkyDirection moon = BodyDirection(SkyBody::Moon, now, prague);

    controller.StartMoonBuiltIn();
    EXPECT_TRUE(controller.TimerRunning());
    EXPECT_EQ(controller.Source(), TrackingSource::MoonBuiltIn);
    EXPECT_EQ(TrackingSourceText(controller.Source()), "moon");
    EXPECT_TRUE(controller.Menu().moonBuiltInChecked);
    EXPECT_FALSE(controller.Menu().offChecked);
    EXPECT_EQ(controller.Readout(), "OFF");  // until the first tick

    EXPECT_CALL(sink, Nastav(3, static_cast<int>(std::nearbyint(moon.azimuth)),
                             static_cast<int>(std::nearbyint(moon.elevation))))
        .Times(2);  // every tick sends again
    controller.Tick();
    controller.Tick();
    EXPECT_EQ(controller.Readout(), Shown(moon));
    EXPECT_EQ(files.asked, 0);  // no file is looked for
}

TEST_F(BuiltInTrackingTest, BodyBelowTheHorizonIsShownNotSent)
{
    now = FindTime(SkyBody::Moon, prague, -60, -5);
    controller.StartMoonBuiltIn();
    controller.Tick();  // the strict mock takes no go-to
    EXPECT_NE(controller.Readout(), "OFF");
    EXPECT_NE(controller.Readout().find("° / -"), std::string::npos) << controller.Readout();
    EXPECT_TRUE(controller.TimerRunning());
}

TEST_F(BuiltInTrackingTest, SunIsFollowedLikeTheMoon)
{
    now = FindTime(SkyBody::Sun, prague, 10, 60);
    const SkyDirection sun = BodyDirection(SkyBody::Sun, now, prague);
    const SkyDirection moon = BodyDirection(SkyBody::Moon, now, prague);
    ASSERT_GT(std::abs(std::remainder(sun.azimuth - moon.azimuth, 360.0)), 2.0);  // told apart

    controller.StartSunBuiltIn();
    EXPECT_TRUE(controller.Menu().sunBuiltInChecked);
    EXPECT_FALSE(controller.Menu().moonBuiltInChecked);
    EXPECT_EQ(TrackingSourceText(controller.Source()), "sun");
    EXPECT_CALL(sink, Nastav(3, static_cast<int>(std::nearbyint(sun.azimuth)),
                             static_cast<int>(std::nearbyint(sun.elevation))));
    controller.Tick();
}

TEST_F(BuiltInTrackingTest, ChangedHomeAndTimeApplyAtTheNextTick)
{
    now = FindTime(SkyBody::Moon, prague, 20, 60);
    controller.StartMoonBuiltIn();
    EXPECT_CALL(sink, Nastav(3, ::testing::_, ::testing::_)).Times(3);
    controller.Tick();
    const std::string fromPrague = controller.Readout();

    settings.Lokator = "JO70FH";  // five subsquares (12.5') north
    controller.Tick();
    const std::string fromNorth = controller.Readout();
    EXPECT_NE(fromNorth, fromPrague);
    const SkyDirection expected = BodyDirection(SkyBody::Moon, now, {prague.longitude, prague.latitude + 5.0 / 24});
    EXPECT_EQ(fromNorth, Shown(expected));

    now += 600;  // ten minutes later
    controller.Tick();
    EXPECT_NE(controller.Readout(), fromNorth);
}

TEST_F(BuiltInTrackingTest, OffOkAndStopEndItAndTheFileSourcesStayApart)
{
    now = FindTime(SkyBody::Moon, prague, -60, -5);
    controller.StartMoonBuiltIn();
    controller.Tick();
    controller.Off();
    EXPECT_FALSE(controller.TimerRunning());
    EXPECT_EQ(controller.Readout(), "OFF");
    EXPECT_TRUE(controller.Menu().offChecked);
    EXPECT_FALSE(controller.Menu().moonBuiltInChecked);

    controller.StartSunBuiltIn();
    EXPECT_TRUE(controller.SwitchOffIfTracking());
    EXPECT_FALSE(controller.Menu().sunBuiltInChecked);
    EXPECT_FALSE(controller.SwitchOffIfTracking());

    // Neither built-in source has a file, and opening the menu leaves a running one checked.
    EXPECT_FALSE(controller.TrackTest(TrackingSource::MoonBuiltIn));
    EXPECT_FALSE(controller.TrackTest(TrackingSource::SunBuiltIn));
    EXPECT_EQ(controller.TrackingPath(TrackingSource::SunBuiltIn), "");
    controller.StartMoonBuiltIn();
    controller.MenuOpened();
    EXPECT_TRUE(controller.Menu().moonBuiltInChecked);
    EXPECT_TRUE(controller.TimerRunning());
}

TEST(BuiltInTrackingClock, SystemClockIsUtcSinceTheUnixEpoch)
{
    const double now = SystemUtcSeconds();
    EXPECT_GT(now, 1.7e9);  // after 2023
    EXPECT_LT(now, 4.1e9);  // before 2100
}

// ---------------------------------------------------------------------------------------------
// In the main window

class BuiltInMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("VANTORA_COM1", "/nonexistent/vantora-com1");
        qputenv("VANTORA_TCP_PORT", "0");
        store.values["RegVersion"] = std::string("1.09");
        store.values["Lokator"] = std::string("JN89XX");
        windows = std::make_unique<ProgramWindows>(store, store);
        main = windows->main.get();
    }

    QAction* action(const char* name) const
    {
        QAction* found = main->findChild<QAction*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton* button(const char* name) const { return main->findChild<QPushButton*>(name); }

    test::FakeSettingsStore store;
    std::unique_ptr<ProgramWindows> windows;
    MainWindow* main = nullptr;
};

TEST_F(BuiltInMainWindowTest, ItemsFollowWsjtBelowASeparatorInTheSameGroup)
{
    QMenu* tracking = main->menuBar()->findChild<QMenu*>("racking1");
    ASSERT_NE(tracking, nullptr);
    QStringList items;
    for (QAction* a : tracking->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"OFF", "MoonSked", "WSJT", "-", "Moon (built-in)", "Sun (built-in)"}));
    QAction* moon = action("MoonBuiltIn1");
    QAction* sun = action("SunBuiltIn1");
    ASSERT_TRUE(moon && sun);
    EXPECT_EQ(moon->actionGroup(), action("OFF1")->actionGroup());
    EXPECT_EQ(sun->actionGroup(), action("OFF1")->actionGroup());
    EXPECT_TRUE(moon->isEnabled());
    EXPECT_TRUE(sun->isEnabled());
    EXPECT_FALSE(windows->tracking->isTracking());  // off at every start
    EXPECT_TRUE(action("OFF1")->isChecked());
}

TEST_F(BuiltInMainWindowTest, ParkAndPresetsKeepItStopAndOkEndIt)
{
    action("MoonBuiltIn1")->trigger();
    ASSERT_TRUE(windows->tracking->isTracking());
    EXPECT_TRUE(windows->tracking->timer()->isActive());
    EXPECT_FALSE(action("OFF1")->isChecked());
    button("SpeedButton1")->click();  // PARK
    EXPECT_TRUE(windows->tracking->isTracking());
    EXPECT_TRUE(action("MoonBuiltIn1")->isChecked());
    windows->presets->findChild<QPushButton*>("Button3")->click();  // a preset
    EXPECT_TRUE(windows->tracking->isTracking());
    {
        QTcpSocket client;  // a target from the TCP server
        client.connectToHost(QHostAddress::LocalHost, windows->tcpServer->serverPort());
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write("$01#123@");
        ASSERT_TRUE(client.waitForBytesWritten(2000));
        QTest::qWait(300);
        client.write("$00");  // answered after the set before it was handled
        QByteArray reply;
        ASSERT_TRUE(test::WaitFor([&] {
            reply += client.readAll();
            return reply.endsWith('@');
        })) << reply.toStdString();
    }
    EXPECT_TRUE(windows->tracking->isTracking());
    button("SpeedButton2")->click();  // STOP
    EXPECT_FALSE(windows->tracking->isTracking());
    EXPECT_FALSE(windows->tracking->timer()->isActive());
    EXPECT_EQ(main->findChild<QLabel*>("Label5")->text(), "OFF");
    EXPECT_TRUE(action("OFF1")->isChecked());

    action("SunBuiltIn1")->trigger();
    ASSERT_TRUE(windows->tracking->isTracking());
    main->findChild<QLineEdit*>("Edit1")->setText("90");
    button("Button1")->click();  // OK
    EXPECT_FALSE(windows->tracking->isTracking());
    EXPECT_FALSE(action("SunBuiltIn1")->isChecked());
}

// The read-out's label keeps its right edge and grows to the left for the longest texts, clear
// of the "Tracking:" caption.
TEST_F(BuiltInMainWindowTest, LongestReadoutFitsBesideItsCaption)
{
    main->show();
    QLabel* readout = main->findChild<QLabel*>("Label5");
    QLabel* caption = main->findChild<QLabel*>("Label10");
    ASSERT_TRUE(readout && caption);
    const int rightEdge = readout->x() + readout->width();

    // The Moon low under the horizon in a three-digit azimuth: "ddd.d° / -dd.d°".
    const SkyObserver home = HomeSquareCentre("JN89XX");
    double t = 1767225600;
    for (; t < 1767225600 + 60 * 86400.0; t += 600) {
        const SkyDirection moon = BodyDirection(SkyBody::Moon, t, home);
        if (moon.azimuth >= 100 && moon.elevation <= -10)
            break;
    }
    windows->tracking->controller().SetClock([t] { return t; });
    action("MoonBuiltIn1")->trigger();
    windows->tracking->Timer2Timer();
    ASSERT_EQ(readout->text().size(), 15) << readout->text().toStdString();
    EXPECT_GE(readout->width(), readout->fontMetrics().horizontalAdvance(readout->text()));
    EXPECT_EQ(readout->x() + readout->width(), rightEdge);
    const int textLeft = rightEdge - readout->fontMetrics().horizontalAdvance(readout->text());
    EXPECT_GT(textLeft, caption->x() + caption->fontMetrics().horizontalAdvance(caption->text()) + 2);
}

}  // namespace

namespace vantora {
namespace {

// The read-out has no room for the body's name: its caption names the built-in body followed,
// in the language in force, and is "Tracking:" again for the other sources.
TEST(BuiltInTrackingCaption, NamesTheBodyInEitherLanguage)
{
    qputenv("VANTORA_COM1", "/nonexistent/vantora-com1");
    qputenv("VANTORA_TCP_PORT", "0");
    struct Case {
        int language;
        const char* item;
        QString caption;  // Label10 while the item is followed
        QString menuText;
    };
    const Case cases[] = {
        {0, "MoonBuiltIn1", "Moon:", "Moon (built-in)"},
        {0, "SunBuiltIn1", "Sun:", "Sun (built-in)"},
        {0, "OFF1", "Tracking:", "OFF"},
        {1, "MoonBuiltIn1", QString::fromUtf8("Měsíc:"), QString::fromUtf8("Měsíc (vestavěný)")},
        {1, "SunBuiltIn1", "Slunce:", QString::fromUtf8("Slunce (vestavěné)")},
        {1, "OFF1", "Tracking:", "OFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " language " + std::to_string(c.language));
        test::FakeSettingsStore store;
        store.values["RegVersion"] = std::string("1.09");
        store.values["Lokator"] = std::string("JN89XX");
        store.values["Language"] = std::int32_t{c.language};
        ProgramWindows windows(store, store);
        QAction* item = windows.main->findChild<QAction*>(c.item);
        QLabel* caption = windows.main->findChild<QLabel*>("Label10");
        ASSERT_TRUE(item && caption);
        EXPECT_EQ(item->text(), c.menuText);
        item->trigger();
        windows.tracking->Timer2Timer();
        EXPECT_EQ(caption->text(), c.caption);
        windows.main->findChild<QAction*>("OFF1")->trigger();
        EXPECT_EQ(caption->text(), "Tracking:");
    }
}

}  // namespace
}  // namespace vantora
