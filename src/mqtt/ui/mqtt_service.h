#pragma once
// The MQTT bridge as the program runs it, with or without a window: started with the stored
// settings (VANTORA_MQTT_PORT overriding the port), re-applying them when the settings file is
// read again, switched off when the station closes its listeners. The Network window's section
// reaches it through MakeMqttSection (mqtt_section.h). No widgets.

#include "mqtt/ui/mqtt_bridge.h"
#include "settings/key_value_store.h"

#include <QObject>

#include <functional>
#include <string>

namespace vantora {

class MqttService : public QObject {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;

    // `station`, `events` and `store` outlive the service. Connects at once when enabled.
    MqttService(StationControl& station, StationEvents& events, KeyValueStore& store, QObject* parent = nullptr);

    MqttBridge& bridge() { return m_bridge; }

    MqttSettings stored() const { return LoadMqttSettings(m_store); }
    // OK in the Network window: stores the values and applies them at once.
    void storeAndApply(const MqttSettings& settings);
    // The settings file was read again: applies the stored values when they differ from those
    // in force.
    void reapply();
    // Says "offline" and disconnects; reapply() or storeAndApply() connect again.
    void close();

    QString statusText(const TranslateFn& translate) const { return m_bridge.statusText(translate); }
    // The prefix in force while none is stored: from the station's callsign now.
    std::string defaultPrefix() const;

private:
    void apply(const MqttSettings& stored);

    StationControl& m_station;
    KeyValueStore& m_store;
    MqttBridge m_bridge;
    MqttSettings m_applied;  // the stored values last applied
};

}  // namespace vantora
