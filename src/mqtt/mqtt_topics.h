#pragma once
// The bridge's topics under its prefix: what it publishes, and which command a topic under
// "<prefix>/set/" names.

#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kMqttMaxPrefixBytes = 200;  // leaves room for the longest suffix

// The commands a client may publish to "<prefix>/set/<name>".
enum class MqttCommandKind { Azimuth, Elevation, Target, Stop, Park, Preset, Tracking, Unknown };

// Published: the last will and "online" (retained), the values, and the reasons of refused
// commands (not retained).
inline constexpr std::string_view kMqttStatusTopic = "status";
inline constexpr std::string_view kMqttErrorTopic = "error";
inline constexpr std::string_view kMqttSetTopic = "set";

// A prefix the bridge can publish under: 1..kMqttMaxPrefixBytes bytes of UTF-8 without
// the wildcards "+" and "#", without NUL, and not starting with "$" (the broker's own topics).
bool IsUsableMqttPrefix(std::string_view prefix);

// "<prefix>/<suffix>".
std::string MqttTopic(std::string_view prefix, std::string_view suffix);

// The filter the bridge subscribes to: "<prefix>/set/+".
std::string MqttCommandFilter(std::string_view prefix);

// Which command `topic` names: Unknown for "<prefix>/set/<anything else>", nothing for a topic
// outside "<prefix>/set/" or one with more levels.
std::optional<MqttCommandKind> ParseMqttCommandTopic(std::string_view prefix, std::string_view topic);

// "set/azimuth" and so on, for the reasons published to the error topic.
std::string_view MqttCommandName(MqttCommandKind kind);

}  // namespace vantora
