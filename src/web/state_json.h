#pragma once
// The messages the web console sends over its WebSocket: the station's state, the heartbeat,
// and the reply to each command.

#include "net/station_snapshot.h"
#include "web/web_settings.h"

#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::string_view kHeartbeatMessage = "{\"type\":\"heartbeat\"}";

// {"type":"state",...}: the snapshot as the page shows it, with the role of the session it goes
// to and the number of consoles connected.
std::string EncodeState(const StationSnapshot& snapshot, WebRole role, int consoles);

// The status byte's colour as the desktop shows it: "#c0dcc0" idle, "#ff0000" turning,
// "#c0c0c0" unknown (any other byte).
std::string_view StatusColour(int status);
std::string_view StatusName(int status);

std::string_view RoleName(WebRole role);
std::string_view SourceName(CommandSource source);

std::string EncodeOkReply();
std::string EncodeErrorReply(std::string_view error);

}  // namespace vantora
