#pragma once
// What the bridge publishes of the station: one retained value per topic, numbers as C-locale
// decimal text, and one JSON document holding them all for dashboards that read one topic.

#include "net/station_snapshot.h"

#include <optional>
#include <string>
#include <vector>

namespace vantora {

// One value: its topic below the prefix ("rotator1/azimuth") and its payload. An empty payload
// clears the retained value of a topic no longer in use (rotator 2's other kind).
struct MqttValue {
    std::string suffix;
    std::string payload;
    bool operator==(const MqttValue&) const = default;
};

// The number a setpoint read-out shows ("120°" -> 120); nothing when it shows no number.
std::optional<int> SetpointDegrees(const std::string& readout);

// "fresh", or "stale: <reason>" (the dead link's text as the main window shows it).
std::string LinkText(const StationSnapshot& snapshot);

// The state document:
// {"callsign":"OK1ABC","locator":"JO70FD","selectedAzimuthRotator":1,
//  "rotator1":{"azimuth":123,"setpoint":120},"rotator2":{"elevation":10,"setpoint":0},
//  "link":"fresh","tracking":"off"}
// rotator 2 holds "azimuth" instead when it is a second azimuth rotator; a setpoint without a
// number is null.
std::string StateJson(const StationSnapshot& snapshot);

// Every value in the order published: rotator1/azimuth, rotator2/elevation or rotator2/azimuth
// (the other one cleared), rotator1/setpoint, rotator2/setpoint, link, tracking, state.
std::vector<MqttValue> StationValues(const StationSnapshot& snapshot);

}  // namespace vantora
