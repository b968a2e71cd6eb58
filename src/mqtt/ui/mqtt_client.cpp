#include "mqtt/ui/mqtt_client.h"

#include "mqtt/mqtt_topics.h"

#include <QMetaObject>

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <csignal>
#include <pthread.h>
#endif

namespace vantora {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLoopTimeoutMs = 250;  // the thread notices a new configuration at least this often
constexpr int kDrainLoops = 10;      // loop turns to get "offline" and DISCONNECT out at the end
constexpr int kDrainLoopMs = 50;
constexpr int kStatusQos = 1;  // "online"/"offline": a dashboard must not miss them
constexpr int kCommandQos = 1;
constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";

std::once_flag g_libraryInit;

std::string Where(const std::string& host, int port)
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace

MqttClient::MqttClient(QObject* parent) : QObject(parent)
{
    std::call_once(g_libraryInit, [] { mosquitto_lib_init(); });
    m_thread = std::thread([this] { run(); });
}

MqttClient::~MqttClient()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void MqttClient::configure(const std::optional<MqttConnectionConfig>& config)
{
    {
        std::lock_guard lock(m_mutex);
        // The same settings again keep a working connection; while there is none, they try
        // again at once instead of after the back-off's wait.
        if (config == m_config && !m_configChanged && (!config || m_connected.load()))
            return;
        m_config = config;
        m_configChanged = true;
        if (config) {
            m_status = {MqttState::Connecting, Where(config->host, config->port), MqttReason::None, {}, 0};
        } else {
            m_status = {};
        }
    }
    m_wake.notify_all();
    emit statusChanged();
}

bool MqttClient::publish(const std::string& topic, const std::string& payload, int qos, bool retain)
{
    std::lock_guard lock(m_mutex);
    if (!m_mosq || !m_connected.load())
        return false;
    // Threaded mode: this only queues the packet and wakes the thread's select.
    return mosquitto_publish(m_mosq, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos,
                             retain)
           == MOSQ_ERR_SUCCESS;
}

MqttStatus MqttClient::status() const
{
    std::lock_guard lock(m_mutex);
    return m_status;
}

void MqttClient::setStatus(const MqttStatus& status)
{
    {
        std::lock_guard lock(m_mutex);
        if (status == m_status)
            return;
        m_status = status;
    }
    emit statusChanged();
}

void MqttClient::onConnect(mosquitto*, void* self, int rc)
{
    static_cast<MqttClient*>(self)->m_connackResult = rc;
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    auto* client = static_cast<MqttClient*>(self);
    const QByteArray topic(message->topic ? message->topic : "");
    const QByteArray payload(static_cast<const char*>(message->payload), message->payload ? message->payloadlen : 0);
    client->deliver(topic, payload, message->retain);
}

void MqttClient::onLog(mosquitto*, void* self, int level, const char* text)
{
    if ((level & MOSQ_LOG_ERR) && text)
        static_cast<MqttClient*>(self)->m_lastError = text;
}

void MqttClient::deliver(const QByteArray& topic, const QByteArray& payload, bool retained)
{
    // A broker (or a client behind it) that floods us costs a bounded queue, never memory
    // without end: what the GUI thread has not taken yet caps what we accept.
    if (m_queued.load() >= kMaxQueuedMessages)
        return;
    ++m_queued;
    QMetaObject::invokeMethod(
        this,
        [this, topic, payload, retained] {
            --m_queued;
            emit messageReceived(topic, payload, retained);
        },
        Qt::QueuedConnection);
}

bool MqttClient::startConnection(const MqttConnectionConfig& config)
{
    m_lastError.clear();
    m_connackResult = -1;
    if (!IsUsableMqttPrefix(config.prefix)) {
        setStatus({MqttState::Unusable, Where(config.host, config.port), MqttReason::BadPrefix, {}, 0});
        return false;
    }
    mosquitto* mosq = mosquitto_new(config.clientId.empty() ? nullptr : config.clientId.c_str(), true, this);
    if (!mosq) {
        setStatus({MqttState::Unusable, Where(config.host, config.port), MqttReason::BadClientId, {}, 0});
        return false;
    }
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_threaded_set(mosq, true);
    mosquitto_connect_callback_set(mosq, &MqttClient::onConnect);
    mosquitto_message_callback_set(mosq, &MqttClient::onMessage);
    mosquitto_log_callback_set(mosq, &MqttClient::onLog);
    const std::string statusTopic = MqttTopic(config.prefix, kMqttStatusTopic);
    mosquitto_will_set(mosq, statusTopic.c_str(), static_cast<int>(std::strlen(kOffline)), kOffline, kStatusQos, true);
    if (!config.user.empty())
        mosquitto_username_pw_set(mosq, config.user.c_str(), config.password.c_str());
    if (config.tls) {
        int rc = MOSQ_ERR_SUCCESS;
        if (config.caFile.empty())
            rc = mosquitto_int_option(mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            rc = mosquitto_tls_set(mosq, config.caFile.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            mosquitto_destroy(mosq);
            failed(config.caFile.empty() ? MqttReason::Tls : MqttReason::CaFile,
                   config.caFile.empty() ? mosquitto_strerror(rc) : std::string());
            return false;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_mosq = mosq;
    }
    setStatus({MqttState::Connecting, Where(config.host, config.port), MqttReason::None, {}, 0});
    m_connectStarted = Clock::now();
    // The name lookup may take its time: this thread's, never the GUI thread's.
    errno = 0;
    const int rc = mosquitto_connect_async(mosq, config.host.c_str(), config.port, kKeepAliveSeconds);
    const int error = errno;
    if (rc != MOSQ_ERR_SUCCESS) {
        if (rc == MOSQ_ERR_ERRNO && error == ECONNREFUSED)
            failed(MqttReason::Refused, {});
        else if (rc == MOSQ_ERR_EAI)
            failed(MqttReason::HostNotFound, {});
        else if (rc == MOSQ_ERR_TLS)
            failed(MqttReason::Tls, m_lastError);
        else if (rc == MOSQ_ERR_ERRNO)
            failed(MqttReason::Other, std::strerror(error));
        else
            failed(MqttReason::Other, mosquitto_strerror(rc));
        return false;
    }
    m_socketOpen = true;
    return true;
}

void MqttClient::failed(MqttReason reason, const std::string& detail)
{
    closeConnection(false);
    if (!m_active)
        return;
    const int delay = m_backoff.NextDelaySeconds();
    m_nextTry = Clock::now() + std::chrono::seconds(delay);
    setStatus({MqttState::Reconnecting, Where(m_active->host, m_active->port), reason, detail, delay});
}

void MqttClient::closeConnection(bool sayOffline)
{
    mosquitto* mosq = nullptr;
    {
        std::lock_guard lock(m_mutex);
        mosq = m_mosq;
        m_mosq = nullptr;  // the GUI thread publishes no more from here on
        m_connected = false;
    }
    if (!mosq)
        return;
    if (sayOffline && m_socketOpen && m_connackResult == 0 && m_active) {
        // A clean goodbye sends no last will: say it ourselves, then disconnect.
        const std::string statusTopic = MqttTopic(m_active->prefix, kMqttStatusTopic);
        mosquitto_publish(mosq, nullptr, statusTopic.c_str(), static_cast<int>(std::strlen(kOffline)), kOffline,
                          kStatusQos, true);
        mosquitto_disconnect(mosq);
        for (int i = 0; i < kDrainLoops; ++i)
            if (mosquitto_loop(mosq, kDrainLoopMs, 1) != MOSQ_ERR_SUCCESS)
                break;
    }
    m_socketOpen = false;
    mosquitto_destroy(mosq);
}

void MqttClient::afterConnack()
{
    if (m_connackResult == 0) {
        m_backoff.Reset();
        const std::string statusTopic = MqttTopic(m_active->prefix, kMqttStatusTopic);
        const std::string filter = MqttCommandFilter(m_active->prefix);
        mosquitto_subscribe(m_mosq, nullptr, filter.c_str(), kCommandQos);
        mosquitto_publish(m_mosq, nullptr, statusTopic.c_str(), static_cast<int>(std::strlen(kOnline)), kOnline,
                          kStatusQos, true);
        ++m_connections;
        m_connected = true;
        setStatus({MqttState::Connected, Where(m_active->host, m_active->port), MqttReason::None, {}, 0});
        emit connected();
        return;
    }
    // CONNACK return codes of MQTT 3.1.1.
    constexpr int kBadUserNameOrPassword = 4;
    constexpr int kNotAuthorised = 5;
    // A broker that takes logins refuses a wrong password with either code (mosquitto with "not
    // authorised"): with a user name given, that is what the operator needs to hear.
    if (m_connackResult == kBadUserNameOrPassword || (m_connackResult == kNotAuthorised && !m_active->user.empty()))
        failed(MqttReason::BadLogin, {});
    else if (m_connackResult == kNotAuthorised)
        failed(MqttReason::NotAuthorised, {});
    else
        failed(MqttReason::Other, mosquitto_connack_string(m_connackResult));
}

void MqttClient::run()
{
#ifndef _WIN32
    // A TLS write to a broker that has just gone writes to a closed socket: the library's EPIPE,
    // never a SIGPIPE that would end the program. Blocked in this thread only.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
#endif
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_configChanged) {
            m_configChanged = false;
            const std::optional<MqttConnectionConfig> next = m_config;
            lock.unlock();
            closeConnection(true);
            m_active = next;
            m_backoff.Reset();
            m_nextTry = Clock::now();
            if (!m_active)
                setStatus({});
            lock.lock();
            continue;
        }
        if (!m_active || (!m_socketOpen && m_status.state == MqttState::Unusable)) {
            m_wake.wait(lock);
            continue;
        }
        if (!m_socketOpen) {
            if (Clock::now() < m_nextTry) {
                m_wake.wait_until(lock, m_nextTry);
                continue;
            }
            lock.unlock();
            startConnection(*m_active);
            lock.lock();
            continue;
        }
        lock.unlock();
        const bool wasAnswered = m_connackResult >= 0;
        errno = 0;
        const int rc = mosquitto_loop(m_mosq, kLoopTimeoutMs, 1);
        const int error = errno;
        if (!wasAnswered && m_connackResult >= 0) {
            afterConnack();
        } else if (rc != MOSQ_ERR_SUCCESS) {
            if (rc == MOSQ_ERR_ERRNO && error == ECONNREFUSED)
                failed(MqttReason::Refused, {});
            else if (rc == MOSQ_ERR_TLS)
                failed(MqttReason::Tls, m_lastError);
            else if (m_connackResult == 0)
                failed(MqttReason::ConnectionLost, {});
            else if (rc == MOSQ_ERR_ERRNO && error != 0)
                failed(MqttReason::Other, std::strerror(error));
            else
                failed(MqttReason::ConnectionLost, {});
        } else if (m_connackResult < 0
                   && Clock::now() - m_connectStarted > std::chrono::milliseconds(kConnackTimeoutMs)) {
            failed(MqttReason::NoAnswer, {});
        }
        lock.lock();
    }
    lock.unlock();
    closeConnection(true);
}

}  // namespace vantora
