#pragma once
// The station on an MQTT broker: publishes its values (retained, QoS 0, only on change and at
// most 10 a second per topic) and Home Assistant's discovery documents when asked to, and runs
// the commands that arrive under "<prefix>/set/" as MQTT's, publishing the reason of each one it
// refuses to "<prefix>/error". The connection itself is MqttClient's.

#include "mqtt/mqtt_settings.h"
#include "mqtt/publish_filter.h"
#include "mqtt/ui/mqtt_client.h"
#include "net/station_control.h"
#include "net/ui/station_events.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

namespace vantora {

class MqttBridge : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxErrorsPerSecond = 10;  // more reasons in one second are dropped

    using TranslateFn = std::function<std::string(const std::string&)>;

    // Both outlive the bridge. Nothing is connected before apply().
    MqttBridge(StationControl& station, StationEvents& events, QObject* parent = nullptr);

    // The settings in force (VANTORA_MQTT_PORT already applied): connects, reconnects with the
    // new values, or disconnects when switched off. The default client ID and prefix are taken
    // from the station's callsign now.
    void apply(const MqttSettings& settings);

    MqttStatus status() const { return m_client.status(); }
    // The status line, its fixed words through `translate`.
    QString statusText(const TranslateFn& translate = {}) const;
    const std::string& prefix() const { return m_prefix; }

signals:
    void statusChanged();

private:
    void stationChanged();
    void connected();
    void messageReceived(const QByteArray& topic, const QByteArray& payload, bool retained);
    bool readyToPublish() const;
    void offer(const std::string& topic, const std::string& payload);
    void publishDue();
    void scheduleDue();
    void publishError(const std::string& reason);
    void reportStatus();

    StationControl& m_station;
    MqttClient m_client;
    PublishFilter m_filter;
    QTimer m_dueTimer;
    QElapsedTimer m_clock;
    std::string m_prefix;
    bool m_discovery = false;
    bool m_removeDiscovery = false;  // switched off while running: clear what we published
    std::string m_removalPrefix;
    std::deque<qint64> m_errorTimes;  // when the last reasons went out, ms of m_clock
    std::string m_reported;           // the last status written to standard error
    MqttState m_reportedState = MqttState::Off;
    unsigned m_handledConnection = 0;  // the client's connection whose connected() we have handled
};

}  // namespace vantora
