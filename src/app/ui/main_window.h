#pragma once
// The main window (TForm1): map, dials, read-outs, target entry and the menus. A view and a
// controller of the Station, which owns the program's records (settings, rotator state,
// requests, command buffer), the serial layer and the poll: the window shows the station's state
// and hands its keys, buttons and menus to it. ProgramWindows builds the parts around it (the
// Port menu's devices, the dead link's look, the Tracking menu) and routes what concerns the
// other windows.

#include "app/ui/link_event_routes.h"
#include "app/ui/main_window_widgets.h"
#include "geo/locator.h"
#include "geo/ui/map_view.h"
#include "link/link_controller.h"
#include "settings/key_value_store.h"
#include "settings/message_sink.h"
#include "settings/settings.h"
#include "station/position_display.h"
#include "station/ui/station.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace vantora {

class ArrowKeyTracker;
class LinkHealthMonitor;
struct MainMenu;

class MainWindow : public QMainWindow, private LinkInputs, private LinkEvents {
    Q_OBJECT
public:
    // `station`, `store` and `messages` outlive the window; the station has loaded its settings.
    // Runs FormCreate: starts the station (opens the stored port), paints the map, applies the
    // stored layout; starts no timer.
    MainWindow(Station& station, KeyValueStore& store, MessageSink& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Where the link's news for the unit dialogs goes (settings report, status lines); null: nowhere.
    void setUnitDialogEvents(LinkEvents* events) { m_station.setUnitDialogEvents(events); }

    // Text to show for an English text, in the language in force.
    std::string Translate(const std::string& english) const;

    // Set a target (see TargetSink) on the station; shows it in the setpoint read-out.
    void Nastav(int code, int value1, int value2) { m_station.Nastav(code, value1, value2); }
    void GoPreset(int n);  // Presets window: preset n (1..8)

    void FormActivate();    // the main window became the program's active window
    void FormDeactivate();  // another window of the program became active

    void Button1Click();       // OK (and Enter in Edit1)
    void SpeedButton1Click();  // PARK
    void SpeedButton2Click();  // STOP

    // The three layouts and the resize rule of the Basic layout.
    void setView(int view);    // the View menu's items
    void Vzhled();             // applies the layout of Settings.View
    void FormResize();
    void Velikost();           // Basic layout: follow the client size, then repaint the map
    void SetZoom(int zoomValue);  // the Map zoom menu's items
    void SetPort(int n);       // the Port menu's items

    QSize clientSize() const { return m_ui.client->size(); }
    void setClientSize(int width, int height) { SetClientSize(*this, width, height); }

    Station& station() { return m_station; }
    Settings& settings() { return m_station.settings(); }
    LinkController& link() { return m_station.link(); }
    TCommPortDriver& port() { return m_station.port(); }
    MapView& mapView() { return *m_mapView; }
    const PositionDisplay& display() const { return m_station.display(); }
    QTimer& timer1() { return m_station.timer1(); }
    MainMenu& menu() { return *m_menu; }
    // Whether the link is alive; its status() is what a server reporting the position asks.
    LinkHealthMonitor& linkHealth() { return m_station.linkHealth(); }
    const MainWindowWidgets& widgets() const { return m_ui; }
    // Shows the reported position on every dial and read-out again, changed or not (after
    // something else, such as the stale look, drew on them).
    void showPositionAgain();
    // Called by the dialogs: the home locator or callsign changed.
    void applyNewHome();
    void restartPoll() { m_station.restartPoll(); }  // Control unit settings closed: poll again

signals:
    void presetsRequested();  // PRESETS (SpeedButton3)

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // LinkInputs
    ArrowKeys HeldArrowKeys() const override;
    bool TargetBoxHoldsText() const override;
    // LinkEvents
    void ShowAzimut() override;
    void ShowElevace() override;
    void EnableUnitMenus() override;
    void SetpointsChanged() override;

    void FormCreate();
    void connectWidgets();
    void connectMenu();
    void showSetpoints();
    void showDials();
    void onFocusWindowChanged(QWindow* window);
    bool Edit1KeyPress(QKeyEvent* event);  // true: the key is used up
    Station& fromDesktop();                // the station, with the desktop as the commands' origin

    Station& m_station;
    KeyValueStore& m_store;
    MessageSink& m_messages;
    std::optional<PositionDisplay> m_shownDisplay;  // what the dials and read-outs show
    std::optional<Setpoints> m_shownSetpoints;      // what the setpoint read-outs show
    GeoPosition m_home;
    bool m_active = false;
    bool m_centered = false;  // centred on the screen when first shown

    ArrowKeyTracker* m_keys = nullptr;
    std::unique_ptr<MainMenu> m_menu;
    MainWindowWidgets m_ui;
    std::unique_ptr<MapView> m_mapView;
};

}  // namespace vantora
