#pragma once
// A real MQTT broker for the tests: mosquitto on a free loopback port with a configuration the
// test writes (optionally a password file and TLS with a certificate made here by openssl), and
// the broker's own clients, mosquitto_sub and mosquitto_pub, to watch and to send.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <optional>

namespace vantora::test {

struct BrokerOptions {
    QString user;  // with a password: anonymous clients are refused
    QString password;
    bool tls = false;  // the listener speaks TLS with a self-signed CA's certificate for localhost
};

class MqttBroker {
public:
    explicit MqttBroker(const BrokerOptions& options = {});
    ~MqttBroker();

    // Starts mosquitto and waits until it accepts connections; the same port every time.
    bool start();
    void stop();
    bool running() const { return m_process.state() == QProcess::Running; }
    quint16 port() const { return m_port; }
    QString caFile() const;  // the CA certificate (PEM) when tls
    QString dir() const { return m_dir.path(); }
    QByteArray log();  // what the broker wrote so far

    // The broker's clients' common arguments: host, port, login and TLS.
    QStringList clientArguments(bool withLogin = true) const;

    // mosquitto_pub with the payload from standard input (any bytes); true when it exited 0.
    bool publish(const QString& topic, const QByteArray& payload, bool retain = false) const;
    // The retained values under `filter` now, topic -> payload (mosquitto_sub --retained-only).
    std::map<QString, QByteArray> retained(const QString& filter, int waitMs = 2000) const;

private:
    bool makeCertificates();

    BrokerOptions m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_log;
};

// One message as a watcher saw it.
struct SeenMessage {
    QString topic;
    QByteArray payload;
    bool retained = false;
    qint64 atMs = 0;  // when read, ms of the watcher's clock
};

// mosquitto_sub on a filter, collecting what arrives; ok() once the broker confirmed the
// subscription.
class MqttWatcher {
public:
    MqttWatcher(const MqttBroker& broker, const QString& filter);
    ~MqttWatcher();
    bool ok() const { return m_ok; }

    // Processes events until `match` holds for a message seen (earlier ones count), or `waitMs`
    // passes; the first matching message.
    std::optional<SeenMessage> waitFor(const std::function<bool(const SeenMessage&)>& match, int waitMs = 5000);
    std::optional<SeenMessage> waitFor(const QString& topic, const QByteArray& payload, int waitMs = 5000);
    // The last payload seen on `topic`, after taking what arrived so far.
    std::optional<QByteArray> last(const QString& topic);
    QList<SeenMessage> messages();
    void clear();

private:
    void readLines();

    QProcess m_process;
    QByteArray m_buffer;
    QList<SeenMessage> m_messages;
    qint64 m_startMs = 0;
    bool m_subscribed = false;
    bool m_ok = false;
};

}  // namespace vantora::test
