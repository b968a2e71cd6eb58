#pragma once
// What a remote console (the web console, the MQTT bridge) may do to the station, on top of what
// every outside input may do (RemoteStation), and what it reads back. The station provides it.

#include "net/remote_station.h"
#include "net/station_snapshot.h"

#include <string_view>

namespace vantora {

class StationControl : public RemoteStation {
public:
    // Who sends the commands that follow, until the next call; shown as the last command's origin.
    virtual void CommandsFrom(const CommandOrigin& origin) = 0;
    // The target box's rules for `text` (whole azimuths, E, A, B, locators, stop), through the
    // same core function as a typed target; false when the text was dropped.
    virtual bool EnterTargetText(std::string_view text) = 0;
    // Preset n (1..8), as the Presets window's button; false for another n.
    virtual bool GoPreset(int n) = 0;
    // The Tracking menu's OFF, "Moon (built-in)" and "Sun (built-in)".
    virtual void SetTracking(TrackingChoice choice) = 0;
    // The hand drive: `held` true turns as a held arrow key does, false releases it.
    virtual void Jog(JogDirection direction, bool held) = 0;

    virtual StationSnapshot Snapshot() const = 0;
};

}  // namespace vantora
