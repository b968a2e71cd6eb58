#include "app/ui/main_window_station.h"

#include "app/motion_commands.h"
#include "app/target_entry.h"
#include "app/ui/main_window.h"
#include "geo/locator.h"
#include "net/pending_target.h"
#include "track/ui/tracking_service.h"

namespace vantora {

namespace {

constexpr std::uint8_t kElevationMode = 2;  // rotator2Mode: rotator 2 turns in elevation
constexpr int kSetSelectedAzimuth = 1;      // Nastav code

}  // namespace

void MainWindowStation::SetTarget(int code, int value1, int value2)
{
    // As a typed target: a running tracking would take the antenna back at its next read.
    if (m_tracking.isTracking()) {
        m_tracking.OFF1Click();
        ClearSetpointTexts(m_window.link().setpoints);
    }
    const TargetCall call = JoinPendingTarget({code, value1, value2}, m_window.link().gotoRequest, m_window.link().state);
    m_window.Nastav(call.code, call.value1, call.value2);
}

void MainWindowStation::Stop()
{
    m_window.SpeedButton2Click();
}

void MainWindowStation::Park()
{
    m_window.SpeedButton1Click();
}

void MainWindowStation::TrackingOff()
{
    if (m_tracking.isTracking())
        m_tracking.OFF1Click();
}

bool MainWindowStation::GoToLocator(std::string_view locator)
{
    const auto azimuth = LocatorTargetAzimuth(locator, m_window.settings().Lokator, HomePosition(m_window.settings().Lokator));
    if (!azimuth)
        return false;
    SetTarget(kSetSelectedAzimuth, *azimuth, 0);
    return true;
}

int MainWindowStation::BeamAzimuth() const
{
    return m_window.display().beamAzimuth;
}

int MainWindowStation::Elevation() const
{
    const RotatorState& state = m_window.link().state;
    return state.rotator2Mode == kElevationMode ? state.position2 : 0;
}

}  // namespace vantora
