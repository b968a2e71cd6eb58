#include "app/ui/main_window.h"

#include "app/layout_geometry.h"
#include "app/motion_commands.h"
#include "app/nastav.h"
#include "app/presets_text.h"
#include "app/target_entry.h"
#include "app/ui/arrow_key_tracker.h"
#include "app/ui/focused_window.h"
#include "app/ui/main_menu.h"
#include "geo/map_view.h"
#include "link/port_selection.h"
#include "link/ui/link_health_monitor.h"
#include "link/ui/link_receiver.h"
#include "settings/ui/dialog_window.h"
#include "settings/settings_io.h"
#include "settings/translate.h"
#include "track/ui/tracking_service.h"
#include "widgets/ui/analog_gauge.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWindow>

namespace vantora {

namespace {
constexpr int kPollIntervalMs = 50;
}  // namespace

MainWindow::MainWindow(KeyValueStore& store, MessageSink& messages,
                       TCommPortDriver::DeviceNameResolver deviceName, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_messages(messages), m_routes(*this), m_link(*this, m_port, m_routes)
{
    m_port.SetDeviceNameResolver(std::move(deviceName));
    setObjectName("TForm1");
    setWindowTitle("Vantora");
    m_timer1.setObjectName("Timer1");
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kPollIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    ConnectLinkReceiver(m_port, m_link);
    connect(&m_port, &TCommPortDriver::portOpened, this, [this] {
        if (m_timer1.isActive())
            restartPoll();  // a new receive poll: in step with the tick again
    });
    m_keys = new ArrowKeyTracker(this);
    FormCreate();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::onFocusWindowChanged);
}

MainWindow::~MainWindow() = default;

void MainWindow::FormCreate()
{
    m_settings = LoadSettings(m_store, m_messages);
    const StartupLayout startup = StartupLayoutFor(m_settings.View);
    m_settings.View = static_cast<std::int32_t>(startup.layout);
    m_menu = std::make_unique<MainMenu>(*this, [this](const std::string& text) { return Translate(text); });
    m_ui = BuildMainWindowWidgets(*this, [this](const std::string& text) { return Translate(text); });
    connectWidgets();
    m_mapView = std::make_unique<MapView>(*m_ui.map);
    connectMenu();

    m_menu->showZoomState(m_settings.Zoom);
    m_menu->showView(m_settings.View);
    m_home = HomePosition(m_settings.Lokator);
    m_mapView->HomePix(m_home);

    ApplyStartupRules(m_settings);
    m_health = new LinkHealthMonitor(m_port, m_link, this);
    SetPort(m_settings.Port);

    m_mapView->LoadImages();
    m_mapView->SetCallsign(FromUtf8(m_settings.Znacka));
    m_mapView->SetOutsideHint(FromUtf8(Translate("Home is outside this map: View, Map zoom, World")));
    m_mapView->SetZoom(m_settings.Zoom * 10);

    m_ui.gauge1->setPosition(180);
    m_ui.gauge2->setPosition(0);
    m_ui.map->setPosition(180);

    if (startup.storedSize) {
        const WindowLayout basic = vantora::Vzhled(LayoutKind::Basic);
        SetMinimumClientSize(*this, basic.clientWidth, basic.clientHeight);
        setClientSize(m_settings.SizeX, m_settings.SizeY);
        if (m_settings.SizeM == 1)
            setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        Vzhled();
    }
}

void MainWindow::connectWidgets()
{
    m_ui.client->installEventFilter(this);
    m_ui.edit1->installEventFilter(this);
    connect(m_ui.park, &QPushButton::clicked, this, &MainWindow::SpeedButton1Click);
    connect(m_ui.stop, &QPushButton::clicked, this, &MainWindow::SpeedButton2Click);
    connect(m_ui.presets, &QPushButton::clicked, this, &MainWindow::presetsRequested);
    connect(m_ui.button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
}

void MainWindow::connectMenu()
{
    connect(m_menu->exit, &QAction::triggered, this, &QWidget::close);
    for (int view = 0; view < 3; ++view)
        connect(m_menu->views[view], &QAction::triggered, this, [this, view] { setView(view); });
    for (std::size_t i = 0; i < kMapZoomItems.size(); ++i) {
        connect(m_menu->zooms[i], &QAction::triggered, this, [this, i] {
            SetZoom(kMapZoomItems[i].zoomValue);
            m_menu->zooms[i]->setChecked(true);
        });
    }
    for (int n = 1; n <= 10; ++n)
        connect(m_menu->ports[n - 1], &QAction::triggered, this, [this, n] { SetPort(n); });
    connect(m_menu->about, &QAction::triggered, this, [this] {
        m_messages.ShowMessage("Vantora 1.09\nAntenna rotator console");
    });
    connect(m_menu->hwInfo, &QAction::triggered, this, [this] { m_link.VerzeHW1Click(); });
}

std::string MainWindow::Translate(const std::string& english) const
{
    return vantora::Translate(m_settings.Language, english);
}

// ---- activation, poll tick, close ----------------------------------------------------------

void MainWindow::onFocusWindowChanged(QWindow* window)
{
    switch (DecideActivation(m_active, ClassifyFocusedWindow(window, windowHandle()))) {
    case ActivationChange::Activate: FormActivate(); break;
    case ActivationChange::Deactivate: FormDeactivate(); break;
    case ActivationChange::None: break;
    }
}

void MainWindow::FormActivate()
{
    m_active = true;
    restartPoll();
    m_ui.edit1->setFocus();
}

void MainWindow::FormDeactivate()
{
    m_active = false;
    m_timer1.stop();
    m_keys->clear();
}

void MainWindow::restartPoll()
{
    if (m_link.state.firmwareTooOld)
        return;
    m_port.RestartReceivePoll();  // one wake-up for both: the last answer is read, then a frame leaves
    m_timer1.start();
}

void MainWindow::Timer1Timer()
{
    m_link.Timer1Timer();
    showSetpoints();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_centered || isMaximized())
        return;
    m_centered = true;
    CenterOnScreen(this);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const QSize client = clientSize();
    SaveWindowState(m_store, m_settings, WindowGeometry{client.width(), client.height(), isMaximized()});
    m_timer1.stop();
    event->accept();
    // The other windows are hidden or shown modeless; closing this one ends the program.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

// ---- link inputs and events ----------------------------------------------------------------

ArrowKeys MainWindow::HeldArrowKeys() const
{
    return m_keys->held();
}

bool MainWindow::TargetBoxHoldsText() const
{
    return !m_ui.edit1->text().isEmpty();
}

void MainWindow::ShowAzimut()
{
    vantora::ShowAzimut(m_link.state, m_display);
    showDials();
}

void MainWindow::ShowElevace()
{
    ReshapeDial(*m_ui.gauge2, vantora::ShowElevace(m_link.state, m_display));
    showDials();
}

void MainWindow::showPositionAgain()
{
    m_shownDisplay.reset();
    showDials();
}

void MainWindow::showDials()
{
    const DisplayChange change = ChangedParts(m_shownDisplay ? &*m_shownDisplay : nullptr, m_display);
    if (change.gauge1) {
        ShowDial(*m_ui.gauge1, m_display.gauge1);
        m_ui.label6->setText(FromUtf8(m_display.gauge1.caption));
    }
    if (change.gauge2) {
        ShowDial(*m_ui.gauge2, m_display.gauge2);
        m_ui.label8->setText(FromUtf8(m_display.gauge2.caption));
    }
    if (change.map)
        m_ui.map->setPosition(static_cast<float>(m_display.mapPosition));
    m_shownDisplay = m_display;
}

void MainWindow::ShowMessage(const std::string& text)
{
    m_messages.ShowMessage(text);
}

void MainWindow::EnableUnitMenus()
{
    m_menu->controlUnit->setEnabled(true);
    m_menu->magneticSensors->setEnabled(true);
}

void MainWindow::SetpointsChanged()
{
    showSetpoints();
}

void MainWindow::showSetpoints()
{
    const Setpoints& setpoints = m_link.setpoints;
    if (m_shownSetpoints && ShowsSame(m_shownSetpoints->rotator1, setpoints.rotator1) &&
        ShowsSame(m_shownSetpoints->rotator2, setpoints.rotator2))
        return;
    m_shownSetpoints = setpoints;
    ShowSetpoint(m_ui.label3, m_ui.label7, setpoints.rotator1.value, setpoints.rotator1.acknowledged);
    ShowSetpoint(m_ui.label4, m_ui.label9, setpoints.rotator2.value, setpoints.rotator2.acknowledged);
}

// ---- targets ---------------------------------------------------------------------------------

void MainWindow::Nastav(int code, int value1, int value2)
{
    vantora::Nastav(code, value1, value2, NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints});
    showSetpoints();
}

void MainWindow::GoPreset(int n)
{
    vantora::GoPreset(m_settings, n, NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints});
    showSetpoints();
}

void MainWindow::Button1Click()
{
    const EntryContext context{NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints},
                               m_link.commandBuffer,
                               m_port,
                               m_settings.Lokator,
                               m_home,
                               m_tracking && m_tracking->isTracking()};
    const EntryResult result = EnterTarget(m_ui.edit1->text().toStdString(), context);
    if (result.switchTrackingOff && m_tracking)
        m_tracking->OFF1Click();
    if (!result.locator.empty())
        m_mapView->SetTargetLocator(QString::fromStdString(result.locator));
    showSetpoints();
    m_ui.edit1->clear();
    m_ui.edit1->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui.client && event->type() == QEvent::Resize)
        FormResize();
    if (watched == m_ui.edit1 && event->type() == QEvent::KeyPress && Edit1KeyPress(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::Edit1KeyPress(QKeyEvent* event)
{
    const char32_t key = TargetBoxKey(event->key());
    if (key == 0)
        return false;
    switch (TargetKeyPress(key, m_link.state, m_link.selectRequest)) {
    case KeyOutcome::PassOn: return false;
    case KeyOutcome::Swallowed: break;
    case KeyOutcome::ClearBox: m_ui.edit1->clear(); break;
    case KeyOutcome::RunEnter: Button1Click(); break;
    }
    return true;
}

void MainWindow::SpeedButton1Click()
{
    m_remoteKeys = {};
    Park(m_settings, NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints});
    showSetpoints();
}

void MainWindow::SpeedButton2Click()
{
    m_remoteKeys = {};
    const bool tracking = m_tracking && m_tracking->isTracking();
    const StopResult result = Stop(tracking, m_link.setpoints, m_link.commandBuffer, m_port);
    if (result.switchTrackingOff && m_tracking)
        m_tracking->OFF1Click();
    showSetpoints();
}

// ---- port, zoom, layouts -------------------------------------------------------------------

void MainWindow::SetPort(int n)
{
    const PortSelectionHooks hooks{[this](int port) { m_menu->showPort(port); },
                                   [this](const std::string& text) { m_messages.ShowMessage(text); }};
    vantora::SetPort(n, m_settings.Port, m_port, hooks);
}

void MainWindow::SetZoom(int zoomValue)
{
    m_mapView->SetZoom(zoomValue);
    m_settings.Zoom = m_mapView->zoomState();
}

void MainWindow::applyNewHome()
{
    m_home = HomePosition(m_settings.Lokator);
    m_mapView->SetCallsign(FromUtf8(m_settings.Znacka));
    m_mapView->SetOutsideHint(FromUtf8(Translate("Home is outside this map: View, Map zoom, World")));
    m_mapView->HomePix(m_home);
    SetZoom(m_settings.Zoom * 10);
}

void MainWindow::setView(int view)
{
    m_settings.View = view;
    m_menu->showView(view);
    Vzhled();
}

void MainWindow::Vzhled()
{
    const auto kind = LayoutFromView(m_settings.View);
    if (!kind)
        return;
    const WindowLayout layout = vantora::Vzhled(*kind);
    m_menu->mapZoom->setEnabled(layout.mapZoomEnabled);
    ApplyLayout(*this, m_ui, layout);
    if (!layout.fixedBorder)
        Velikost();
}

void MainWindow::FormResize()
{
    if (m_settings.View == 0)  // only the Basic layout follows the size
        Velikost();
}

void MainWindow::Velikost()
{
    if (!m_mapView)
        return;
    const QSize client = clientSize();
    PlaceParts(m_ui, vantora::Velikost(client.width(), client.height()));
    m_mapView->HomePix(m_home);
    SetZoom(m_settings.Zoom * 10);
}

}  // namespace vantora
