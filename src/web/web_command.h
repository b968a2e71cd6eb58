#pragma once
// What one message from a browser console asks of the station.

#include "net/station_snapshot.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

enum class WebCommandKind { Target, Stop, Park, Preset, Tracking, Jog, Release };

struct WebCommand {
    WebCommandKind kind = WebCommandKind::Stop;
    std::string text;                               // Target: the text as typed
    int preset = 0;                                 // Preset: 1..8
    TrackingChoice tracking = TrackingChoice::Off;  // Tracking
    JogDirection direction = JogDirection::Cw;      // Jog
    bool operator==(const WebCommand&) const = default;
};

// {"cmd":"target","text":"E30"}, {"cmd":"stop"}, {"cmd":"park"}, {"cmd":"preset","n":1..8},
// {"cmd":"tracking","source":"off"|"moon"|"sun"}, {"cmd":"jog","dir":"cw"|"ccw"|"up"|"down"},
// {"cmd":"release"}. Members other than these are ignored; anything else is no command.
std::optional<WebCommand> ParseWebCommand(std::string_view message);

// The password of {"password":"..."} (a login's body), if that is what `body` is.
std::optional<std::string> ParseLoginBody(std::string_view body);

}  // namespace vantora
