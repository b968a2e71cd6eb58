#pragma once
// The main window (TForm1): map, dials, read-outs, target entry and the menus. It owns the
// program's records (settings, rotator state, requests, command buffer) and the serial layer,
// and wires the core's decisions to the widgets.

#include "app/position_display.h"
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
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace vantora {

class ArrowKeyTracker;
class ControlUnitDialog;
class PreferencesDialog;
class PresetsWindow;
class SensorsDialog;
class TA3nalogGauge;
class TcpCommandServer;
class TrackingService;
struct MainMenu;

class MainWindow : public QMainWindow, private LinkInputs, private LinkEvents, public TargetSink {
    Q_OBJECT
public:
    // `store` and `messages` outlive the window. Runs FormCreate: loads the settings, opens the
    // stored port, paints the map, applies the stored layout; starts no timer.
    MainWindow(KeyValueStore& store, MessageSink& messages, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The other four windows, created after this one; they live as long as it does.
    void setWindows(PreferencesDialog* preferences, ControlUnitDialog* controlUnit, SensorsDialog* sensors,
                    PresetsWindow* presets);

    // Text to show for an English text, in the language in force.
    std::string Translate(const std::string& english) const;

    // Set a target (see TargetSink); shows it in the setpoint read-out.
    void Nastav(int code, int value1, int value2) override;
    void GoPreset(int n);  // Presets window: preset n (1..8)

    void FormActivate();    // the main window became the program's active window
    void FormDeactivate();  // another window of the program became active
    void restoreAndRaise(); // a second start asked for us

    void Button1Click();       // OK (and Enter in Edit1)
    void SpeedButton1Click();  // PARK
    void SpeedButton2Click();  // STOP
    void SpeedButton3Click();  // PRESETS
    void Timer1Timer();        // the 50 ms poll tick

    // The three layouts and the resize rule of the Basic layout.
    void setView(int view);    // the View menu's items
    void Vzhled();             // applies the layout of Settings.View
    void FormResize();
    void Velikost();           // Basic layout: follow the client size, then repaint the map
    void setBasicMinimumSize();  // the Basic layout's minimum window size
    void SetZoom(int zoomValue);  // the Map zoom menu's items
    void SetPort(int n);       // the Port menu's items

    QSize clientSize() const;
    void setClientSize(int width, int height);

    Settings& settings() { return m_settings; }
    LinkController& link() { return m_link; }
    TCommPortDriver& port() { return m_port; }
    TrackingService& tracking() { return *m_tracking; }
    TcpCommandServer& tcpServer() { return *m_tcp; }
    MapView& mapView() { return *m_mapView; }
    const PositionDisplay& display() const { return m_display; }
    const GeoPosition& homePosition() const { return m_home; }
    QTimer& timer1() { return m_timer1; }
    MainMenu& menu() { return *m_menu; }
    // The records the settings dialogs edit and the route their frames take.
    CommandBuffer& commandBuffer() { return m_link.commandBuffer; }
    FrameSink& frameSink() { return m_port; }
    // Called by the dialogs: the home locator or callsign changed.
    void applyNewHome();
    void restartPoll();  // Control unit settings closed: poll again unless the firmware is too old

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
    void SettingsReportArrived() override;
    void ShowMessage(const std::string& text) override;
    void EnableUnitMenus() override;
    void UnitDialogStatus(const std::string& englishText) override;
    void SensorDialogStatus(const std::string& englishText) override;
    void SetpointsChanged() override;

    void FormCreate();
    void buildWidgets();
    void connectMenu();
    void showSetpoints();
    void showDials();
    void onFocusWindowChanged(QWindow* window);
    void Edit1KeyPress(QKeyEvent* event, bool& swallowed);

    KeyValueStore& m_store;
    MessageSink& m_messages;
    Settings m_settings;
    TCommPortDriver m_port;
    LinkController m_link;
    PositionDisplay m_display;
    GeoPosition m_home;
    QTimer m_timer1;
    bool m_active = false;
    bool m_centered = false;  // centred on the screen when first shown

    ArrowKeyTracker* m_keys = nullptr;
    std::unique_ptr<MainMenu> m_menu;
    QWidget* m_client = nullptr;
    TA3nalogGauge* m_map = nullptr;     // AnalogGauge3
    TA3nalogGauge* m_gauge1 = nullptr;  // AnalogGauge1
    TA3nalogGauge* m_gauge2 = nullptr;  // AnalogGauge2
    std::unique_ptr<MapView> m_mapView;
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QWidget* m_panel3 = nullptr;
    QLabel* m_label3 = nullptr;   // "Setpoint:" rotator 1
    QLabel* m_label4 = nullptr;   // "Setpoint:" rotator 2
    QLabel* m_label5 = nullptr;   // tracking read-out
    QLabel* m_label6 = nullptr;   // rotator 1 position
    QLabel* m_label7 = nullptr;   // rotator 1 setpoint
    QLabel* m_label8 = nullptr;   // rotator 2 position
    QLabel* m_label9 = nullptr;   // rotator 2 setpoint
    QLineEdit* m_edit1 = nullptr;
    QPushButton* m_button1 = nullptr;

    TrackingService* m_tracking = nullptr;
    TcpCommandServer* m_tcp = nullptr;

    PreferencesDialog* m_preferences = nullptr;
    ControlUnitDialog* m_controlUnit = nullptr;
    SensorsDialog* m_sensors = nullptr;
    PresetsWindow* m_presets = nullptr;
};

}  // namespace vantora
