#include "app/ui/program_windows.h"

#include "app/ui/link_event_routes.h"
#include "app/ui/link_fault_view.h"
#include "app/ui/main_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/port_menu.h"
#include "app/ui/presets_window.h"
#include "app/ui/program_font.h"
#include "common/ui/owned_window.h"
#include "link/port_name.h"
#include "link/ui/link_health_monitor.h"
#include "link/ui/port_chooser.h"
#include "mqtt/ui/mqtt_section.h"
#include "net/ui/network_dialog.h"
#include "net/ui/udp_input_sections.h"
#include "net/ui/udp_inputs.h"
#include "settings/settings_io.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/preferences_dialog.h"
#include "settings/ui/sensors_dialog.h"
#include "station/link_fault_text.h"
#include "station/ui/network_services.h"
#include "station/ui/station.h"
#include "station/ui/station_services.h"
#include "track/ui/tcp_command_server.h"
#include "track/ui/tracking_service.h"
#include "web/ui/web_console_service.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QStyle>

namespace vantora {

ProgramWindows::ProgramWindows(KeyValueStore& store, MessageSink& messages)
{
    QApplication::setFont(ProgramFont());
    // A port's device: VANTORA_COM<n>, else the stored ComDevice<n>, else the platform's name.
    const auto deviceName = [&store](int n) {
        return PortDeviceName(n, [&store, n](const std::string&) { return ReadComDevice(store, n); });
    };
    station = std::make_unique<Station>(store, messages, deviceName);
    main = std::make_unique<MainWindow>(*station, store, messages);
    MainWindow& window = *main;
    buildMainWindowParts(store);

    // The station's tracking; the Tracking menu and the read-out drive it.
    tracking = &station->tracking();
    const MainMenu& menu = window.menu();
    tracking->attachMenu(menu.tracking, menu.trackingOff, menu.trackingMoonSked, menu.trackingWsjt);
    tracking->attachBuiltInItems(menu.trackingMoonBuiltIn, menu.trackingSunBuiltIn);
    tracking->attachReadout(window.widgets().label5, window.widgets().label10);
    stationServices = std::make_unique<StationServices>(*station, store);
    tcpServer = &stationServices->tcpServer();
    services = &stationServices->network();
    udpInputs = &stationServices->udpInputs();

    const auto translate = [&window](const std::string& text) { return window.Translate(text); };
    DialogHooks hooks;
    hooks.enableMainWindow = [&window] { window.setEnabled(true); };
    hooks.restartPoll = [&window] { window.restartPoll(); };
    hooks.applyNewHome = [&window] { window.applyNewHome(); };
    hooks.savePreferences = [&window, &store, &messages](const PreferenceValues& values) {
        SavePreferences(store, messages, window.settings(), values);
    };
    hooks.messages = &messages;

    // Without a parent: disabling the main window must not disable them.
    preferences = std::make_unique<PreferencesDialog>(window.settings(), translate, hooks);
    controlUnit = std::make_unique<ControlUnitDialog>(window.link().state, window.link().commandBuffer,
                                                      window.port(), translate, hooks);
    sensors = std::make_unique<SensorsDialog>(window.link().state, window.link().commandBuffer, window.port(),
                                              translate, hooks);
    presets = std::make_unique<PresetsWindow>(
        window.settings(), [&window](int n) { window.GoPreset(n); }, translate);

    network = std::make_unique<NetworkDialog>(translate, hooks.enableMainWindow);
    services->addSections(*network, translate);
    stationServices->webConsole().addSection(*network, translate);
    NetworkSection* const udpSections[] = {new N1mmSection(*udpInputs, translate),
                                           new PstSection(*udpInputs, translate)};
    for (NetworkSection* section : udpSections)
        network->addSection(section);
    network->addSection(MakeMqttSection(stationServices->mqtt(), translate));
    QObject::connect(network.get(), &NetworkDialog::applied, &window, [this] { showListenProblems(); });
    QObject::connect(window.menu().settings, &QMenu::aboutToShow, &window, [this] { showListenProblems(); });
    showListenProblems();
    // The UDP inputs say it once on standard error too, as the servers do.
    for (const NetworkSection* section : udpSections)
        if (!section->listenProblem().isEmpty())
            std::fprintf(stderr, "vantora: %s: %s\n", qPrintable(section->title().trimmed()),
                         qPrintable(section->listenProblem()));
    // Each belongs to the main window: it stays above it, also while the main window is disabled.
    const auto owner = [this]() -> QWidget* { return main.get(); };
    for (QWidget* secondary : std::initializer_list<QWidget*>{preferences.get(), controlUnit.get(), sensors.get(),
                                                              presets.get(), network.get(), &portMenu->chooser()})
        OwnedWindow::Attach(secondary, owner);
    connectMainWindow();
}

void ProgramWindows::buildMainWindowParts(KeyValueStore& store)
{
    MainWindow& window = *main;
    portMenu = new PortMenu(*window.menu().portMenu, window.menu().ports, store,
                            {[&window] { return window.port().ComPort() + 1; },
                             [&window](int n) { return window.port().DeviceNameOf(n); },
                             [&window](int n) { window.SetPort(n); },
                             [&window](const std::string& text) { return window.Translate(text); }},
                            nullptr, &window);

    const MainWindowWidgets& ui = window.widgets();
    LinkHealthMonitor& health = window.linkHealth();
    faultView = new LinkFaultView(
        health,
        {{ui.label6, ui.label8},
         {ui.gauge1, ui.gauge2},
         ui.gauge1,
         [&window] { window.showPositionAgain(); },  // the stale look changed the dials
         [&window, &health] {
             return LinkFaultText(health.fault(), window.port().ComPort() + 1,
                                  window.port().DeviceName().toStdString(), window.settings().Language);
         },
         ui.map},
        &window);
}

void ProgramWindows::connectMainWindow()
{
    MainWindow& window = *main;
    m_unitDialogEvents = std::make_unique<UnitDialogEvents>(*controlUnit, *sensors);
    window.setUnitDialogEvents(m_unitDialogEvents.get());

    // A settings dialog is modeless but takes the main window's place until it is hidden again.
    const MainMenu& menu = window.menu();
    QObject::connect(menu.preferences, &QAction::triggered, &window, [this] {
        preferences->show();
        main->setEnabled(false);
    });
    QObject::connect(menu.controlUnit, &QAction::triggered, &window, [this] {
        main->setEnabled(false);
        controlUnit->show();
    });
    QObject::connect(menu.magneticSensors, &QAction::triggered, &window, [this] {
        sensors->show();
        main->setEnabled(false);
    });
    QObject::connect(&window, &MainWindow::presetsRequested, presets.get(), [this] {
        presets->hide();
        presets->show();
        presets->raise();
        presets->activateWindow();
    });
    QObject::connect(menu.network, &QAction::triggered, &window, [this] {
        network->show();
        main->setEnabled(false);
    });
}

void ProgramWindows::showListenProblems()
{
    QAction* item = main->menu().network;
    const QStringList problems = network->listenProblems();
    if (problems.isEmpty()) {
        item->setIcon(QIcon());
        item->setToolTip(item->text());
        return;
    }
    item->setIcon(main->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setToolTip(problems.join(QLatin1Char('\n')));
}

ProgramWindows::~ProgramWindows()
{
    // The dialogs and the inputs hold references into the main window: they go first, and the
    // link stops telling them anything.
    main->setUnitDialogEvents(nullptr);
    network.reset();
    presets.reset();
    sensors.reset();
    controlUnit.reset();
    preferences.reset();
    main.reset();
    stationServices.reset();
    station.reset();
}

}  // namespace vantora
