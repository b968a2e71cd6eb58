#include "mqtt/ui/mqtt_service.h"

#include <QtGlobal>

namespace vantora {

namespace {

std::optional<std::string> EnvironmentPort()
{
    if (!qEnvironmentVariableIsSet("VANTORA_MQTT_PORT"))
        return std::nullopt;
    return qEnvironmentVariable("VANTORA_MQTT_PORT").toStdString();
}

}  // namespace

MqttService::MqttService(StationControl& station, StationEvents& events, KeyValueStore& store, QObject* parent)
    : QObject(parent), m_station(station), m_store(store), m_bridge(station, events)
{
    apply(stored());
}

void MqttService::apply(const MqttSettings& stored)
{
    m_applied = stored;
    m_bridge.apply(EffectiveMqttSettings(stored, EnvironmentPort()));
}

void MqttService::storeAndApply(const MqttSettings& settings)
{
    SaveMqttSettings(m_store, settings);
    apply(settings);
}

void MqttService::reapply()
{
    const MqttSettings now = stored();
    if (now != m_applied)
        apply(now);
}

void MqttService::close()
{
    MqttSettings off = m_applied;
    off.enabled = false;
    m_bridge.apply(off);
    m_applied = off;  // a later reapply() connects again when the stored values say so
}

std::string MqttService::defaultPrefix() const
{
    return DefaultMqttTopic(m_station.Snapshot().callsign);
}

}  // namespace vantora
