#pragma once
// The PARK and STOP buttons of the main window.

#include "link/commands.h"
#include "link/setpoints.h"
#include "settings/settings.h"
#include "station/nastav.h"

namespace vantora {

// PARK: the parking position (preset index 0) through Nastav with code 3. Tracking stays as it is.
bool Park(const Settings& settings, NastavTarget target);

struct StopResult {
    bool switchTrackingOff = false;  // tracking was on: the caller switches it off as "OFF" does
    int bytesSent = 0;               // what Odeslat wrote; 0 when the port is closed
};

// STOP: both setpoint read-outs show "0°" (their colours and acknowledgement counts are left
// alone) and the stop command leaves at once, whether or not the poll timer runs. A go-to that
// is still pending stays pending.
StopResult Stop(bool trackingOn, Setpoints& setpoints, CommandBuffer& buffer, FrameSink& sink);

// Both setpoint read-outs back to "0°", as when tracking is switched off by OK or STOP.
void ClearSetpointTexts(Setpoints& setpoints);

}  // namespace vantora
