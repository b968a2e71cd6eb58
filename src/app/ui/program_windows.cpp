#include "app/ui/program_windows.h"

#include "app/ui/link_event_routes.h"
#include "app/ui/main_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/presets_window.h"
#include "app/ui/program_font.h"
#include "link/port_name.h"
#include "settings/settings_io.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/preferences_dialog.h"
#include "settings/ui/sensors_dialog.h"
#include "track/ui/tcp_command_server.h"
#include "track/ui/tracking_service.h"

#include <QAction>
#include <QApplication>

namespace vantora {

ProgramWindows::ProgramWindows(KeyValueStore& store, MessageSink& messages)
{
    QApplication::setFont(ProgramFont());
    // A port's device: VANTORA_COM<n>, else the stored ComDevice<n>, else the platform's name.
    const auto deviceName = [&store](int n) {
        return PortDeviceName(n, [&store, n](const std::string&) { return ReadComDevice(store, n); });
    };
    main = std::make_unique<MainWindow>(store, messages, deviceName);
    MainWindow& window = *main;

    // Tracking and the TCP server reach Nastav through the main window.
    tracking = new TrackingService(window.settings(), window, &window);
    window.attachTracking(*tracking);
    tcpServer = new TcpCommandServer(
        window, [&window] { return window.display().beamAzimuth; },
        [&messages](const QString& text) { messages.ShowMessage(text.toStdString()); }, &window);

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
    connectMainWindow();
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
}

ProgramWindows::~ProgramWindows()
{
    // The dialogs hold references into the main window: they go first, and the link stops
    // telling them anything.
    main->setUnitDialogEvents(nullptr);
    presets.reset();
    sensors.reset();
    controlUnit.reset();
    preferences.reset();
    main.reset();
}

}  // namespace vantora
