#include "mqtt/ha_discovery.h"

#include "mqtt/json_text.h"
#include "mqtt/mqtt_topics.h"

namespace vantora {

namespace {

struct Entity {
    std::string_view component;  // sensor, number, button
    std::string_view objectId;
};

constexpr Entity kRotator1Position{"sensor", "rotator1_azimuth"};
constexpr Entity kRotator2Position{"sensor", "rotator2_position"};
constexpr Entity kRotator1Target{"number", "rotator1_target"};
constexpr Entity kRotator2Target{"number", "rotator2_target"};
constexpr Entity kStopButton{"button", "stop"};
constexpr Entity kParkButton{"button", "park"};
constexpr Entity kEntities[] = {kRotator1Position, kRotator2Position, kRotator1Target,
                                kRotator2Target,   kStopButton,       kParkButton};

std::string ConfigTopic(const Entity& entity, const std::string& node)
{
    std::string topic(kDiscoveryPrefix);
    topic += '/';
    topic += entity.component;
    topic += '/' + node + '/';
    topic += entity.objectId;
    topic += "/config";
    return topic;
}

// A JSON member: "name":<value>, value already JSON.
std::string Member(std::string_view name, const std::string& json)
{
    return JsonString(name) + ":" + json;
}

class ConfigBuilder {
public:
    ConfigBuilder(std::string_view prefix, const StationSnapshot& snapshot)
        : m_prefix(prefix), m_node(DiscoveryNodeId(prefix))
    {
        const std::string name = snapshot.callsign.empty() ? "Vantora" : "Vantora " + snapshot.callsign;
        m_device = "{" + Member("identifiers", "[" + JsonString(m_node) + "]") + "," + Member("name", JsonString(name))
                   + "," + Member("model", JsonString("Vantora")) + "}";
    }

    MqttValue Config(const Entity& entity, std::string_view name, const std::string& members) const
    {
        std::string json = "{" + Member("name", JsonString(name));
        json += "," + Member("unique_id", JsonString(m_node + "_" + std::string(entity.objectId)));
        json += "," + Member("availability_topic", JsonString(Topic(kMqttStatusTopic)));
        json += "," + Member("payload_available", JsonString("online"));
        json += "," + Member("payload_not_available", JsonString("offline"));
        json += "," + members;
        json += "," + Member("device", m_device) + "}";
        return {ConfigTopic(entity, m_node), json};
    }

    std::string Topic(std::string_view suffix) const { return MqttTopic(m_prefix, suffix); }
    const std::string& node() const { return m_node; }

private:
    std::string_view m_prefix;
    std::string m_node;
    std::string m_device;
};

std::string Degrees()
{
    return Member("unit_of_measurement", JsonString("\xc2\xb0"));
}

std::string PositionMembers(const ConfigBuilder& builder, std::string_view stateSuffix)
{
    return Member("state_topic", JsonString(builder.Topic(stateSuffix))) + "," + Degrees() + ","
           + Member("state_class", JsonString("measurement"));
}

// A target number: sent to `commandSuffix`, through `commandTemplate` when not empty.
std::string TargetMembers(const ConfigBuilder& builder, std::string_view stateSuffix, std::string_view commandSuffix,
                          std::string_view commandTemplate, int max)
{
    std::string json = Member("state_topic", JsonString(builder.Topic(stateSuffix)));
    json += "," + Member("command_topic", JsonString(builder.Topic(commandSuffix)));
    if (!commandTemplate.empty())
        json += "," + Member("command_template", JsonString(commandTemplate));
    json += "," + Member("min", "0") + "," + Member("max", std::to_string(max)) + "," + Member("step", "1");
    json += "," + Member("mode", JsonString("box")) + "," + Degrees();
    return json;
}

std::string ButtonMembers(const ConfigBuilder& builder, std::string_view commandSuffix, std::string_view press)
{
    return Member("command_topic", JsonString(builder.Topic(commandSuffix))) + ","
           + Member("payload_press", JsonString(press));
}

}  // namespace

std::string DiscoveryNodeId(std::string_view topicPrefix)
{
    std::string node;
    for (const char c : topicPrefix) {
        const bool kept =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        node += kept ? c : '_';
    }
    return node;
}

std::vector<MqttValue> DiscoveryConfigs(std::string_view topicPrefix, const StationSnapshot& snapshot)
{
    const ConfigBuilder builder(topicPrefix, snapshot);
    const bool elevation = snapshot.rotator2IsElevation;
    std::vector<MqttValue> configs;
    configs.push_back(
        builder.Config(kRotator1Position, "Rotator 1 azimuth", PositionMembers(builder, "rotator1/azimuth")));
    configs.push_back(builder.Config(kRotator2Position, elevation ? "Rotator 2 elevation" : "Rotator 2 azimuth",
                                     PositionMembers(builder, elevation ? "rotator2/elevation" : "rotator2/azimuth")));
    // "A" and "B" address one azimuth rotator whichever is selected (the target box's rules).
    configs.push_back(
        builder.Config(kRotator1Target, "Rotator 1 target",
                       TargetMembers(builder, "rotator1/setpoint", "set/target", "A{{ value | int }}", 360)));
    if (elevation)
        configs.push_back(builder.Config(kRotator2Target, "Rotator 2 elevation target",
                                         TargetMembers(builder, "rotator2/setpoint", "set/elevation", {}, 180)));
    else
        configs.push_back(
            builder.Config(kRotator2Target, "Rotator 2 target",
                           TargetMembers(builder, "rotator2/setpoint", "set/target", "B{{ value | int }}", 360)));
    configs.push_back(builder.Config(kStopButton, "STOP", ButtonMembers(builder, "set/stop", "STOP")));
    configs.push_back(builder.Config(kParkButton, "PARK", ButtonMembers(builder, "set/park", "PARK")));
    return configs;
}

std::vector<MqttValue> DiscoveryRemovals(std::string_view topicPrefix)
{
    const std::string node = DiscoveryNodeId(topicPrefix);
    std::vector<MqttValue> removals;
    for (const Entity& entity : kEntities)
        removals.push_back({ConfigTopic(entity, node), {}});
    return removals;
}

}  // namespace vantora
