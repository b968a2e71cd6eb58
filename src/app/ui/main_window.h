#pragma once
// The main window (TForm1): map, dials, read-outs, target entry and the menus. It owns the
// program's records (settings, rotator state, requests, command buffer) and the serial layer,
// and wires the core's decisions to the widgets. ProgramWindows builds the parts and services
// around it (the Port menu's devices, the dead link's look, tracking, the servers) and routes
// what concerns the other windows.

#include "app/position_display.h"
#include "app/ui/link_event_routes.h"
#include "app/ui/main_window_widgets.h"
#include "geo/locator.h"
#include "geo/ui/map_view.h"
#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "settings/key_value_store.h"
#include "settings/message_sink.h"
#include "settings/settings.h"
#include "track/target_sink.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace vantora {

class ArrowKeyTracker;
class LinkHealthMonitor;
class TrackingService;
struct MainMenu;

class MainWindow : public QMainWindow, private LinkInputs, private LinkEvents, public TargetSink {
    Q_OBJECT
public:
    // `store` and `messages` outlive the window; `deviceName` gives the device of a port number.
    // Runs FormCreate: loads the settings, opens the stored port, paints the map, applies the
    // stored layout; starts no timer.
    MainWindow(KeyValueStore& store, MessageSink& messages, TCommPortDriver::DeviceNameResolver deviceName,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The tracking in force: OK and STOP switch it off, the target box asks whether it runs. It
    // must live as long as the window (a child of it).
    void setTracking(TrackingService& tracking) { m_tracking = &tracking; }
    // Where the link's news for the unit dialogs goes (settings report, status lines); null: nowhere.
    void setUnitDialogEvents(LinkEvents* events) { m_routes.setUnitDialogs(events); }

    // Text to show for an English text, in the language in force.
    std::string Translate(const std::string& english) const;

    // Set a target (see TargetSink); shows it in the setpoint read-out.
    void Nastav(int code, int value1, int value2) override;
    void GoPreset(int n);  // Presets window: preset n (1..8)

    void FormActivate();    // the main window became the program's active window
    void FormDeactivate();  // another window of the program became active

    void Button1Click();       // OK (and Enter in Edit1)
    void SpeedButton1Click();  // PARK
    void SpeedButton2Click();  // STOP
    // The remote hand drive (rotctld's "M"): these keys count as held until set again; STOP
    // and PARK release them.
    void setRemoteArrowKeys(ArrowKeys keys) { m_remoteKeys = keys; }
    ArrowKeys remoteArrowKeys() const { return m_remoteKeys; }
    void Timer1Timer();        // the 50 ms poll tick

    // The three layouts and the resize rule of the Basic layout.
    void setView(int view);    // the View menu's items
    void Vzhled();             // applies the layout of Settings.View
    void FormResize();
    void Velikost();           // Basic layout: follow the client size, then repaint the map
    void SetZoom(int zoomValue);  // the Map zoom menu's items
    void SetPort(int n);       // the Port menu's items

    QSize clientSize() const { return m_ui.client->size(); }
    void setClientSize(int width, int height) { SetClientSize(*this, width, height); }

    Settings& settings() { return m_settings; }
    LinkController& link() { return m_link; }
    TCommPortDriver& port() { return m_port; }
    MapView& mapView() { return *m_mapView; }
    const PositionDisplay& display() const { return m_display; }
    QTimer& timer1() { return m_timer1; }
    MainMenu& menu() { return *m_menu; }
    // Whether the link is alive; its status() is what a server reporting the position asks.
    LinkHealthMonitor& linkHealth() { return *m_health; }
    const MainWindowWidgets& widgets() const { return m_ui; }
    // Shows the reported position on every dial and read-out again, changed or not (after
    // something else, such as the stale look, drew on them).
    void showPositionAgain();
    // Called by the dialogs: the home locator or callsign changed.
    void applyNewHome();
    void restartPoll();  // Control unit settings closed: poll again unless the firmware is too old

signals:
    void presetsRequested();  // PRESETS (SpeedButton3)

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // LinkInputs
    ArrowKeys HeldArrowKeys() const override;
    ArrowKeys RemoteArrowKeys() const override { return m_remoteKeys; }
    bool TargetBoxHoldsText() const override;
    // LinkEvents
    void ShowAzimut() override;
    void ShowElevace() override;
    void ShowMessage(const std::string& text) override;
    void EnableUnitMenus() override;
    void SetpointsChanged() override;

    void FormCreate();
    void connectWidgets();
    void connectMenu();
    void showSetpoints();
    void showDials();
    void onFocusWindowChanged(QWindow* window);
    bool Edit1KeyPress(QKeyEvent* event);  // true: the key is used up

    KeyValueStore& m_store;
    MessageSink& m_messages;
    Settings m_settings;
    TCommPortDriver m_port;
    LinkEventRoutes m_routes;
    LinkController m_link;
    PositionDisplay m_display;
    std::optional<PositionDisplay> m_shownDisplay;  // what the dials and read-outs show
    std::optional<Setpoints> m_shownSetpoints;      // what the setpoint read-outs show
    GeoPosition m_home;
    QTimer m_timer1;
    bool m_active = false;
    bool m_centered = false;  // centred on the screen when first shown

    ArrowKeyTracker* m_keys = nullptr;
    ArrowKeys m_remoteKeys;
    std::unique_ptr<MainMenu> m_menu;
    MainWindowWidgets m_ui;
    std::unique_ptr<MapView> m_mapView;
    TrackingService* m_tracking = nullptr;
    LinkHealthMonitor* m_health = nullptr;
};

}  // namespace vantora
