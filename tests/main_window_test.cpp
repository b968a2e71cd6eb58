// The main window as the operator drives it: keys into the target box, the buttons and menus,
// with the real serial layer talking to the simulated unit over a pseudo-terminal.

#include "app/layout_geometry.h"
#include "app/ui/main_menu.h"
#include "app/ui/link_fault_view.h"
#include "app/ui/main_window.h"
#include "link/ui/link_health_monitor.h"
#include "track/ui/tcp_command_server.h"
#include "net/ui/network_dialog.h"
#include "app/ui/presets_window.h"
#include "app/ui/program_windows.h"
#include "settings/ui/preferences_dialog.h"
#include "track/ui/tracking_service.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/pty_unit.h"
#include "widgets/ui/analog_gauge.h"

#include <QAction>
#include <QImage>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QUdpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace vantora {
namespace {

using test::WaitFor;

class MainWindowTest : public ::testing::Test {
protected:
    void start(sim::UnitModelOptions options = {}, sim::UnitConfig config = {}, sim::FaultConfig faults = {})
    {
        options.azimuthSpeed = 120;  // degrees per second: a go-to ends within a few ticks
        options.elevationSpeed = 120;
        unit = std::make_unique<test::PtyUnit>(options, config, faults);
        qputenv("VANTORA_COM1", QByteArray::fromStdString(unit->path()));
        qputenv("VANTORA_COM3", "/nonexistent/vantora-com3");
        qputenv("VANTORA_TCP_PORT", tcpPort);
        store.values["RegVersion"] = std::string("1.09");
        store.values["Lokator"] = std::string("JN89XX");
        windows = std::make_unique<ProgramWindows>(store, store);
        main = windows->main.get();
        main->show();
        activateMain();
    }

    // Targets need the rotator 2 mode, which the first position report brings.
    void waitForFirstReport()
    {
        ASSERT_TRUE(WaitFor([&] { return main->link().state.rotator2Mode != 0; }));
    }

    void activateMain()
    {
        main->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return main->timer1().isActive(); }));
    }

    template <typename T>
    T* find(const char* name) const
    {
        T* widget = main->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString text(const char* label) const { return find<QLabel>(label)->text(); }

    void type(const QString& entry)
    {
        QLineEdit* edit = find<QLineEdit>("Edit1");
        QTest::keyClicks(edit, entry);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    bool messageShown(const std::string& message) const
    {
        for (const auto& event : store.log)
            if (event.kind == test::StoreEvent::Kind::Message && event.name == message)
                return true;
        return false;
    }

    test::FakeSettingsStore store;
    QByteArray tcpPort = "0";
    std::unique_ptr<test::PtyUnit> unit;
    std::unique_ptr<ProgramWindows> windows;
    MainWindow* main = nullptr;
};

TEST_F(MainWindowTest, TypedAzimuthTurnsTheUnitAndTheReadoutFollows)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return main->menu().controlUnit->isEnabled(); }));  // version handshake
    waitForFirstReport();
    type("90");
    EXPECT_TRUE(find<QLineEdit>("Edit1")->text().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) == 90 && text("Label6") == "90°"; }));
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge1")->position(), 270);  // arrow to the right
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge3")->position(), 270);
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge1")->caption(), "90°");
}

TEST_F(MainWindowTest, LocatorGoToUsesTheGreatCircleBearingFromHome)
{
    start();
    waitForFirstReport();
    type("io91aa");
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(1) == 282 && text("Label6") == "282°"; }));
}

TEST_F(MainWindowTest, AcknowledgedSetpointTurnsRedThenReturnsToBlueZero)
{
    start();
    waitForFirstReport();
    type("E45");
    EXPECT_EQ(text("Label9"), "45°");
    QLabel* caption = find<QLabel>("Label4");
    ASSERT_TRUE(WaitFor([&] { return caption->palette().color(QPalette::WindowText) == QColor(Qt::red); }));
    ASSERT_TRUE(WaitFor([&] { return text("Label9") == "0°"; }));
    EXPECT_EQ(caption->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(find<QLabel>("Label9")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(2) == 45 && text("Label8") == "45°"; }));
}

TEST_F(MainWindowTest, PollStopsWhileAnotherWindowOfTheProgramIsActive)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return main->link().state.firmwareVersion != 0; }));
    find<QPushButton>("SpeedButton3")->click();  // PRESETS
    windows->presets->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return !main->timer1().isActive(); }));

    main->Nastav(4, 45, 0);  // e.g. a TCP client's target while the poll is stopped
    QTest::qWait(200);
    EXPECT_EQ(main->link().gotoRequest.which, 1);  // waits for the next tick
    EXPECT_NE(unit->model.position(1), 45);

    windows->presets->hide();
    activateMain();
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == 45; }));
}

TEST_F(MainWindowTest, PollGoesOnWhileAMenuOfTheMainWindowIsOpen)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return main->link().state.firmwareVersion != 0; }));
    QMenuBar* bar = main->menuBar();
    QMenu* view = nullptr;
    for (QAction* action : bar->actions())
        if (action->menu() && action->menu()->actions().contains(main->menu().views[0]))
            view = action->menu();
    ASSERT_NE(view, nullptr);
    const QPoint viewTitle = bar->actionGeometry(view->menuAction()).center();

    struct Way {
        const char* name;
        std::function<void()> open;
    };
    const Way ways[] = {
        {"mouse", [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, viewTitle); }},
        {"keyboard", [&] {
             QTest::keyClick(main, Qt::Key_Alt);
             QTest::keyClick(bar, Qt::Key_Right);
             QTest::keyClick(bar, Qt::Key_Down);
         }},
    };
    for (const Way& way : ways) {
        way.open();
        ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == view; }, 3000)) << way.name;
        ASSERT_TRUE(WaitFor([&] { return QGuiApplication::focusWindow() == view->windowHandle(); }, 3000))
            << way.name;
        // The read-out keeps following the unit while the operator looks at the menu.
        main->Nastav(4, unit->model.position(1) == 30 ? 60 : 30, 0);
        const int target = main->link().gotoRequest.target1;
        EXPECT_TRUE(main->timer1().isActive()) << way.name;
        EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == target; }, 5000)) << way.name;
        view->close();
        bar->setActiveAction(nullptr);
        activateMain();
    }
}

TEST_F(MainWindowTest, StopLeavesAtOnceEvenWhileThePollIsStopped)
{
    start();
    waitForFirstReport();
    type("350");  // the long way round: the stop sits at 180
    ASSERT_TRUE(WaitFor([&] { return unit->model.moving(1); }));
    main->FormDeactivate();
    find<QPushButton>("SpeedButton2")->click();
    EXPECT_TRUE(WaitFor([&] { return !unit->model.moving(1); }));
    EXPECT_NE(unit->model.position(1), 350);
    EXPECT_EQ(text("Label7"), "0°");
}

TEST_F(MainWindowTest, SecondAzimuthRotatorReshapesTheDialAndSpaceSelectsIt)
{
    sim::UnitConfig config;
    config.mode2 = 1;  // rotator 2 turns in azimuth
    start({}, config);
    auto* gauge2 = find<TA3nalogGauge>("AnalogGauge2");
    ASSERT_TRUE(WaitFor([&] { return gauge2->scale() == 360; }));
    EXPECT_EQ(gauge2->margin(), 3);
    EXPECT_EQ(gauge2->angle(), 360);

    QTest::keyClick(find<QLineEdit>("Edit1"), Qt::Key_Space);
    EXPECT_TRUE(find<QLineEdit>("Edit1")->text().isEmpty());  // the blank is never typed
    ASSERT_TRUE(WaitFor([&] { return unit->model.activeRotator() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return gauge2->centerColor() == QColor(255, 0, 0); }));
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge1")->centerColor(), QColor(192, 220, 192));

    type("120");  // now for rotator 2, and the map follows it
    EXPECT_EQ(text("Label9"), "120°");
    ASSERT_TRUE(WaitFor([&] { return unit->model.position(2) == 120 && text("Label8") == "120°"; }));
    EXPECT_EQ(main->display().beamAzimuth, 120);
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge3")->position(), 300);
}

TEST_F(MainWindowTest, OldFirmwareSilencesTheLineAndKeepsTheUnitMenusDisabled)
{
    sim::UnitModelOptions options;
    options.firmwareVersion = 262;
    start(options);
    ASSERT_TRUE(WaitFor([&] { return main->link().state.firmwareTooOld; }));
    EXPECT_TRUE(messageShown("Please update HW firmware"));
    EXPECT_FALSE(main->menu().controlUnit->isEnabled());
    EXPECT_FALSE(main->menu().magneticSensors->isEnabled());
    type("A90");  // rotator 1 needs no report
    QTest::qWait(300);
    EXPECT_EQ(unit->model.position(1), 0);  // shown as a setpoint, never sent
    EXPECT_EQ(text("Label7"), "90°");
}

TEST_F(MainWindowTest, PortThatCannotBeOpenedIsReportedAndStaysChecked)
{
    start();
    main->menu().ports[2]->trigger();  // COM 3
    EXPECT_TRUE(messageShown("Unable to open port !"));
    EXPECT_TRUE(main->menu().ports[2]->isChecked());
    EXPECT_FALSE(main->port().Connected());
    main->menu().ports[0]->trigger();
    EXPECT_TRUE(main->port().Connected());
}

TEST_F(MainWindowTest, BasicLayoutFollowsTheWindowSize)
{
    start();
    main->setClientSize(1300, 800);
    ASSERT_TRUE(WaitFor([&] { return main->clientSize() == QSize(1300, 800); }));
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge1")->x(), 1104);
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge2")->x(), 1104);
    EXPECT_EQ(find<QWidget>("Panel2")->y(), 759);
    EXPECT_EQ(find<QWidget>("Panel3")->y(), 723);
    EXPECT_EQ(find<QWidget>("Panel1")->height(), 321);
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge3")->size(), QSize(1097, 793));
    EXPECT_EQ(main->mapView().homePixel().x, 1360);  // home still at the centre of the view
}

TEST_F(MainWindowTest, CompactLayoutsHideTheMapAndComeBackToBasicAtTheDesignSize)
{
    start();
    main->menu().views[1]->trigger();  // Compact H
    EXPECT_EQ(main->clientSize(), QSize(647, 228));
    EXPECT_FALSE(find<TA3nalogGauge>("AnalogGauge3")->isVisible());
    EXPECT_FALSE(main->menu().mapZoom->isEnabled());
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge2")->geometry(), QRect(227, 4, 221, 221));

    main->menu().views[0]->trigger();  // Basic
    ASSERT_TRUE(WaitFor([&] { return main->clientSize() == QSize(999, 624); }));
    EXPECT_TRUE(find<TA3nalogGauge>("AnalogGauge3")->isVisible());
    EXPECT_TRUE(main->menu().mapZoom->isEnabled());
    EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge3")->size(), QSize(796, 617));
}

TEST_F(MainWindowTest, StoredWorldZoomIsTickedAndATypedLocatorIsMarkedOnIt)
{
    store.values["Zoom"] = 13;
    start();
    QAction* world = main->menu().zooms.back();
    EXPECT_EQ(world->text(), "World");
    EXPECT_TRUE(world->isChecked());
    const QList<QAction*> items = main->menu().mapZoom->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());  // the world sits apart from the local maps
    EXPECT_TRUE(main->mapView().world().shown());

    type("pm95uq");
    EXPECT_EQ(main->mapView().world().target(), "PM95UQ");
    type("JN89XX");  // the home square: no bearing, no new mark
    EXPECT_EQ(main->mapView().world().target(), "PM95UQ");

    main->menu().zooms[0]->trigger();  // 100 %
    EXPECT_FALSE(main->mapView().world().shown());
    world->trigger();
    main->close();
    EXPECT_EQ(store.ReadInt("Zoom"), 13);
}

TEST_F(MainWindowTest, ClosingInCompactVStoresTheLayoutAndItsSize)
{
    start();
    main->menu().views[2]->trigger();  // Compact V
    EXPECT_EQ(main->windowTitle(), "Vanto");
    main->close();
    EXPECT_EQ(store.ReadInt("View"), 2);
    EXPECT_EQ(store.ReadInt("SizeX"), 199);
    EXPECT_EQ(store.ReadInt("SizeY"), 624);
    EXPECT_EQ(store.ReadInt("SizeM"), 0);
    EXPECT_EQ(store.ReadInt("Port"), 1);
}

TEST_F(MainWindowTest, SmallStoredBasicSizeGetsTheBasicMinimum)
{
    store.values["View"] = 0;
    store.values["SizeX"] = 500;
    store.values["SizeY"] = 300;
    start();
    ASSERT_TRUE(WaitFor([&] { return main->clientSize().width() >= 999; }, 3000));
    EXPECT_EQ(main->clientSize(), QSize(999, 624));
    main->setClientSize(400, 200);  // the operator drags the border inwards
    QTest::qWait(100);
    EXPECT_EQ(main->clientSize(), QSize(999, 624));
    EXPECT_EQ(find<QWidget>("Panel2")->geometry(), QRect(803, 583, 193, 38));  // nothing cut off
}

TEST_F(MainWindowTest, StoredViewThatNamesNoLayoutOpensBasicAtTheDesignSize)
{
    for (const int view : {3, -1, 200}) {
        store.values["View"] = view;
        store.values["SizeX"] = 1200;
        store.values["SizeY"] = 700;
        start();
        ASSERT_TRUE(WaitFor([&] { return main->clientSize() == QSize(999, 624); }, 3000))
            << view << ": " << main->clientSize().width() << "x" << main->clientSize().height();
        EXPECT_TRUE(main->menu().views[0]->isChecked()) << view;
        EXPECT_TRUE(main->menu().mapZoom->isEnabled()) << view;
        EXPECT_EQ(find<TA3nalogGauge>("AnalogGauge3")->size(), QSize(796, 617)) << view;
        main->close();
        EXPECT_EQ(store.ReadInt("View"), 0) << view;
        EXPECT_EQ(store.ReadInt("SizeX"), 999) << view;
        EXPECT_EQ(store.ReadInt("SizeY"), 624) << view;
        windows.reset();
        unit.reset();
    }
}

TEST_F(MainWindowTest, ReadOutsKeepTheirColoursWhileADialogDisablesTheWindow)
{
    start();
    main->menu().preferences->trigger();
    ASSERT_FALSE(main->isEnabled());
    // The captions are black; the values blue, or grey while the unit's report is overdue (and
    // with the poll stopped for the dialog it soon is). Disabling the window changes none of them.
    const char* captions[] = {"Label1", "Label2", "Label3", "Label4", "Label10"};
    for (const char* name : captions)
        EXPECT_EQ(find<QLabel>(name)->palette().color(QPalette::Active, QPalette::WindowText).name(), "#000000")
            << name;
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label10", "Label5", "Label6", "Label7",
                             "Label8", "Label9"}) {
        QLabel* label = find<QLabel>(name);
        EXPECT_FALSE(label->isEnabled()) << name;
        const QColor colour = label->palette().color(QPalette::Active, QPalette::WindowText);
        EXPECT_EQ(label->palette().color(QPalette::Disabled, QPalette::WindowText).name(), colour.name()) << name;
        // What the operator sees: the darkest pixel of the caption is the text colour itself.
        const QImage image = label->grab().toImage();
        int darkest = 255 * 3;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                darkest = std::min(darkest, pixel.red() + pixel.green() + pixel.blue());
            }
        EXPECT_LE(darkest, colour.red() + colour.green() + colour.blue() + 30) << name;
    }
    windows->preferences->hide();
    main->setEnabled(true);
}

TEST_F(MainWindowTest, StopOrATypedTargetEndsTracking)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile azel(folder.filePath("azel.dat"));
    ASSERT_TRUE(azel.open(QIODevice::WriteOnly));
    azel.write("12:34:56,204.6,27.5,Moon,AzEl\n");
    azel.close();
    store.values["WSJT"] = (folder.path() + "/").toStdString();
    start();
    waitForFirstReport();

    struct Way {
        const char* name;
        std::function<void()> act;
    };
    const Way ways[] = {
        {"STOP", [&] { find<QPushButton>("SpeedButton2")->click(); }},
        {"typed target", [&] { type("90"); }},
    };
    for (const Way& way : ways) {
        emit main->menu().tracking->aboutToShow();
        main->menu().trackingWsjt->trigger();
        ASSERT_TRUE(WaitFor([&] { return text("Label5") == "205° / 28°"; })) << way.name;
        ASSERT_TRUE(windows->tracking->isTracking());
        way.act();
        EXPECT_FALSE(windows->tracking->isTracking()) << way.name;
        EXPECT_EQ(text("Label5"), "OFF") << way.name;
        EXPECT_TRUE(main->menu().trackingOff->isChecked()) << way.name;
        EXPECT_FALSE(main->menu().trackingWsjt->isChecked()) << way.name;
    }
}

TEST_F(MainWindowTest, PresetClickHidesTheWindowAndSendsBothTargets)
{
    store.values["preset_a3"] = 225;
    store.values["preset_e3"] = 10;
    start();
    ASSERT_TRUE(WaitFor([&] { return main->link().state.rotator2Mode == 2; }));
    find<QPushButton>("SpeedButton3")->click();
    PresetsWindow& presets = *windows->presets;
    presets.FormActivate();
    presets.MouseOnPreset(3);
    EXPECT_EQ(presets.findChild<QLabel*>("Label1")->text(), "A=225° E=10°");
    presets.findChild<QPushButton*>("Button3")->click();
    EXPECT_FALSE(presets.isVisible());
    EXPECT_EQ(text("Label7"), "225°");
    EXPECT_EQ(text("Label9"), "10°");
    activateMain();
    EXPECT_TRUE(WaitFor([&] { return unit->model.position(1) == 225 && unit->model.position(2) == 10; }));
}

// ---- a dead link is visible and heals ----------------------------------------------------------

class LinkFaultDisplayTest : public MainWindowTest {
protected:
    QColor textColour(const char* label) const { return find<QLabel>(label)->palette().color(QPalette::WindowText); }
    QLabel* reason() const { return find<QLabel>("LinkFaultLabel"); }
    QColor face(const char* dial) const { return find<TA3nalogGauge>(dial)->faceColor(); }
    QColor beam() const { return find<TA3nalogGauge>("AnalogGauge3")->arrowColor(); }

    // Both read-outs grey, both dials silver, the beam line on the map grey too, and the reason
    // on show.
    bool showsStale(const QString& why) const
    {
        return textColour("Label6") == LinkFaultView::kStaleText && textColour("Label8") == LinkFaultView::kStaleText
            && face("AnalogGauge1") == QColor(192, 192, 192) && face("AnalogGauge2") == QColor(192, 192, 192)
            && beam() == LinkFaultView::kStaleText && !reason()->isHidden()
            && reason()->text().remove(QChar(0x200b)) == why;
    }
    // The unit's status 1 gives light green faces; the read-outs are blue again, the beam line
    // purple.
    bool showsLive() const
    {
        return textColour("Label6") == QColor(0, 0, 255) && textColour("Label8") == QColor(0, 0, 255)
            && face("AnalogGauge1") == QColor(192, 220, 192) && beam() == QColor(128, 0, 128) && reason()->isHidden();
    }
};

TEST_F(LinkFaultDisplayTest, SilentUnitGreysTheReadOutsUntilItAnswersAgain)
{
    sim::FaultConfig faults;
    faults.silenceAfter = std::chrono::milliseconds(2500);
    faults.silenceFor = std::chrono::milliseconds(3000);
    start({}, {}, faults);
    waitForFirstReport();
    ASSERT_TRUE(WaitFor([&] { return showsLive(); }));
    ASSERT_TRUE(WaitFor([&] { return showsStale("No answer from the control unit"); }));
    EXPECT_EQ(main->windowTitle(), "Vantora");
    EXPECT_TRUE(main->linkHealth().status().PositionStale());
    EXPECT_EQ(main->linkHealth().status().Fault(), LinkFault::NoAnswer);
    ASSERT_TRUE(WaitFor([&] { return showsLive(); }));
    EXPECT_FALSE(main->linkHealth().status().PositionStale());
}

TEST_F(LinkFaultDisplayTest, LostTerminalIsOpenedAgainWhenItsDeviceIsBack)
{
    start();
    waitForFirstReport();
    ASSERT_TRUE(WaitFor([&] { return showsLive(); }));
    const QString firstPath = QString::fromStdString(unit->path());
    unit.reset();  // the device goes away
    ASSERT_TRUE(WaitFor([&] { return showsStale("Port COM 1 (" + firstPath + ") lost"); }));
    EXPECT_FALSE(main->port().Connected());

    // The device comes back (here under a new name, which COM 1 now maps to); nobody touches
    // the menu.
    unit = std::make_unique<test::PtyUnit>();
    qputenv("VANTORA_COM1", QByteArray::fromStdString(unit->path()));
    ASSERT_TRUE(WaitFor([&] { return main->port().Connected(); }));
    EXPECT_TRUE(WaitFor([&] { return showsLive(); }));
}

TEST_F(LinkFaultDisplayTest, PortThatCannotOpenSaysSoAndIsNotRetried)
{
    start();
    waitForFirstReport();
    main->menu().ports[2]->trigger();  // COM 3 does not exist
    ASSERT_TRUE(WaitFor([&] { return showsStale("Unable to open port"); }));
    QTest::qWait(2500);
    EXPECT_FALSE(main->port().Connected());
    EXPECT_TRUE(showsStale("Unable to open port"));
}

// An input that cannot listen at start marks the Settings menu's Network item, with the reason as
// its tooltip and no box; the mark goes once OK in the Network window gets it listening.
TEST_F(MainWindowTest, InputThatCannotListenMarksTheNetworkItemWithoutABox)
{
    auto holder = std::make_unique<QUdpSocket>();  // another program, not sharing its port
    ASSERT_TRUE(holder->bind(QHostAddress::AnyIPv4, 0));
    const QString port = QString::number(holder->localPort());
    store.values["N1mmEnabled"] = std::int32_t{1};
    store.values["N1mmPort"] = std::int32_t{holder->localPort()};
    start();
    QAction* network = main->menu().network;
    EXPECT_FALSE(network->icon().isNull());
    EXPECT_TRUE(network->toolTip().contains("Cannot listen on 0.0.0.0:" + port + ": "))
        << network->toolTip().toStdString();
    EXPECT_TRUE(network->toolTip().startsWith("N1MM Logger+ rotor datagrams (UDP): ")) << network->toolTip().toStdString();
    for (const auto& event : store.log)
        EXPECT_NE(event.kind, test::StoreEvent::Kind::Message) << event.name;

    holder.reset();
    windows->network->show();
    windows->network->Button1Click();
    EXPECT_TRUE(network->icon().isNull());
    EXPECT_FALSE(network->toolTip().contains("Cannot listen"));
}

TEST_F(LinkFaultDisplayTest, PortThatCannotListenIsNoBox)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::Any, 0));
    tcpPort = QByteArray::number(holder.serverPort());
    start();
    EXPECT_FALSE(windows->tcpServer->isListening());
    EXPECT_TRUE(windows->tcpServer->statusText().startsWith("Cannot listen on "));
    EXPECT_TRUE(windows->tcpServer->statusText().contains(":" + tcpPort + ": "));
    for (const auto& event : store.log)
        EXPECT_NE(event.kind, test::StoreEvent::Kind::Message) << event.name;
}

}  // namespace
}  // namespace vantora
