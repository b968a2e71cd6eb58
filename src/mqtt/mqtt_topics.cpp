#include "mqtt/mqtt_topics.h"

#include "mqtt/utf8_text.h"

#include <array>
#include <utility>

namespace vantora {

namespace {

constexpr std::array<std::pair<std::string_view, MqttCommandKind>, 7> kCommands{{
    {"azimuth", MqttCommandKind::Azimuth},
    {"elevation", MqttCommandKind::Elevation},
    {"target", MqttCommandKind::Target},
    {"stop", MqttCommandKind::Stop},
    {"park", MqttCommandKind::Park},
    {"preset", MqttCommandKind::Preset},
    {"tracking", MqttCommandKind::Tracking},
}};

}  // namespace

bool IsUsableMqttPrefix(std::string_view prefix)
{
    if (prefix.empty() || prefix.size() > kMqttMaxPrefixBytes || prefix.front() == '$')
        return false;
    if (prefix.find_first_of(std::string_view("+#\0", 3)) != std::string_view::npos)
        return false;
    return IsUtf8(prefix);
}

std::string MqttTopic(std::string_view prefix, std::string_view suffix)
{
    std::string topic(prefix);
    topic += '/';
    topic += suffix;
    return topic;
}

std::string MqttCommandFilter(std::string_view prefix)
{
    return MqttTopic(prefix, "set/+");
}

std::optional<MqttCommandKind> ParseMqttCommandTopic(std::string_view prefix, std::string_view topic)
{
    const std::string head = MqttTopic(prefix, "set/");
    if (topic.size() <= head.size() || topic.substr(0, head.size()) != head)
        return std::nullopt;
    const std::string_view name = topic.substr(head.size());
    if (name.find('/') != std::string_view::npos)
        return std::nullopt;
    for (const auto& [word, kind] : kCommands)
        if (name == word)
            return kind;
    return MqttCommandKind::Unknown;
}

std::string_view MqttCommandName(MqttCommandKind kind)
{
    switch (kind) {
    case MqttCommandKind::Azimuth: return "set/azimuth";
    case MqttCommandKind::Elevation: return "set/elevation";
    case MqttCommandKind::Target: return "set/target";
    case MqttCommandKind::Stop: return "set/stop";
    case MqttCommandKind::Park: return "set/park";
    case MqttCommandKind::Preset: return "set/preset";
    case MqttCommandKind::Tracking: return "set/tracking";
    case MqttCommandKind::Unknown: break;
    }
    return "set";
}

}  // namespace vantora
