#include "app/ui/program_windows.h"

#include "app/ui/main_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/main_window_station.h"
#include "app/ui/network_services.h"
#include "app/ui/presets_window.h"
#include "app/ui/program_font.h"
#include "net/ui/network_dialog.h"
#include "net/ui/udp_input_sections.h"
#include "net/ui/udp_inputs.h"
#include "settings/settings_io.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/preferences_dialog.h"
#include "settings/ui/sensors_dialog.h"

#include <QAction>
#include <QApplication>

namespace vantora {

ProgramWindows::ProgramWindows(KeyValueStore& store, MessageSink& messages)
{
    QApplication::setFont(ProgramFont());
    main = std::make_unique<MainWindow>(store, messages);
    MainWindow& window = *main;
    services = std::make_unique<NetworkServices>(window, store);
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
    controlUnit = std::make_unique<ControlUnitDialog>(window.link().state, window.commandBuffer(),
                                                      window.frameSink(), translate, hooks);
    sensors = std::make_unique<SensorsDialog>(window.link().state, window.commandBuffer(), window.frameSink(),
                                              translate, hooks);
    presets = std::make_unique<PresetsWindow>(
        window.settings(), [&window](int n) { window.GoPreset(n); }, translate);
    window.setWindows(preferences.get(), controlUnit.get(), sensors.get(), presets.get());

    station = std::make_unique<MainWindowStation>(window);
    udpInputs = std::make_unique<UdpInputs>(store, *station);

    network = std::make_unique<NetworkDialog>(translate, hooks.enableMainWindow);
    services->addSections(*network, translate);
    network->addSection(new N1mmSection(*udpInputs, translate));
    network->addSection(new PstSection(*udpInputs, translate));
    QObject::connect(window.menu().network, &QAction::triggered, network.get(), [this, &window] {
        network->show();
        window.setEnabled(false);
    });
}

ProgramWindows::~ProgramWindows()
{
    // The dialogs and the inputs hold references into the main window: they go first.
    network.reset();
    udpInputs.reset();
    station.reset();
    services.reset();
    presets.reset();
    sensors.reset();
    controlUnit.reset();
    preferences.reset();
    main.reset();
}

}  // namespace vantora
