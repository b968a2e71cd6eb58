#include "app/ui/main_window.h"

#include "app/layout_geometry.h"
#include "app/ui/arrow_key_tracker.h"
#include "app/ui/focused_window.h"
#include "app/ui/main_menu.h"
#include "geo/map_view.h"
#include "settings/settings_io.h"
#include "settings/ui/dialog_window.h"
#include "station/target_entry.h"
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

MainWindow::MainWindow(Station& station, KeyValueStore& store, MessageSink& messages, QWidget* parent)
    : QMainWindow(parent), m_station(station), m_store(store), m_messages(messages)
{
    setObjectName("TForm1");
    setWindowTitle("Vantora");
    m_keys = new ArrowKeyTracker(this);
    m_station.setView(this, this);
    FormCreate();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::onFocusWindowChanged);
}

MainWindow::~MainWindow()
{
    m_station.setView(nullptr, nullptr);
}

Station& MainWindow::fromDesktop()
{
    m_station.CommandsFrom(CommandOrigin{CommandSource::Desktop, {}});
    return m_station;
}

void MainWindow::FormCreate()
{
    const StartupLayout startup = StartupLayoutFor(settings().View);
    settings().View = static_cast<std::int32_t>(startup.layout);
    m_menu = std::make_unique<MainMenu>(*this, [this](const std::string& text) { return Translate(text); });
    m_ui = BuildMainWindowWidgets(*this, [this](const std::string& text) { return Translate(text); });
    connectWidgets();
    m_mapView = std::make_unique<MapView>(*m_ui.map);
    connectMenu();

    m_menu->showZoomState(settings().Zoom);
    m_menu->showView(settings().View);
    m_home = HomePosition(settings().Lokator);
    m_mapView->HomePix(m_home);

    connect(&m_station, &Station::portChosen, this, [this](int port) { m_menu->showPort(port); });
    connect(&m_station, &Station::targetLocatorChanged, this,
            [this](const QString& locator) { m_mapView->SetTargetLocator(locator); });
    m_station.start();  // the start-up rules, then the stored port

    m_mapView->LoadImages();
    m_mapView->SetCallsign(FromUtf8(settings().Znacka));
    m_mapView->SetZoom(settings().Zoom * 10);

    m_ui.gauge1->setPosition(180);
    m_ui.gauge2->setPosition(0);
    m_ui.map->setPosition(180);

    if (startup.storedSize) {
        const WindowLayout basic = vantora::Vzhled(LayoutKind::Basic);
        SetMinimumClientSize(*this, basic.clientWidth, basic.clientHeight);
        setClientSize(settings().SizeX, settings().SizeY);
        if (settings().SizeM == 1)
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
    connect(m_menu->hwInfo, &QAction::triggered, this, [this] { link().VerzeHW1Click(); });
}

std::string MainWindow::Translate(const std::string& english) const
{
    return m_station.Translate(english);
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
    m_station.restartPoll();
    m_ui.edit1->setFocus();
}

void MainWindow::FormDeactivate()
{
    m_active = false;
    m_station.stopPoll();
    m_keys->clear();
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
    SaveWindowState(m_store, settings(), WindowGeometry{client.width(), client.height(), isMaximized()});
    m_station.stopPoll();
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
    showDials();
}

void MainWindow::ShowElevace()
{
    ReshapeDial(*m_ui.gauge2, m_station.elevationDialSteps());
    showDials();
}

void MainWindow::showPositionAgain()
{
    m_shownDisplay.reset();
    showDials();
}

void MainWindow::showDials()
{
    const PositionDisplay& now = m_station.display();
    const DisplayChange change = ChangedParts(m_shownDisplay ? &*m_shownDisplay : nullptr, now);
    if (change.gauge1) {
        ShowDial(*m_ui.gauge1, now.gauge1);
        m_ui.label6->setText(FromUtf8(now.gauge1.caption));
    }
    if (change.gauge2) {
        ShowDial(*m_ui.gauge2, now.gauge2);
        m_ui.label8->setText(FromUtf8(now.gauge2.caption));
    }
    if (change.map)
        m_ui.map->setPosition(static_cast<float>(now.mapPosition));
    m_shownDisplay = now;
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
    const Setpoints& setpoints = link().setpoints;
    if (m_shownSetpoints && ShowsSame(m_shownSetpoints->rotator1, setpoints.rotator1) &&
        ShowsSame(m_shownSetpoints->rotator2, setpoints.rotator2))
        return;
    m_shownSetpoints = setpoints;
    ShowSetpoint(m_ui.label3, m_ui.label7, setpoints.rotator1.value, setpoints.rotator1.acknowledged);
    ShowSetpoint(m_ui.label4, m_ui.label9, setpoints.rotator2.value, setpoints.rotator2.acknowledged);
}

// ---- targets ---------------------------------------------------------------------------------

void MainWindow::GoPreset(int n)
{
    fromDesktop().GoPreset(n);
}

void MainWindow::Button1Click()
{
    // The station runs the box's rules; the map marks a locator's target (targetLocatorChanged).
    fromDesktop().enterTarget(m_ui.edit1->text().toStdString());
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
    switch (TargetKeyPress(key, link().state, link().selectRequest)) {
    case KeyOutcome::PassOn: return false;
    case KeyOutcome::Swallowed: break;
    case KeyOutcome::ClearBox: m_ui.edit1->clear(); break;
    case KeyOutcome::RunEnter: Button1Click(); break;
    }
    return true;
}

void MainWindow::SpeedButton1Click()
{
    fromDesktop().Park();
}

void MainWindow::SpeedButton2Click()
{
    fromDesktop().Stop();
}

// ---- port, zoom, layouts -------------------------------------------------------------------

void MainWindow::SetPort(int n)
{
    m_station.SetPort(n);
}

void MainWindow::SetZoom(int zoomValue)
{
    m_mapView->SetZoom(zoomValue);
    settings().Zoom = m_mapView->zoomState();
}

void MainWindow::applyNewHome()
{
    m_home = HomePosition(settings().Lokator);
    m_mapView->SetCallsign(FromUtf8(settings().Znacka));
    m_mapView->HomePix(m_home);
    SetZoom(settings().Zoom * 10);
}

void MainWindow::setView(int view)
{
    settings().View = view;
    m_menu->showView(view);
    Vzhled();
}

void MainWindow::Vzhled()
{
    const auto kind = LayoutFromView(settings().View);
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
    if (settings().View == 0)  // only the Basic layout follows the size
        Velikost();
}

void MainWindow::Velikost()
{
    if (!m_mapView)
        return;
    const QSize client = clientSize();
    PlaceParts(m_ui, vantora::Velikost(client.width(), client.height()));
    m_mapView->HomePix(m_home);
    SetZoom(settings().Zoom * 10);
}

}  // namespace vantora
