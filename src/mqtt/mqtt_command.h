#pragma once
// What a message to "<prefix>/set/<name>" asks of the station: its payload checked and parsed,
// then run through the same calls as every other outside input, with MQTT as its origin.

#include "mqtt/mqtt_topics.h"
#include "net/station_control.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kMqttMaxPayloadBytes = 256;

// One parsed command.
struct MqttCommand {
    MqttCommandKind kind = MqttCommandKind::Unknown;
    int value = 0;     // Azimuth: 0..359, Elevation: 0..180 (whole degrees), Preset: 1..8
    std::string text;  // Target: the payload as the target box would hold it
    TrackingChoice tracking = TrackingChoice::Off;
    bool operator==(const MqttCommand&) const = default;
};

// A command, or why the payload does nothing (e.g. "not a number").
struct MqttCommandParse {
    std::optional<MqttCommand> command;
    std::string reason;
};

// Every payload: at most kMqttMaxPayloadBytes bytes of UTF-8.
//  - azimuth: a number as rotctld's "P" takes one (blanks around it ignored; point or comma;
//    exponent), -180..540 degrees, rounded to whole degrees and taken modulo 360: a target of
//    the selected azimuth rotator, as a typed whole azimuth;
//  - elevation: a number 0..180, rounded: a target of the elevation rotator;
//  - target: the text as the target box takes it (whole azimuths, E, A, B, locators, stop), not
//    empty; the box's rules decide the rest;
//  - stop, park: any payload;
//  - preset: 1..8 (blanks around it ignored);
//  - tracking: off, moon or sun, in any case (blanks around it ignored).
MqttCommandParse ParseMqttCommand(MqttCommandKind kind, std::string_view payload);

// Runs `command` on `station` as coming from MQTT. Returns why it did nothing, empty when it
// was taken: an elevation while rotator 2 turns in azimuth, a target text the box drops.
std::string RunMqttCommand(const MqttCommand& command, StationControl& station);

// One message as it arrives from the broker. Nothing for a topic outside "<prefix>/set/";
// otherwise the reason to publish to the error topic ("set/azimuth: not a number"), empty when
// the command was taken. A retained message is a command published earlier for whoever comes
// next: it is refused, so a reconnect never replays an old command on the antenna.
std::optional<std::string> HandleMqttMessage(std::string_view prefix, std::string_view topic, std::string_view payload,
                                             bool retained, StationControl& station);

}  // namespace vantora
