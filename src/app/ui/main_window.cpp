#include "app/ui/main_window.h"

#include "geo/locator.h"
#include "app/layout_geometry.h"
#include "app/motion_commands.h"
#include "app/nastav.h"
#include "app/presets_text.h"
#include "app/target_entry.h"
#include "app/ui/arrow_key_tracker.h"
#include "app/ui/focused_window.h"
#include "app/ui/main_menu.h"
#include "app/ui/presets_window.h"
#include "app/ui/program_font.h"
#include "geo/map_view.h"
#include "link/port_name.h"
#include "link/port_selection.h"
#include "link/ui/link_receiver.h"
#include "settings/settings_io.h"
#include "settings/translate.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/preferences_dialog.h"
#include "settings/ui/sensors_dialog.h"
#include "track/ui/tcp_command_server.h"
#include "track/ui/tracking_service.h"
#include "widgets/ui/analog_gauge.h"
#include "widgets/ui/gauge_instances.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace vantora {

namespace {

constexpr QColor kTeal{0, 128, 128};
constexpr QColor kPanelGreen{192, 220, 192};
constexpr QColor kValueBlue{0, 0, 255};
constexpr int kReadoutFontPixels = 16;
constexpr int kPollIntervalMs = 50;

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

void setTextColor(QLabel* label, const QColor& color)
{
    // Every colour group: the read-outs stay readable while a dialog disables the window.
    QPalette palette = label->palette();
    if (palette.color(QPalette::Active, QPalette::WindowText) == color &&
        palette.color(QPalette::Disabled, QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QWidget* makePanel(QWidget* parent, const char* name)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPanelGreen);
    panel->setPalette(palette);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int y, bool rightColumn, int rightEdge = 184)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(ProgramFont(kReadoutFontPixels));
    const int height = kReadoutFontPixels + 4;
    if (rightColumn) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(rightEdge - 70, y, 70, height);
        setTextColor(label, kValueBlue);
    } else {
        label->setGeometry(8, y, 176, height);
        setTextColor(label, Qt::black);
    }
    return label;
}

QRect toQRect(const Rect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

}  // namespace

MainWindow::MainWindow(KeyValueStore& store, MessageSink& messages, QWidget* parent)
    : QMainWindow(parent), m_store(store), m_messages(messages), m_link(*this, m_port, *this)
{
    setObjectName("TForm1");
    setWindowTitle("Vantora");
    m_timer1.setObjectName("Timer1");
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kPollIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    ConnectLinkReceiver(m_port, m_link);
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
    buildWidgets();
    m_mapView = std::make_unique<MapView>(*m_map);
    connectMenu();

    // The stored zoom and layout tick their menu items; the compact layouts have no map.
    if (const int item = MapZoomItemForState(m_settings.Zoom); item >= 0)
        m_menu->zooms[item]->setChecked(true);
    m_home = HomePosition(m_settings.Lokator);
    if (m_settings.View >= 0 && m_settings.View <= 2)
        m_menu->views[m_settings.View]->setChecked(true);
    if (m_settings.View == 1 || m_settings.View == 2)
        m_menu->mapZoom->setEnabled(false);
    m_mapView->HomePix(m_home);

    ApplyStartupRules(m_settings);
    m_port.SetDeviceNameResolver([this](int n) {
        return PortDeviceName(n, [this, n](const std::string&) { return ReadComDevice(m_store, n); });
    });
    SetPort(m_settings.Port);

    m_mapView->LoadImages();
    m_mapView->SetCallsign(q(m_settings.Znacka));
    m_mapView->SetZoom(m_settings.Zoom * 10);

    m_gauge1->setPosition(180);
    m_gauge2->setPosition(0);
    m_map->setPosition(180);

    // Tracking and the TCP server reach Nastav through this window.
    m_tracking = new TrackingService(m_settings, *this, this);
    m_tracking->attachMenu(m_menu->tracking, m_menu->trackingOff, m_menu->trackingMoonSked, m_menu->trackingWsjt);
    m_tracking->attachReadout(m_label5);
    m_tcp = new TcpCommandServer(
        *this, [this] { return m_display.beamAzimuth; },
        [this](const QString& text) { m_messages.ShowMessage(text.toStdString()); }, this);

    if (startup.storedSize) {
        setBasicMinimumSize();
        setClientSize(m_settings.SizeX, m_settings.SizeY);
        if (m_settings.SizeM == 1)
            setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        Vzhled();
    }
}

void MainWindow::buildWidgets()
{
    m_client = new QWidget(this);
    m_client->setObjectName("ClientArea");
    m_client->setAutoFillBackground(true);
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, kTeal);
    m_client->setPalette(palette);
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_map = new TA3nalogGauge(m_client);
    m_map->setObjectName("AnalogGauge3");
    ConfigureMapGauge(*m_map);
    m_map->setGeometry(3, 4, kMapGaugeWidth, kMapGaugeHeight);
    m_gauge1 = new TA3nalogGauge(m_client);
    m_gauge1->setObjectName("AnalogGauge1");
    ConfigureRotatorDial(*m_gauge1, false);
    m_gauge1->setGeometry(803, 4, kRotatorDialSize, kRotatorDialSize);
    m_gauge2 = new TA3nalogGauge(m_client);
    m_gauge2->setObjectName("AnalogGauge2");
    ConfigureRotatorDial(*m_gauge2, true);
    m_gauge2->setGeometry(803, 201, kRotatorDialSize, kRotatorDialSize);

    const auto tr = [this](const char* english) { return q(Translate(english)); };
    m_panel1 = makePanel(m_client, "Panel1");
    m_panel1->setGeometry(803, 398, kPanelWidth, kPanel1Height);
    makeLabel(m_panel1, "Label1", tr("Rotator 1 position:"), 10, false);
    m_label3 = makeLabel(m_panel1, "Label3", tr("Setpoint:"), 34, false);
    makeLabel(m_panel1, "Label2", tr("Rotator 2 position:"), 58, false);
    m_label4 = makeLabel(m_panel1, "Label4", tr("Setpoint:"), 82, false);
    makeLabel(m_panel1, "Label10", tr("Tracking:"), 112, false);
    m_label6 = makeLabel(m_panel1, "Label6", "0°", 10, true);
    m_label7 = makeLabel(m_panel1, "Label7", "0°", 34, true);
    m_label8 = makeLabel(m_panel1, "Label8", "0°", 58, true);
    m_label9 = makeLabel(m_panel1, "Label9", "0°", 82, true);
    m_label5 = makeLabel(m_panel1, "Label5", "OFF", 112, true, 183);
    for (QLabel* right : {m_label6, m_label7, m_label8, m_label9, m_label5})
        right->raise();

    m_panel3 = makePanel(m_client, "Panel3");
    m_panel3->setGeometry(803, 547, kPanelWidth, kPanel3Height);
    QFont bold = font();
    bold.setBold(true);
    const auto speedButton = [&](const char* name, const char* caption, int x, int width) {
        auto* button = new QPushButton(caption, m_panel3);
        button->setObjectName(name);
        button->setFont(bold);
        button->setFocusPolicy(Qt::NoFocus);  // like a speed button: the target box keeps the focus
        button->setGeometry(x, 5, width, 20);
        return button;
    };
    connect(speedButton("SpeedButton1", "PARK", 4, 60), &QPushButton::clicked, this, &MainWindow::SpeedButton1Click);
    connect(speedButton("SpeedButton2", "STOP", 66, 60), &QPushButton::clicked, this, &MainWindow::SpeedButton2Click);
    connect(speedButton("SpeedButton3", "PRESETS", 128, 61), &QPushButton::clicked, this,
            &MainWindow::SpeedButton3Click);

    m_panel2 = makePanel(m_client, "Panel2");
    m_panel2->setGeometry(803, 583, kPanelWidth, kPanel2Height);
    m_edit1 = new QLineEdit(m_panel2);
    m_edit1->setObjectName("Edit1");
    m_edit1->setGeometry(4, 8, 122, 21);
    m_edit1->installEventFilter(this);
    m_button1 = new QPushButton("OK", m_panel2);
    m_button1->setObjectName("Button1");
    m_button1->setFont(bold);
    m_button1->setGeometry(128, 8, 61, 22);
    connect(m_button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
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
    connect(m_menu->preferences, &QAction::triggered, this, [this] {
        if (m_preferences)
            m_preferences->show();
        setEnabled(false);
    });
    connect(m_menu->controlUnit, &QAction::triggered, this, [this] {
        setEnabled(false);
        if (m_controlUnit)
            m_controlUnit->show();
    });
    connect(m_menu->magneticSensors, &QAction::triggered, this, [this] {
        if (m_sensors)
            m_sensors->show();
        setEnabled(false);
    });
    connect(m_menu->about, &QAction::triggered, this, [this] {
        m_messages.ShowMessage("Vantora 1.09\nAntenna rotator console");
    });
    connect(m_menu->hwInfo, &QAction::triggered, this, [this] { m_link.VerzeHW1Click(); });
}

void MainWindow::setWindows(PreferencesDialog* preferences, ControlUnitDialog* controlUnit, SensorsDialog* sensors,
                            PresetsWindow* presets)
{
    m_preferences = preferences;
    m_controlUnit = controlUnit;
    m_sensors = sensors;
    m_presets = presets;
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
    if (!m_link.state.firmwareTooOld)
        m_timer1.start();
    m_edit1->setFocus();
}

void MainWindow::FormDeactivate()
{
    m_active = false;
    m_timer1.stop();
    m_keys->clear();
}

void MainWindow::restartPoll()
{
    if (!m_link.state.firmwareTooOld)
        m_timer1.start();
}

void MainWindow::restoreAndRaise()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
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
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
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
    return !m_edit1->text().isEmpty();
}

void MainWindow::ShowAzimut()
{
    vantora::ShowAzimut(m_link.state, m_display);
    showDials();
}

void MainWindow::ShowElevace()
{
    for (const DialStep& step : vantora::ShowElevace(m_link.state, m_display)) {
        switch (step.property) {
        case DialProperty::Style:
            m_gauge2->setGaugeStyle(step.style == DialStyle::Center ? TStyle::CenterStyle : TStyle::RightStyle);
            break;
        case DialProperty::Margin: m_gauge2->setMargin(step.value); break;
        case DialProperty::Scale: m_gauge2->setScale(step.value); break;
        case DialProperty::Angle: m_gauge2->setAngle(step.value); break;
        }
    }
    showDials();
}

void MainWindow::showDials()
{
    const auto apply = [](TA3nalogGauge* gauge, const DialModel& model) {
        gauge->setPosition(static_cast<float>(model.position));
        gauge->setCaption(q(model.caption));
        gauge->setFaceColor(toQColor(model.face));
        gauge->setCenterColor(toQColor(model.centre));
    };
    apply(m_gauge1, m_display.gauge1);
    apply(m_gauge2, m_display.gauge2);
    m_label6->setText(q(m_display.gauge1.caption));
    m_label8->setText(q(m_display.gauge2.caption));
    m_map->setPosition(static_cast<float>(m_display.mapPosition));
}

void MainWindow::SettingsReportArrived()
{
    if (m_controlUnit && m_controlUnit->isVisible()) {
        m_controlUnit->Zobrazit();
        m_controlUnit->Povolit();
    }
    if (m_sensors && m_sensors->isVisible())
        m_sensors->Povolit();
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

void MainWindow::UnitDialogStatus(const std::string& englishText)
{
    if (m_controlUnit)
        m_controlUnit->setStatus(englishText);
}

void MainWindow::SensorDialogStatus(const std::string& englishText)
{
    if (m_sensors)
        m_sensors->setStatus(englishText);
}

void MainWindow::SetpointsChanged()
{
    showSetpoints();
}

void MainWindow::showSetpoints()
{
    const auto show = [](QLabel* caption, QLabel* value, const SetpointLabel& setpoint) {
        value->setText(q(setpoint.value));
        setTextColor(caption, setpoint.acknowledged ? QColor(Qt::red) : QColor(Qt::black));
        setTextColor(value, setpoint.acknowledged ? QColor(Qt::red) : kValueBlue);
    };
    show(m_label3, m_label7, m_link.setpoints.rotator1);
    show(m_label4, m_label9, m_link.setpoints.rotator2);
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
                               m_tracking->isTracking()};
    const EntryResult result = EnterTarget(m_edit1->text().toStdString(), context);
    if (result.switchTrackingOff)
        m_tracking->OFF1Click();
    showSetpoints();
    m_edit1->clear();
    m_edit1->setFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        FormResize();
    if (watched == m_edit1 && event->type() == QEvent::KeyPress) {
        bool swallowed = false;
        Edit1KeyPress(static_cast<QKeyEvent*>(event), swallowed);
        if (swallowed)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Edit1KeyPress(QKeyEvent* event, bool& swallowed)
{
    char32_t key = 0;
    switch (event->key()) {
    case Qt::Key_Escape: key = kKeyEscape; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: key = kKeyEnter; break;
    case Qt::Key_Space: key = kKeySpace; break;
    default: return;
    }
    switch (TargetKeyPress(key, m_link.state, m_link.selectRequest)) {
    case KeyOutcome::PassOn: return;
    case KeyOutcome::Swallowed: break;
    case KeyOutcome::ClearBox: m_edit1->clear(); break;
    case KeyOutcome::RunEnter: Button1Click(); break;
    }
    swallowed = true;
}

void MainWindow::SpeedButton1Click()
{
    Park(m_settings, NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints});
    showSetpoints();
}

void MainWindow::SpeedButton2Click()
{
    const StopResult result = Stop(m_tracking->isTracking(), m_link.setpoints, m_link.commandBuffer, m_port);
    if (result.switchTrackingOff)
        m_tracking->OFF1Click();
    showSetpoints();
}

void MainWindow::SpeedButton3Click()
{
    if (!m_presets)
        return;
    m_presets->hide();
    m_presets->show();
    m_presets->raise();
    m_presets->activateWindow();
}

// ---- port, zoom, layouts -------------------------------------------------------------------

void MainWindow::SetPort(int n)
{
    const PortSelectionHooks hooks{
        [this](int port) {
            if (port >= 1 && port <= 10)
                m_menu->ports[port - 1]->setChecked(true);
        },
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
    m_mapView->SetCallsign(q(m_settings.Znacka));
    m_mapView->HomePix(m_home);
    SetZoom(m_settings.Zoom * 10);
}

QSize MainWindow::clientSize() const
{
    return m_client->size();
}

void MainWindow::setClientSize(int width, int height)
{
    resize(width, height + menuBar()->sizeHint().height());
}

void MainWindow::setView(int view)
{
    m_settings.View = view;
    m_menu->views[view]->setChecked(true);
    m_menu->mapZoom->setEnabled(view == 0);
    Vzhled();
}

void MainWindow::Vzhled()
{
    const auto kind = LayoutFromView(m_settings.View);
    if (!kind)
        return;
    const WindowLayout layout = vantora::Vzhled(*kind);
    const int menuHeight = menuBar()->sizeHint().height();

    setWindowTitle(q(layout.caption));
    const bool wasVisible = isVisible();
    Qt::WindowFlags flags = windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    flags.setFlag(Qt::WindowMaximizeButtonHint, !layout.fixedBorder);
    flags.setFlag(Qt::MSWindowsFixedSizeDialogHint, layout.fixedBorder);
    if (flags != windowFlags()) {
        setWindowFlags(flags);
        if (wasVisible)
            show();
    }
    m_map->setVisible(layout.mapVisible);
    m_menu->mapZoom->setEnabled(layout.mapZoomEnabled);
    m_gauge1->setGeometry(toQRect(layout.gauge1));
    m_gauge2->setGeometry(toQRect(layout.gauge2));
    m_panel1->setGeometry(toQRect(layout.panel1));
    m_panel2->setGeometry(toQRect(layout.panel2));
    m_panel3->setGeometry(toQRect(layout.panel3));
    if (layout.fixedBorder) {
        setMinimumSize(0, 0);
        setFixedSize(layout.clientWidth, layout.clientHeight + menuHeight);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setBasicMinimumSize();
        m_map->setGeometry(toQRect(layout.map));
        setClientSize(layout.clientWidth, layout.clientHeight);
        Velikost();
    }
}

void MainWindow::setBasicMinimumSize()
{
    // The minimum is set on the client area plus the menu bar; the frame comes on top.
    const WindowLayout basic = vantora::Vzhled(LayoutKind::Basic);
    setMinimumSize(basic.clientWidth, basic.clientHeight + menuBar()->sizeHint().height());
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
    const ResizeGeometry geometry = vantora::Velikost(client.width(), client.height());
    m_gauge1->setGeometry(toQRect(geometry.gauge1));
    m_gauge2->setGeometry(toQRect(geometry.gauge2));
    m_map->setGeometry(toQRect(geometry.map));
    m_panel1->setGeometry(toQRect(geometry.panel1));
    m_panel2->setGeometry(toQRect(geometry.panel2));
    m_panel3->setGeometry(toQRect(geometry.panel3));
    m_mapView->HomePix(m_home);
    SetZoom(m_settings.Zoom * 10);
}

}  // namespace vantora
