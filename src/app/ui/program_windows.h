#pragma once
// The program's five windows, created in order: main window, Preferences, Control unit
// settings, Sensors calibration, Presets. All live for the whole run; only the main window
// is shown.

#include "settings/key_value_store.h"
#include "settings/message_sink.h"

#include <memory>

namespace vantora {

class ControlUnitDialog;
class MainWindow;
class MainWindowStation;
class NetworkDialog;
class NetworkServices;
class PreferencesDialog;
class PresetsWindow;
class SensorsDialog;
class UdpInputs;

struct ProgramWindows {
    ProgramWindows(KeyValueStore& store, MessageSink& messages);
    ~ProgramWindows();

    std::unique_ptr<MainWindow> main;               // TForm1
    std::unique_ptr<PreferencesDialog> preferences; // TForm2
    std::unique_ptr<ControlUnitDialog> controlUnit; // TForm3
    std::unique_ptr<SensorsDialog> sensors;         // TForm4
    std::unique_ptr<PresetsWindow> presets;         // TForm5
    std::unique_ptr<NetworkServices> services;      // the rotctld server
    std::unique_ptr<NetworkDialog> network;         // Settings, Network
    std::unique_ptr<MainWindowStation> station;     // what the UDP inputs act on
    std::unique_ptr<UdpInputs> udpInputs;           // N1MM and PST datagrams
};

}  // namespace vantora
