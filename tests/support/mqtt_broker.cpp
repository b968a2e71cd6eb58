#include "support/mqtt_broker.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace vantora::test {

namespace {

constexpr int kStartWaitMs = 5000;

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool Run(const QString& program, const QStringList& arguments, const QByteArray& input = {}, int waitMs = 10000,
         QByteArray* output = nullptr)
{
    QProcess process;  // standard output only: the clients' complaints ("Timed out") are no data
    process.start(program, arguments);
    if (!process.waitForStarted(waitMs))
        return false;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(waitMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

MqttBroker::MqttBroker(const BrokerOptions& options) : m_options(options)
{
    m_port = FreePort();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

MqttBroker::~MqttBroker()
{
    stop();
}

QString MqttBroker::caFile() const
{
    return m_dir.filePath("ca.pem");
}

bool MqttBroker::makeCertificates()
{
    // A CA of the test's own and a certificate for localhost and 127.0.0.1 signed by it.
    const QString d = m_dir.path() + "/";
    QFile ext(d + "server.ext");
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n");
    ext.close();
    return Run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                           "/CN=Vantora test CA", "-keyout", d + "ca.key", "-out", d + "ca.pem"})
           && Run("openssl", {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout",
                              d + "server.key", "-out", d + "server.csr"})
           && Run("openssl", {"x509", "-req", "-in", d + "server.csr", "-CA", d + "ca.pem", "-CAkey", d + "ca.key",
                              "-CAcreateserial", "-days", "2", "-extfile", d + "server.ext", "-out", d + "server.pem"});
}

bool MqttBroker::start()
{
    if (!m_dir.isValid())
        return false;
    const QString configPath = m_dir.filePath("mosquitto.conf");
    if (!QFile::exists(configPath)) {
        QByteArray config;
        config += "listener " + QByteArray::number(m_port) + " 127.0.0.1\n";
        // Run as root, mosquitto would become user "mosquitto", who may not read the test's folder.
        if (const passwd* self = getpwuid(getuid()))
            config += QByteArray("user ") + self->pw_name + "\n";
        config += "persistence false\nlog_dest stdout\nlog_type error\nlog_type warning\nlog_type notice\n";
        if (!m_options.user.isEmpty()) {
            const QString passwords = m_dir.filePath("passwords");
            if (!Run("mosquitto_passwd", {"-b", "-c", passwords, m_options.user, m_options.password}))
                return false;
            config += "allow_anonymous false\npassword_file " + passwords.toUtf8() + "\n";
        } else {
            config += "allow_anonymous true\n";
        }
        if (m_options.tls) {
            if (!makeCertificates())
                return false;
            config += "cafile " + caFile().toUtf8() + "\n";
            config += "certfile " + m_dir.filePath("server.pem").toUtf8() + "\n";
            config += "keyfile " + m_dir.filePath("server.key").toUtf8() + "\n";
        }
        QFile file(configPath);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(config);
    }
    m_process.start("mosquitto", {"-c", configPath});
    if (!m_process.waitForStarted(kStartWaitMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartWaitMs && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(50);
    }
    return false;
}

void MqttBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
    m_log += m_process.readAll();
}

QByteArray MqttBroker::log()
{
    m_log += m_process.readAll();
    return m_log;
}

QStringList MqttBroker::clientArguments(bool withLogin) const
{
    QStringList arguments{"-h",      m_options.tls ? "localhost" : "127.0.0.1", "-p", QString::number(m_port), "-V",
                          "mqttv311"};
    if (withLogin && !m_options.user.isEmpty())
        arguments << "-u" << m_options.user << "-P" << m_options.password;
    if (m_options.tls)
        arguments << "--cafile" << caFile();
    return arguments;
}

bool MqttBroker::publish(const QString& topic, const QByteArray& payload, bool retain) const
{
    // -s takes the payload from standard input, any bytes; -n sends an empty one.
    QStringList arguments = clientArguments() << "-t" << topic << (payload.isEmpty() ? "-n" : "-s");
    if (retain)
        arguments << "-r";
    return Run("mosquitto_pub", arguments, payload);
}

std::map<QString, QByteArray> MqttBroker::retained(const QString& filter, int waitMs) const
{
    // Every retained message arrives right after subscribing; -W ends the wait when there are none.
    QByteArray output;
    const int seconds = std::max(1, waitMs / 1000);
    Run("mosquitto_sub",
        clientArguments() << "-t" << filter << "--retained-only"
                          << "-W" << QString::number(seconds) << "-F"
                          << "%t %x",
        {}, waitMs + 5000, &output);
    std::map<QString, QByteArray> values;
    for (const QByteArray& line : output.split('\n')) {
        const int space = line.indexOf(' ');
        if (space <= 0)
            continue;
        values[QString::fromUtf8(line.left(space))] = QByteArray::fromHex(line.mid(space + 1));
    }
    return values;
}

MqttWatcher::MqttWatcher(const MqttBroker& broker, const QString& filter)
{
    m_startMs = QDateTime::currentMSecsSinceEpoch();
    // -d adds the client's own reports to its output: the SUBACK among them says that nothing
    // published from now on can be missed.
    // stdbuf: its reports are written through stdio, which would hold them back in a pipe.
    m_process.start("stdbuf", QStringList{"-oL", "mosquitto_sub"} + broker.clientArguments() << "-d"
                                                                                             << "-t" << filter << "-F"
                                                                                             << "%r %t %x");
    m_ok = m_process.waitForStarted(5000);
    QDeadlineTimer deadline(10000);
    while (m_ok && !m_subscribed && !deadline.hasExpired()) {
        m_process.waitForReadyRead(100);
        readLines();
    }
    m_ok = m_ok && m_subscribed;
}

MqttWatcher::~MqttWatcher()
{
    m_process.kill();
    m_process.waitForFinished(1000);
}

void MqttWatcher::readLines()
{
    m_buffer += m_process.readAllStandardOutput();
    int end = -1;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (line.contains("received SUBACK"))
            m_subscribed = true;
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 2 || (parts[0] != "0" && parts[0] != "1"))
            continue;  // the client's own reports
        SeenMessage message;
        message.retained = parts[0] == "1";
        message.topic = QString::fromUtf8(parts[1]);
        message.payload = parts.size() > 2 ? QByteArray::fromHex(parts[2]) : QByteArray();
        message.atMs = QDateTime::currentMSecsSinceEpoch() - m_startMs;
        m_messages.append(message);
    }
}

std::optional<SeenMessage> MqttWatcher::waitFor(const std::function<bool(const SeenMessage&)>& match, int waitMs)
{
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        readLines();
        for (const SeenMessage& message : m_messages)
            if (match(message))
                return message;
        if (deadline.hasExpired())
            return std::nullopt;
        m_process.waitForReadyRead(50);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

std::optional<SeenMessage> MqttWatcher::waitFor(const QString& topic, const QByteArray& payload, int waitMs)
{
    return waitFor([&](const SeenMessage& m) { return m.topic == topic && m.payload == payload; }, waitMs);
}

std::optional<QByteArray> MqttWatcher::last(const QString& topic)
{
    readLines();
    for (auto it = m_messages.crbegin(); it != m_messages.crend(); ++it)
        if (it->topic == topic)
            return it->payload;
    return std::nullopt;
}

QList<SeenMessage> MqttWatcher::messages()
{
    readLines();
    return m_messages;
}

void MqttWatcher::clear()
{
    readLines();
    m_messages.clear();
}

}  // namespace vantora::test
