#pragma once
// The stored values of the MQTT bridge and the port the environment may impose.

#include "settings/key_value_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::int32_t kMqttDefaultPort = 1883;  // the broker's plain-TCP port
inline constexpr std::string_view kMqttDefaultHost = "localhost";

struct MqttSettings {
    bool enabled = false;                              // MqttEnabled, 0/1
    std::string host = std::string(kMqttDefaultHost);  // MqttHost: a name or an address
    std::int32_t port = kMqttDefaultPort;              // MqttPort, 1..65535
    std::string clientId;                              // MqttClientId; empty: "vantora-" + callsign
    std::string user;                                  // MqttUser; empty: no login
    std::string password;                              // MqttPassword, stored as given: the broker needs it
    bool tls = false;                                  // MqttTls, 0/1
    std::string caFile;                                // MqttCaFile: a PEM file; empty: the system's CAs
    std::string topic;                                 // MqttTopic; empty: "vantora/" + callsign
    bool discovery = false;                            // MqttDiscovery, 0/1: Home Assistant discovery

    bool operator==(const MqttSettings&) const = default;
};

// Missing values read as their defaults, and so do unusable ones: a port outside 1..65535, an
// empty host. Any enabled, TLS or discovery value but 0 means on.
MqttSettings LoadMqttSettings(KeyValueStore& store);

// Writes every value; false when the store could not be written.
bool SaveMqttSettings(KeyValueStore& store, const MqttSettings& settings);

// The settings in force: the port from `environmentPort` (the text of VANTORA_MQTT_PORT, when
// set) if it holds a port number 1..65535.
MqttSettings EffectiveMqttSettings(MqttSettings stored, const std::optional<std::string>& environmentPort);

// "vantora-" followed by the callsign as stored.
std::string DefaultMqttClientId(std::string_view callsign);

// "vantora/" followed by the callsign in lower case, each character a topic level cannot hold
// ("/", "+", "#", blanks and control characters) written as "_"; "vantora/station" without a
// callsign.
std::string DefaultMqttTopic(std::string_view callsign);

// The stored prefix, or the default one when none is stored; trailing "/" removed.
std::string MqttTopicPrefix(const MqttSettings& settings, std::string_view callsign);
std::string MqttClientIdFor(const MqttSettings& settings, std::string_view callsign);

}  // namespace vantora
