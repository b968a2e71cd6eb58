#include "station/ui/station.h"

#include "geo/locator.h"
#include "link/port_selection.h"
#include "link/ui/link_health_monitor.h"
#include "link/ui/link_receiver.h"
#include "net/pending_target.h"
#include "settings/settings_io.h"
#include "settings/translate.h"
#include "station/link_fault_text.h"
#include "station/motion_commands.h"
#include "station/presets_text.h"
#include "station/station_command_text.h"
#include "track/ui/tracking_service.h"

namespace vantora {

namespace {

constexpr std::uint8_t kElevationMode = 2;  // rotator2Mode: rotator 2 turns in elevation
constexpr int kSetSelectedAzimuth = 1;      // Nastav code

}  // namespace

Station::Station(KeyValueStore& store, MessageSink& messages, TCommPortDriver::DeviceNameResolver deviceName,
                 QObject* parent)
    : QObject(parent), m_store(store), m_messages(messages), m_link(*this, m_port, *this)
{
    m_port.SetDeviceNameResolver(std::move(deviceName));
    m_timer1.setObjectName("Timer1");
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kPollIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &Station::Timer1Timer);
    m_changedFlush.setSingleShot(true);
    m_changedFlush.setInterval(kPollIntervalMs);
    connect(&m_changedFlush, &QTimer::timeout, this, &Station::flushChanged);
    ConnectLinkReceiver(m_port, m_link);
    connect(&m_port, &TCommPortDriver::portOpened, this, [this] {
        if (m_timer1.isActive())
            restartPoll();  // a new receive poll: in step with the tick again
    });
    m_settings = LoadSettings(m_store, m_messages);
    m_tracking = new TrackingService(m_settings, *this, this);
    connect(m_tracking, &TrackingService::readoutChanged, this, &Station::markChanged);
    connect(m_tracking, &TrackingService::menuStateChanged, this, &Station::markChanged);
}

Station::~Station()
{
    m_view = nullptr;
    m_inputs = nullptr;
    m_unitDialogs = nullptr;
}

void Station::start()
{
    ApplyStartupRules(m_settings);
    m_health = new LinkHealthMonitor(m_port, m_link, this);
    connect(m_health, &LinkHealthMonitor::changed, this, &Station::markChanged);
    SetPort(m_settings.Port);
}

void Station::setView(LinkEvents* view, LinkInputs* inputs)
{
    m_view = view;
    m_inputs = inputs;
}

std::string Station::Translate(const std::string& english) const
{
    return vantora::Translate(m_settings.Language, english);
}

// ---- the poll ------------------------------------------------------------------------------

void Station::restartPoll()
{
    if (m_link.state.firmwareTooOld)
        return;
    m_port.RestartReceivePoll();  // one wake-up for both: the last answer is read, then a frame leaves
    m_timer1.start();
}

void Station::stopPoll()
{
    m_timer1.stop();
}

void Station::Timer1Timer()
{
    m_link.Timer1Timer();
    if (m_view)
        m_view->SetpointsChanged();
    flushChanged();
}

void Station::markChanged()
{
    m_changed = true;
    if (!m_timer1.isActive() && !m_changedFlush.isActive())
        m_changedFlush.start();
}

void Station::flushChanged()
{
    if (!m_changed)
        return;
    m_changed = false;
    m_changedFlush.stop();
    emit m_events.changed();
}

void Station::SetPort(int n)
{
    const PortSelectionHooks hooks{[this](int port) { emit portChosen(port); },
                                   [this](const std::string& text) { m_messages.ShowMessage(text); }};
    vantora::SetPort(n, m_settings.Port, m_port, hooks);
    markChanged();
}

void Station::reloadSettings()
{
    const int storedPort = m_settings.Port;
    const std::string device = m_port.DeviceName().toStdString();
    Settings fresh = LoadSettings(m_store, m_messages);
    ApplyStartupRules(fresh);
    m_settings = fresh;
    const bool inMenu = fresh.Port >= 1 && fresh.Port <= kPortMenuItems;
    const std::string freshDevice = inMenu ? m_port.DeviceNameOf(fresh.Port) : device;
    if (fresh.Port != storedPort || freshDevice != device)
        SetPort(fresh.Port);
    markChanged();
}

// ---- link inputs and events ----------------------------------------------------------------

ArrowKeys Station::HeldArrowKeys() const
{
    ArrowKeys keys = m_inputs ? m_inputs->HeldArrowKeys() : ArrowKeys{};
    keys.right = keys.right || m_jog.right;
    keys.left = keys.left || m_jog.left;
    keys.up = keys.up || m_jog.up;
    keys.down = keys.down || m_jog.down;
    return keys;
}

bool Station::TargetBoxHoldsText() const
{
    return m_inputs && m_inputs->TargetBoxHoldsText();
}

void Station::ShowAzimut()
{
    vantora::ShowAzimut(m_link.state, m_display);
    if (m_view)
        m_view->ShowAzimut();
    markChanged();
}

void Station::ShowElevace()
{
    m_elevationSteps = vantora::ShowElevace(m_link.state, m_display);
    if (m_view)
        m_view->ShowElevace();
    markChanged();
}

void Station::ShowMessage(const std::string& text)
{
    m_messages.ShowMessage(text);
}

void Station::EnableUnitMenus()
{
    if (m_view)
        m_view->EnableUnitMenus();
}

void Station::SetpointsChanged()
{
    if (m_view)
        m_view->SetpointsChanged();
    markChanged();
}

void Station::SettingsReportArrived()
{
    if (m_unitDialogs)
        m_unitDialogs->SettingsReportArrived();
}

void Station::UnitDialogStatus(const std::string& englishText)
{
    if (m_unitDialogs)
        m_unitDialogs->UnitDialogStatus(englishText);
}

void Station::SensorDialogStatus(const std::string& englishText)
{
    if (m_unitDialogs)
        m_unitDialogs->SensorDialogStatus(englishText);
}

// ---- targets ---------------------------------------------------------------------------------

void Station::Nastav(int code, int value1, int value2)
{
    vantora::Nastav(code, value1, value2, nastavTarget());
    SetpointsChanged();
}

void Station::NastavCommand(int code, int value1, int value2)
{
    Nastav(code, value1, value2);
    command(TargetCommandText(code, value1, value2));
}

void Station::command(std::string text)
{
    m_lastOrigin = m_origin;
    m_lastCommand = std::move(text);
    markChanged();
    emit commandTaken();
}

void Station::CommandsFrom(const CommandOrigin& origin)
{
    m_origin = origin;
}

EntryResult Station::enterTarget(std::string_view text)
{
    const EntryContext context{
        nastavTarget(),          m_link.commandBuffer, m_port, m_settings.Lokator, HomePosition(m_settings.Lokator),
        m_tracking->isTracking()};
    const EntryResult result = EnterTarget(text, context);
    if (result.switchTrackingOff)
        m_tracking->OFF1Click();
    if (!result.locator.empty())
        emit targetLocatorChanged(QString::fromStdString(result.locator));
    SetpointsChanged();
    if (const auto shown = EntryCommandText(text, result))
        command(*shown);
    return result;
}

bool Station::EnterTargetText(std::string_view text)
{
    const EntryResult result = enterTarget(text);
    return result.stopSent || result.nastav.has_value();
}

void Station::SetTarget(int code, int value1, int value2)
{
    // As a typed target: a running tracking would take the antenna back at its next read.
    if (m_tracking->isTracking()) {
        m_tracking->OFF1Click();
        ClearSetpointTexts(m_link.setpoints);
    }
    const TargetCall call = JoinPendingTarget({code, value1, value2}, m_link.gotoRequest, m_link.state);
    Nastav(call.code, call.value1, call.value2);
    command(TargetCommandText(code, value1, value2));
}

void Station::Stop()
{
    const StopResult result = vantora::Stop(m_tracking->isTracking(), m_link.setpoints, m_link.commandBuffer, m_port);
    if (result.switchTrackingOff)
        m_tracking->OFF1Click();
    SetpointsChanged();
    command("STOP");
}

void Station::Park()
{
    vantora::Park(m_settings, nastavTarget());
    SetpointsChanged();
    command("PARK");
}

void Station::TrackingOff()
{
    if (m_tracking->isTracking())
        m_tracking->OFF1Click();
}

bool Station::GoToLocator(std::string_view locator)
{
    const auto azimuth = LocatorTargetAzimuth(locator, m_settings.Lokator, HomePosition(m_settings.Lokator));
    if (!azimuth)
        return false;
    SetTarget(kSetSelectedAzimuth, *azimuth, 0);
    command(UpperCaseText(locator));
    return true;
}

bool Station::GoPreset(int n)
{
    const bool set = vantora::GoPreset(m_settings, n, nastavTarget());
    SetpointsChanged();
    if (set)
        command("Preset " + std::to_string(n));
    return set;
}

void Station::SetTracking(TrackingChoice choice)
{
    switch (choice) {
    case TrackingChoice::Off: m_tracking->OFF1Click(); break;
    case TrackingChoice::Moon: m_tracking->MoonBuiltInClick(); break;
    case TrackingChoice::Sun: m_tracking->SunBuiltInClick(); break;
    }
    command(TrackingCommandText(choice));
}

void Station::Jog(JogDirection direction, bool held)
{
    switch (direction) {
    case JogDirection::Cw: m_jog.right = held; break;
    case JogDirection::Ccw: m_jog.left = held; break;
    case JogDirection::Up: m_jog.up = held; break;
    case JogDirection::Down: m_jog.down = held; break;
    }
    if (held)
        command(JogCommandText(direction));
}

int Station::BeamAzimuth() const
{
    return m_display.beamAzimuth;
}

int Station::Elevation() const
{
    return m_link.state.rotator2Mode == kElevationMode ? m_link.state.position2 : 0;
}

// ---- what the consoles show ------------------------------------------------------------------

bool Station::linkFresh() const
{
    return m_health && !m_health->status().PositionStale();
}

std::string Station::staleReason() const
{
    if (!m_health)
        return {};
    return LinkFaultText(m_health->fault(), m_port.ComPort() + 1, m_port.DeviceName().toStdString(),
                         m_settings.Language);
}

StationSnapshot Station::Snapshot() const
{
    StationSnapshot snapshot;
    snapshot.callsign = m_settings.Znacka;
    snapshot.homeLocator = m_settings.Lokator;
    snapshot.language = m_settings.Language;
    const RotatorState& state = m_link.state;
    snapshot.rotator2IsElevation = state.rotator2Mode != 1;  // elevation until the unit says otherwise
    snapshot.selectedAzimuthRotator = state.activeRotator == 1 ? 2 : 1;
    snapshot.linkFresh = linkFresh();
    snapshot.staleReason = snapshot.linkFresh ? std::string{} : staleReason();
    snapshot.rotator1 = {state.position1, snapshot.linkFresh ? state.status1 : std::uint8_t{255},
                         m_link.setpoints.rotator1.value};
    snapshot.rotator2 = {state.position2, snapshot.linkFresh ? state.status2 : std::uint8_t{255},
                         m_link.setpoints.rotator2.value};
    const std::string_view source = TrackingSourceText(m_tracking->source());
    snapshot.trackingSource = source.empty() ? "off" : std::string(source);
    snapshot.trackingReadout = m_tracking->readout().toStdString();
    for (std::size_t i = 0; i < snapshot.presets.size(); ++i) {
        snapshot.presets[i] = {m_settings.PresetName[i + 1], m_settings.PresetAzimuth[i + 1],
                               m_settings.PresetElevation[i + 1]};
    }
    snapshot.lastCommandOrigin = m_lastOrigin;
    snapshot.lastCommand = m_lastCommand;
    return snapshot;
}

}  // namespace vantora
