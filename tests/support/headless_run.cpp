#include "support/headless_run.h"

#include "support/event_wait.h"
#include "support/simulated_unit.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

#include <csignal>

namespace vantora::test {

namespace {

QProcessEnvironment HeadlessEnvironment(quint16 tcpPort)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("VANTORA_SETTINGS");
    environment.insert("VANTORA_TCP_PORT", QString::number(tcpPort));
    return environment;
}

}  // namespace

quint16 HeadlessRun::freeTcpPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

HeadlessRun::HeadlessRun() : m_tcpPort(freeTcpPort())
{
    EndWithUs(m_unit);
    EndWithUs(m_program);
    m_program.setProcessChannelMode(QProcess::SeparateChannels);
}

HeadlessRun::~HeadlessRun()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(5000);
    }
    stopUnit();
}

void HeadlessRun::writeSettings(const QStringList& lines)
{
    WriteSettingsFile(settingsPath(), lines);
}

bool HeadlessRun::startUnit(const QStringList& extraArguments)
{
    return StartSimulatedUnit(m_unit, linkPath(), m_dir.filePath("unit-state"), extraArguments);
}

void HeadlessRun::stopUnit()
{
    if (m_unit.state() == QProcess::NotRunning)
        return;
    m_unit.terminate();
    m_unit.waitForFinished(5000);
}

std::optional<int> HeadlessRun::unitPosition(int rotator) const
{
    QFile file(m_dir.filePath("unit-state"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    return fields[rotator == 1 ? 0 : 1].toInt();
}

bool HeadlessRun::startProgram(const QStringList& extraArguments)
{
    m_program.setProcessEnvironment(HeadlessEnvironment(m_tcpPort));
    m_program.start(qEnvironmentVariable("VANTORA_BIN"),
                    QStringList{"--headless", "--settings", settingsPath(), "--port", linkPath()} + extraArguments);
    return m_program.waitForStarted(5000);
}

int HeadlessRun::runSecondProgram(int waitMs, QByteArray* errors)
{
    // Its own settings: no rotctld server to collide with the first one's.
    QFile settings(m_dir.filePath("second.conf"));
    if (settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
        settings.write("[General]\nRegVersion=1.09\nPort=1\nRotctldEnabled=0\n");
    settings.close();
    QProcess second;
    EndWithUs(second);
    second.setProcessEnvironment(HeadlessEnvironment(freeTcpPort()));
    second.start(qEnvironmentVariable("VANTORA_BIN"),
                 QStringList{"--headless", "--settings", m_dir.filePath("second.conf"), "--port", linkPath()});
    const bool ended = second.waitForFinished(waitMs);
    if (!ended) {
        second.kill();
        second.waitForFinished();
    }
    if (errors)
        *errors = second.readAllStandardError();
    if (!ended)
        return -1;
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

qint64 HeadlessRun::programPid() const
{
    return m_program.processId();
}

bool HeadlessRun::programRunning() const
{
    return m_program.state() == QProcess::Running;
}

int HeadlessRun::waitProgramExit(int waitMs)
{
    if (!WaitFor([&] { return m_program.state() == QProcess::NotRunning; }, waitMs))
        return -1;
    return m_program.exitStatus() == QProcess::NormalExit ? m_program.exitCode() : -1;
}

void HeadlessRun::signalProgram(int signal) const
{
    if (const qint64 pid = m_program.processId(); pid > 0)
        ::kill(static_cast<pid_t>(pid), signal);
}

QByteArray HeadlessRun::errors()
{
    m_errors += m_program.readAllStandardError();
    return m_errors;
}

bool HeadlessRun::waitForLine(const QString& text, int limitMs, qsizetype from)
{
    const QByteArray wanted = text.toUtf8();
    return WaitFor([&] { return errors().indexOf(wanted, from) >= 0; }, limitMs);
}

QByteArray HeadlessRun::ask(quint16 port, const QByteArray& request, int waitMs)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(waitMs))
        return {};
    socket.write(request);
    socket.flush();
    QByteArray reply;
    // A reply ends with a newline (rotctld) or '@' (port 1023).
    WaitFor(
        [&] {
            socket.waitForReadyRead(20);
            reply += socket.readAll();
            return reply.endsWith('\n') || reply.endsWith('@');
        },
        waitMs);
    return reply;
}

}  // namespace vantora::test
