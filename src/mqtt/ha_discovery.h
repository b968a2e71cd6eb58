#pragma once
// Home Assistant's MQTT discovery: retained config documents under "homeassistant/" that make
// the station's entities appear without hand-written configuration: a sensor per position, a
// number entity per target, buttons for STOP and PARK. Each entity is available while the
// bridge's status topic says "online".

#include "mqtt/mqtt_state.h"
#include "net/station_snapshot.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantora {

inline constexpr std::string_view kDiscoveryPrefix = "homeassistant";

// The node id of the station's entities: the topic prefix with every character other than
// A-Z, a-z, 0-9, "_" and "-" written as "_" ("vantora/ok1abc" -> "vantora_ok1abc").
std::string DiscoveryNodeId(std::string_view topicPrefix);

// The config documents: suffix is the whole topic here ("homeassistant/sensor/<node>/
// rotator1_azimuth/config"). Rotator 2's entities follow what it is (elevation or azimuth).
std::vector<MqttValue> DiscoveryConfigs(std::string_view topicPrefix, const StationSnapshot& snapshot);

// The same topics with empty payloads: removes the entities when discovery is switched off.
std::vector<MqttValue> DiscoveryRemovals(std::string_view topicPrefix);

}  // namespace vantora
