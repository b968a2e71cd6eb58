#pragma once
// One message from a browser console, from the bytes to what the station does and the reply.

#include "net/station_control.h"
#include "web/command_rate.h"
#include "web/jog_hold.h"
#include "web/web_settings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vantora {

// What the server keeps of one connected console.
struct ConsoleState {
    WebRole role = WebRole::Viewer;
    std::string address;  // the peer's address, shown beside the last command
    CommandRate rate;
    JogHold jog;
};

// The reply to `message` ({"type":"reply","ok":true} or {"type":"reply","error":"..."}), in
// this order: beyond 20 messages a second "too many commands"; not a command "bad command"; a
// viewer "not allowed"; a target the target box drops "not a target". Only an accepted
// operator command reaches `station`, after CommandsFrom(Web, address).
std::string RunConsoleMessage(std::string_view message, ConsoleState& console, StationControl& station,
                              std::int64_t nowMs);

// Lets go of a held jog (the console closed, or 500 ms passed without a repeat: pass the time).
void ReleaseConsoleJog(ConsoleState& console, StationControl& station);
void TickConsoleJog(ConsoleState& console, StationControl& station, std::int64_t nowMs);

}  // namespace vantora
