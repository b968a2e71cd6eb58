#pragma once
// The station: everything the program knows and does about the control unit, with or without a
// window. It owns the settings in force, the rotator state and the pending requests (through the
// link controller), the serial port and the link's health, the 50 ms poll, tracking, and takes
// the targets of every source: the desktop, port 1023, rotctld, the UDP inputs and the remote
// consoles. A window is a view of it (LinkEvents, LinkInputs) and a controller (the calls below).
// Needs no display: QtCore, QtNetwork and QtSerialPort only.

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"
#include "net/station_control.h"
#include "net/ui/station_events.h"
#include "settings/key_value_store.h"
#include "settings/message_sink.h"
#include "settings/settings.h"
#include "station/position_display.h"
#include "station/target_entry.h"
#include "track/target_sink.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <string>
#include <string_view>
#include <vector>

namespace vantora {

class LinkHealthMonitor;
class TrackingService;

class Station : public QObject, public StationControl, public TargetSink, private LinkInputs, private LinkEvents {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 50;

    // Loads the settings from `store` (the settings-version message goes to `messages`); opens
    // nothing and starts no timer. `store` and `messages` outlive the station; `deviceName` gives
    // the device of a port number.
    Station(KeyValueStore& store, MessageSink& messages, TCommPortDriver::DeviceNameResolver deviceName,
            QObject* parent = nullptr);
    ~Station() override;

    // Applies the start-up rules to the settings and opens the stored port ("Unable to open
    // port !" to the message sink when it cannot).
    void start();

    // The view: what the link shows goes to `view`, the held arrow keys and the target box come
    // from `inputs`; null for none (no window).
    void setView(LinkEvents* view, LinkInputs* inputs);
    // Where the link's news for the unit dialogs goes (settings report, status lines); null: nowhere.
    void setUnitDialogEvents(LinkEvents* events) { m_unitDialogs = events; }

    // The poll: started afresh (in step with the receive poll) unless the firmware is too old,
    // or stopped. The desktop stops it while another window of the program is in front.
    void restartPoll();
    void stopPoll();

    // The Port menu's items: closes the port, selects COM n (1..10) and opens it again.
    void SetPort(int n);

    // The settings store was changed from outside: reads it again. The port is opened again when
    // its number or its device changed; nothing else restarts (tracking, the poll run on).
    void reloadSettings();

    // The target box's OK on `text`, with what it did (the map shows a locator's target).
    EntryResult enterTarget(std::string_view text);

    // TargetSink: a target that is not a command of its own (tracking's, the port 1023 server's
    // after CommandsFrom), shown in the setpoint read-out.
    void Nastav(int code, int value1, int value2) override;
    // A target from outside that leaves tracking alone (the port 1023 server's): Nastav, shown
    // as the last command.
    void NastavCommand(int code, int value1, int value2);

    // RemoteStation
    void SetTarget(int code, int value1, int value2) override;
    void Stop() override;
    void Park() override;
    void TrackingOff() override;
    bool GoToLocator(std::string_view locator) override;
    int BeamAzimuth() const override;
    int Elevation() const override;

    // StationControl
    void CommandsFrom(const CommandOrigin& origin) override;
    bool EnterTargetText(std::string_view text) override;
    bool GoPreset(int n) override;
    void SetTracking(TrackingChoice choice) override;
    void Jog(JogDirection direction, bool held) override;
    StationSnapshot Snapshot() const override;

    // Whether the position can be trusted now (a report came lately over an open port).
    bool linkFresh() const;
    // Why it cannot, translated; empty while fresh.
    std::string staleReason() const;

    std::string Translate(const std::string& english) const;

    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    LinkController& link() { return m_link; }
    const LinkController& link() const { return m_link; }
    TCommPortDriver& port() { return m_port; }
    const PositionDisplay& display() const { return m_display; }
    // The dial steps of the last ShowElevace, for the view's rotator 2 dial.
    const std::vector<DialStep>& elevationDialSteps() const { return m_elevationSteps; }
    QTimer& timer1() { return m_timer1; }
    LinkHealthMonitor& linkHealth() { return *m_health; }
    TrackingService& tracking() { return *m_tracking; }
    StationEvents& events() { return m_events; }
    KeyValueStore& store() { return m_store; }
    MessageSink& messages() { return m_messages; }

    // The last command and where it came from (empty before the first).
    const std::string& lastCommand() const { return m_lastCommand; }
    const CommandOrigin& lastCommandOrigin() const { return m_lastOrigin; }

signals:
    // A command was taken (lastCommand() and lastCommandOrigin() tell which).
    void commandTaken();
    // The Port menu's radio item "COM n" (1..10) is the port in force now.
    void portChosen(int portNumber);
    // A typed locator became the target (upper case): the map marks it.
    void targetLocatorChanged(const QString& locator);

private:
    // LinkInputs
    ArrowKeys HeldArrowKeys() const override;
    bool TargetBoxHoldsText() const override;
    // LinkEvents
    void ShowAzimut() override;
    void ShowElevace() override;
    void ShowMessage(const std::string& text) override;
    void EnableUnitMenus() override;
    void SetpointsChanged() override;
    void SettingsReportArrived() override;
    void UnitDialogStatus(const std::string& englishText) override;
    void SensorDialogStatus(const std::string& englishText) override;

    void Timer1Timer();
    void command(std::string text);  // the last command's text, from the origin in force
    void markChanged();
    void flushChanged();
    NastavTarget nastavTarget() { return NastavTarget{m_link.state, m_link.gotoRequest, m_link.setpoints}; }

    KeyValueStore& m_store;
    MessageSink& m_messages;
    Settings m_settings;
    TCommPortDriver m_port;
    LinkController m_link;
    PositionDisplay m_display;
    std::vector<DialStep> m_elevationSteps;
    QTimer m_timer1;
    QTimer m_changedFlush;  // news while the poll is stopped
    LinkHealthMonitor* m_health = nullptr;
    TrackingService* m_tracking = nullptr;
    StationEvents m_events;
    bool m_changed = false;

    LinkEvents* m_view = nullptr;
    LinkInputs* m_inputs = nullptr;
    LinkEvents* m_unitDialogs = nullptr;
    ArrowKeys m_jog;  // the remote hand drive

    CommandOrigin m_origin;
    CommandOrigin m_lastOrigin;
    std::string m_lastCommand;
};

}  // namespace vantora
