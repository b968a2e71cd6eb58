#pragma once
// The MQTT bridge as the program runs it: started with the stored settings (VANTORA_MQTT_PORT
// overriding the port), its section of the Network window storing and applying new ones.

#include "mqtt/ui/mqtt_bridge.h"
#include "settings/key_value_store.h"

#include <QObject>

#include <functional>
#include <string>

namespace vantora {

class MqttSection;

class MqttService : public QObject {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;

    // `station`, `events` and `store` outlive the service. Connects at once when enabled.
    MqttService(StationControl& station, StationEvents& events, KeyValueStore& store, QObject* parent = nullptr);

    MqttBridge& bridge() { return m_bridge; }
    // The settings in force: the stored ones with the environment's port.
    MqttSettings effectiveSettings() const;
    // A new section of the Network window for the bridge (the caller's dialog takes it).
    MqttSection* makeSection(const TranslateFn& translate);

private:
    StationControl& m_station;
    KeyValueStore& m_store;
    MqttBridge m_bridge;
};

}  // namespace vantora
