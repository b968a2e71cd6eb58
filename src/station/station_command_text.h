#pragma once
// The last command as the remote consoles show it beside its origin: "120", "E30", "A120",
// "120/30", "STOP", "PARK", "Preset 3", "JN79AA", "Tracking Moon", "Jog CW".

#include "net/station_snapshot.h"
#include "station/target_entry.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

// A target of Nastav `code` (TargetCode values) as the target box would take it: code 1 the
// azimuth alone, 2 "E" and the elevation, 3 "azimuth/elevation", 4 "A" and 5 "B" and the azimuth.
std::string TargetCommandText(int code, int value1, int value2);

// What the target box's OK did with `text`: the typed text (trimmed, upper case) when it set a
// target or sent STOP; nothing when the text was dropped.
std::optional<std::string> EntryCommandText(std::string_view text, const EntryResult& result);

std::string TrackingCommandText(TrackingChoice choice);
std::string JogCommandText(JogDirection direction);

// ASCII letters in upper case, everything else as it is.
std::string UpperCaseText(std::string_view text);

}  // namespace vantora
