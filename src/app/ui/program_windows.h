#pragma once
// The program's five windows, created in order: main window, Preferences, Control unit
// settings, Sensors calibration, Presets. All live for the whole run; only the main window
// is shown. Builds what serves the main window (the serial port's device names and Port menu,
// the dead link's look, Moon tracking, the servers) and routes the main window's menus and the
// link's news to the other windows.

#include "settings/key_value_store.h"
#include "settings/message_sink.h"

#include <memory>

namespace vantora {

class ControlUnitDialog;
class LinkEvents;
class LinkFaultView;
class MainWindow;
class MainWindowStation;
class NetworkDialog;
class NetworkServices;
class PreferencesDialog;
class PortMenu;
class PresetsWindow;
class SensorsDialog;
class TcpCommandServer;
class TrackingService;
class UdpInputs;

struct ProgramWindows {
    ProgramWindows(KeyValueStore& store, MessageSink& messages);
    ~ProgramWindows();

    std::unique_ptr<MainWindow> main;               // TForm1
    std::unique_ptr<PreferencesDialog> preferences; // TForm2
    std::unique_ptr<ControlUnitDialog> controlUnit; // TForm3
    std::unique_ptr<SensorsDialog> sensors;         // TForm4
    std::unique_ptr<PresetsWindow> presets;         // TForm5
    std::unique_ptr<NetworkDialog> network;         // Settings, Network

    // Children of the main window: they reach Nastav through it and go with it.
    TrackingService* tracking = nullptr;
    TcpCommandServer* tcpServer = nullptr;
    PortMenu* portMenu = nullptr;                   // the Port menu's device names and "Other port…"
    LinkFaultView* faultView = nullptr;             // the dead link's look on the dials
    std::unique_ptr<MainWindowStation> station;     // what the network inputs act on
    std::unique_ptr<NetworkServices> services;      // the rotctld server
    std::unique_ptr<UdpInputs> udpInputs;           // N1MM and PST datagrams

private:
    void buildMainWindowParts(KeyValueStore& store);
    void connectMainWindow();
    // Marks the Settings menu's Network item while a network input cannot listen, with the
    // reasons as its tooltip.
    void showListenProblems();

    std::unique_ptr<LinkEvents> m_unitDialogEvents;
};

}  // namespace vantora
