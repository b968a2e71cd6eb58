#include "mqtt/ui/mqtt_service.h"

#include "mqtt/ui/mqtt_section.h"

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
    m_bridge.apply(effectiveSettings());
}

MqttSettings MqttService::effectiveSettings() const
{
    return EffectiveMqttSettings(LoadMqttSettings(m_store), EnvironmentPort());
}

MqttSection* MqttService::makeSection(const TranslateFn& translate)
{
    MqttControl control;
    control.stored = [this] { return LoadMqttSettings(m_store); };
    control.storeAndApply = [this](const MqttSettings& settings) {
        SaveMqttSettings(m_store, settings);
        m_bridge.apply(EffectiveMqttSettings(settings, EnvironmentPort()));
    };
    control.status = [this](const MqttControl::TranslateFn& tr) { return m_bridge.statusText(tr); };
    control.defaultPrefix = [this] { return DefaultMqttTopic(m_station.Snapshot().callsign); };
    return new MqttSection(std::move(control), translate);
}

}  // namespace vantora
