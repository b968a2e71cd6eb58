#pragma once
// The desktop program: the station and its listeners, then the five windows, created in order:
// main window, Preferences, Control unit settings, Sensors calibration, Presets. All live for
// the whole run; only the main window is shown. Builds what serves the main window (the serial
// port's device names and Port menu, the dead link's look, the Tracking menu) and routes the
// main window's menus and the link's news to the other windows.

#include "settings/key_value_store.h"
#include "settings/message_sink.h"

#include <memory>

namespace vantora {

class ControlUnitDialog;
class LinkEvents;
class LinkFaultView;
class MainWindow;
class NetworkDialog;
class NetworkServices;
class PreferencesDialog;
class PortMenu;
class PresetsWindow;
class SensorsDialog;
class Station;
class StationServices;
class TcpCommandServer;
class TrackingService;
class UdpInputs;

struct ProgramWindows {
    ProgramWindows(KeyValueStore& store, MessageSink& messages);
    ~ProgramWindows();

    std::unique_ptr<Station> station;                  // what every window and input acts on
    std::unique_ptr<StationServices> stationServices;  // port 1023, rotctld, N1MM and PST
    std::unique_ptr<MainWindow> main;               // TForm1
    std::unique_ptr<PreferencesDialog> preferences; // TForm2
    std::unique_ptr<ControlUnitDialog> controlUnit; // TForm3
    std::unique_ptr<SensorsDialog> sensors;         // TForm4
    std::unique_ptr<PresetsWindow> presets;         // TForm5
    std::unique_ptr<NetworkDialog> network;         // Settings, Network

    TrackingService* tracking = nullptr;    // the station's
    TcpCommandServer* tcpServer = nullptr;  // the station services'
    NetworkServices* services = nullptr;    // the rotctld server
    UdpInputs* udpInputs = nullptr;         // N1MM and PST datagrams
    // Children of the main window.
    PortMenu* portMenu = nullptr;                   // the Port menu's device names and "Other port…"
    LinkFaultView* faultView = nullptr;             // the dead link's look on the dials

private:
    void buildMainWindowParts(KeyValueStore& store);
    void connectMainWindow();

    std::unique_ptr<LinkEvents> m_unitDialogEvents;
};

}  // namespace vantora
