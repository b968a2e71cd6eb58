#include "mqtt/ui/mqtt_bridge.h"

#include "mqtt/ha_discovery.h"
#include "mqtt/mqtt_command.h"
#include "mqtt/mqtt_state.h"
#include "mqtt/mqtt_topics.h"

#include <algorithm>
#include <cstdio>

namespace vantora {

namespace {

constexpr int kValueQos = 0;
constexpr int kErrorQos = 0;

}  // namespace

MqttBridge::MqttBridge(StationControl& station, StationEvents& events, QObject* parent)
    : QObject(parent), m_station(station)
{
    m_clock.start();
    m_dueTimer.setSingleShot(true);
    connect(&m_dueTimer, &QTimer::timeout, this, &MqttBridge::publishDue);
    connect(&events, &StationEvents::changed, this, &MqttBridge::stationChanged);
    connect(&m_client, &MqttClient::connected, this, &MqttBridge::connected);
    connect(&m_client, &MqttClient::messageReceived, this, &MqttBridge::messageReceived);
    connect(&m_client, &MqttClient::statusChanged, this, &MqttBridge::reportStatus);
}

void MqttBridge::apply(const MqttSettings& settings)
{
    const std::string callsign = m_station.Snapshot().callsign;
    if (m_discovery && !settings.discovery) {
        m_removeDiscovery = true;
        m_removalPrefix = m_prefix;
    }
    m_discovery = settings.discovery;
    if (!settings.enabled) {
        m_client.configure(std::nullopt);
        return;
    }
    MqttConnectionConfig config;
    config.host = settings.host;
    config.port = settings.port;
    config.clientId = MqttClientIdFor(settings, callsign);
    config.user = settings.user;
    config.password = settings.password;
    config.tls = settings.tls;
    config.caFile = settings.caFile;
    config.prefix = MqttTopicPrefix(settings, callsign);
    if (config.prefix != m_prefix)
        m_filter.Reset();
    m_prefix = config.prefix;
    m_client.configure(config);
    stationChanged();  // a discovery switched on or off shows at once on a kept connection
}

QString MqttBridge::statusText(const TranslateFn& translate) const
{
    return QString::fromStdString(MqttStatusText(m_client.status(), translate));
}

void MqttBridge::reportStatus()
{
    // Standard error hears of every change of state or reason, not of each retry: a try that
    // fails again for the same reason, after a longer wait, is no news.
    const MqttStatus status = m_client.status();
    const bool retry = status.state == MqttState::Connecting && m_reportedState == MqttState::Reconnecting;
    const std::string key = MqttStatusText({status.state, status.where, status.reason, status.detail, 0});
    if (!retry && key != m_reported) {
        m_reported = key;
        m_reportedState = status.state;
        std::fprintf(stderr, "vantora: MQTT: %s\n", MqttStatusText(status).c_str());
    }
    emit statusChanged();
}

void MqttBridge::connected()
{
    m_filter.Reset();  // a fresh connection: every retained value goes out again
    m_handledConnection = m_client.connectionCount();
    m_dueTimer.stop();
    stationChanged();
}

void MqttBridge::stationChanged()
{
    if (!readyToPublish())
        return;
    const StationSnapshot snapshot = m_station.Snapshot();
    for (const MqttValue& value : StationValues(snapshot))
        offer(MqttTopic(m_prefix, value.suffix), value.payload);
    if (m_discovery) {
        for (const MqttValue& config : DiscoveryConfigs(m_prefix, snapshot))
            offer(config.suffix, config.payload);
    } else if (m_removeDiscovery) {
        for (const MqttValue& removal : DiscoveryRemovals(m_removalPrefix))
            offer(removal.suffix, removal.payload);
    }
    scheduleDue();
}

void MqttBridge::offer(const std::string& topic, const std::string& payload)
{
    if (m_filter.Offer(topic, payload, m_clock.elapsed()))
        m_client.publish(topic, payload, kValueQos, true);
}

bool MqttBridge::readyToPublish() const
{
    // The client's thread turns connected before our connected() has run. Publishing in between
    // would send every value twice, once more after connected() clears what counts as published.
    return m_client.isConnected() && m_client.connectionCount() == m_handledConnection && !m_prefix.empty();
}

void MqttBridge::publishDue()
{
    if (!readyToPublish())
        return;  // what is held goes out with everything else at the next connected()
    for (const MqttOutgoing& due : m_filter.Due(m_clock.elapsed()))
        m_client.publish(due.topic, due.payload, kValueQos, true);
    scheduleDue();
}

void MqttBridge::scheduleDue()
{
    const auto next = m_filter.NextDueMs();
    if (!next) {
        m_dueTimer.stop();
        return;
    }
    const qint64 wait = std::max<qint64>(0, *next - m_clock.elapsed());
    if (!m_dueTimer.isActive() || m_dueTimer.remainingTime() > wait)
        m_dueTimer.start(static_cast<int>(wait));
}

void MqttBridge::messageReceived(const QByteArray& topic, const QByteArray& payload, bool retained)
{
    if (m_prefix.empty())
        return;
    const auto reason = HandleMqttMessage(m_prefix, std::string_view(topic.constData(), topic.size()),
                                          std::string_view(payload.constData(), payload.size()), retained, m_station);
    if (reason && !reason->empty())
        publishError(*reason);
}

void MqttBridge::publishError(const std::string& reason)
{
    // Ten reasons a second tell a client what is wrong; more would only echo a flood back.
    const qint64 now = m_clock.elapsed();
    while (!m_errorTimes.empty() && now - m_errorTimes.front() >= 1000)
        m_errorTimes.pop_front();
    if (static_cast<int>(m_errorTimes.size()) >= kMaxErrorsPerSecond)
        return;
    m_errorTimes.push_back(now);
    m_client.publish(MqttTopic(m_prefix, kMqttErrorTopic), reason, kErrorQos, false);
}

}  // namespace vantora
