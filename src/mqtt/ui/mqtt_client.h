#pragma once
// One connection to an MQTT broker through libmosquitto, run on a thread of its own so that
// nothing the broker does (refusing, never answering, a slow name lookup, a TLS handshake) can
// hold up the GUI thread and its 50 ms poll. The GUI thread configures it and publishes; the
// thread connects (MQTT 3.1.1, keep-alive 30 s, clean session, last will "<prefix>/status" =
// "offline" retained), says "online" (retained) and subscribes to "<prefix>/set/+" (QoS 1) once
// the broker accepts, and tries again after 1 s, 2 s, 4 s ... up to 60 s when it cannot.
// Signals reach the GUI thread queued.

#include "mqtt/mqtt_status.h"
#include "mqtt/reconnect_backoff.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace vantora {

struct MqttConnectionConfig {
    std::string host;
    int port = 1883;
    std::string clientId;
    std::string user;  // empty: no login
    std::string password;
    bool tls = false;
    std::string caFile;  // empty with tls: the system's CAs
    std::string prefix;  // topics: <prefix>/status, <prefix>/set/+
    bool operator==(const MqttConnectionConfig&) const = default;
};

class MqttClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kKeepAliveSeconds = 30;
    static constexpr int kConnackTimeoutMs = 10000;  // a broker silent this long after connecting is no broker
    static constexpr int kMaxQueuedMessages = 64;    // received, not yet taken by the GUI thread; more are dropped

    explicit MqttClient(QObject* parent = nullptr);
    // Says "offline" and disconnects when connected; waits for the thread.
    ~MqttClient() override;

    // A new configuration, or none to switch off. An unchanged one keeps a working connection (and
    // tries again at once when there is none); a changed one says "offline" on the old connection
    // and connects anew at once.
    void configure(const std::optional<MqttConnectionConfig>& config);

    // Publishes when connected; false otherwise (nothing is queued for later: on the next
    // connection connected() is emitted and the caller publishes everything again).
    bool publish(const std::string& topic, const std::string& payload, int qos, bool retain);

    MqttStatus status() const;
    bool isConnected() const { return m_connected.load(); }
    // How many connections the broker has accepted so far. It counts up before isConnected()
    // turns true, so a caller can tell a connection whose connected() it has not yet handled.
    unsigned connectionCount() const { return m_connections.load(); }

signals:
    void connected();  // the broker accepted us; "online" is out and the commands subscribed
    void statusChanged();
    void messageReceived(const QByteArray& topic, const QByteArray& payload, bool retained);

private:
    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
    static void onLog(mosquitto* mosq, void* self, int level, const char* text);

    void run();
    void setStatus(const MqttStatus& status);
    // Thread only: one try; false (with the status set) when it failed at once.
    bool startConnection(const MqttConnectionConfig& config);
    void failed(MqttReason reason, const std::string& detail);
    void closeConnection(bool sayOffline);
    void afterConnack();
    void deliver(const QByteArray& topic, const QByteArray& payload, bool retained);

    mutable std::mutex m_mutex;  // guards what the two threads share; never held across a blocking call
    std::condition_variable m_wake;
    std::optional<MqttConnectionConfig> m_config;  // what the GUI thread asked for
    bool m_configChanged = false;
    bool m_quit = false;
    MqttStatus m_status;
    mosquitto* m_mosq = nullptr;  // set and cleared by the thread under m_mutex
    std::atomic<bool> m_connected{false};
    std::atomic<unsigned> m_connections{0};
    std::atomic<int> m_queued{0};

    // The thread's own.
    std::optional<MqttConnectionConfig> m_active;
    std::chrono::steady_clock::time_point m_nextTry;
    std::chrono::steady_clock::time_point m_connectStarted;
    bool m_socketOpen = false;
    int m_connackResult = -1;  // set by onConnect
    ReconnectBackoff m_backoff;
    std::string m_lastError;  // the library's last error report, for the TLS reason
    std::thread m_thread;
};

}  // namespace vantora
