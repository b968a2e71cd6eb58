#include "mqtt/mqtt_settings.h"

#include "net/rotctld_settings.h"

namespace vantora {

namespace {

constexpr std::string_view kEnabledKey = "MqttEnabled";
constexpr std::string_view kHostKey = "MqttHost";
constexpr std::string_view kPortKey = "MqttPort";
constexpr std::string_view kClientIdKey = "MqttClientId";
constexpr std::string_view kUserKey = "MqttUser";
constexpr std::string_view kPasswordKey = "MqttPassword";
constexpr std::string_view kTlsKey = "MqttTls";
constexpr std::string_view kCaFileKey = "MqttCaFile";
constexpr std::string_view kTopicKey = "MqttTopic";
constexpr std::string_view kDiscoveryKey = "MqttDiscovery";

bool FitsTopicLevel(unsigned char c)
{
    return c > ' ' && c != '/' && c != '+' && c != '#' && c != 0x7f;
}

}  // namespace

MqttSettings LoadMqttSettings(KeyValueStore& store)
{
    MqttSettings settings;
    store.Open();
    if (const auto enabled = store.ReadInt(kEnabledKey))
        settings.enabled = *enabled != 0;
    if (const auto host = store.ReadString(kHostKey); host && !host->empty())
        settings.host = *host;
    if (const auto port = store.ReadInt(kPortKey); port && *port >= 1 && *port <= 65535)
        settings.port = *port;
    settings.clientId = store.ReadString(kClientIdKey).value_or(std::string());
    settings.user = store.ReadString(kUserKey).value_or(std::string());
    settings.password = store.ReadString(kPasswordKey).value_or(std::string());
    if (const auto tls = store.ReadInt(kTlsKey))
        settings.tls = *tls != 0;
    settings.caFile = store.ReadString(kCaFileKey).value_or(std::string());
    settings.topic = store.ReadString(kTopicKey).value_or(std::string());
    if (const auto discovery = store.ReadInt(kDiscoveryKey))
        settings.discovery = *discovery != 0;
    store.Close();
    return settings;
}

bool SaveMqttSettings(KeyValueStore& store, const MqttSettings& settings)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteInt(kEnabledKey, settings.enabled ? 1 : 0);
    store.WriteString(kHostKey, settings.host);
    store.WriteInt(kPortKey, settings.port);
    store.WriteString(kClientIdKey, settings.clientId);
    store.WriteString(kUserKey, settings.user);
    store.WriteString(kPasswordKey, settings.password);
    store.WriteInt(kTlsKey, settings.tls ? 1 : 0);
    store.WriteString(kCaFileKey, settings.caFile);
    store.WriteString(kTopicKey, settings.topic);
    store.WriteInt(kDiscoveryKey, settings.discovery ? 1 : 0);
    return store.Close();
}

MqttSettings EffectiveMqttSettings(MqttSettings stored, const std::optional<std::string>& environmentPort)
{
    if (environmentPort)
        if (const auto port = ParsePortText(*environmentPort); port && *port != 0)
            stored.port = *port;
    return stored;
}

std::string DefaultMqttClientId(std::string_view callsign)
{
    return "vantora-" + std::string(callsign);
}

std::string DefaultMqttTopic(std::string_view callsign)
{
    std::string level;
    for (const char c : callsign) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z')
            level += static_cast<char>(byte - 'A' + 'a');
        else
            level += FitsTopicLevel(byte) ? c : '_';
    }
    return "vantora/" + (level.empty() ? std::string("station") : level);
}

std::string MqttTopicPrefix(const MqttSettings& settings, std::string_view callsign)
{
    std::string prefix = settings.topic.empty() ? DefaultMqttTopic(callsign) : settings.topic;
    while (prefix.size() > 1 && prefix.back() == '/')
        prefix.pop_back();
    return prefix;
}

std::string MqttClientIdFor(const MqttSettings& settings, std::string_view callsign)
{
    return settings.clientId.empty() ? DefaultMqttClientId(callsign) : settings.clientId;
}

}  // namespace vantora
