#include "support/e2e_harness.h"

#include "support/event_wait.h"
#include "support/simulated_unit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <X11/Xlib.h>

#include <csignal>

namespace vantora::test {

namespace {

constexpr int kClientHeight = 624;  // Basic layout: the menu bar is what the window has above it

bool waitUntil(const std::function<bool()>& done, int limitMs)
{
    return WaitFor(done, limitMs);
}

quint16 freeTcpPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a display number nobody holds and writes it to our pipe once it accepts
    // clients: no guessing at free numbers, no race with a server of a previous test that is
    // still shutting down, no polling for its socket.
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithUs(m_server);
    m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"});
    if (!m_server.waitForStarted(5000))
        return;
    QByteArray announced;
    waitUntil([&] {
        announced += m_server.readAllStandardOutput();
        return announced.contains('\n') || m_server.state() != QProcess::Running;
    }, 20000);
    bool isNumber = false;
    const int number = announced.trimmed().toInt(&isNumber);
    m_ok = isNumber && m_server.state() == QProcess::Running;
    if (m_ok)
        m_name = QStringLiteral(":%1").arg(number);
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(3000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }
}

WindowManager::WindowManager(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    EndWithUs(m_process);
    m_process.start("openbox", {"--sm-disable"});
    if (!m_process.waitForStarted(5000))
        return;
    // Ready once it has announced itself on the root window.
    m_ok = waitUntil(
        [&] {
            if (m_process.state() != QProcess::Running)
                return false;
            QProcess xprop;
            xprop.setProcessEnvironment(environment);
            xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
            return xprop.waitForFinished(5000) && xprop.readAllStandardOutput().contains("window id");
        },
        20000);
}

WindowManager::~WindowManager()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
}

EndToEnd::EndToEnd(const EndToEndOptions& options)
    : m_settingsPath(options.settingsPath.isEmpty() ? m_dir.filePath("settings.conf") : options.settingsPath),
      m_outsideDisplay(options.display),
      m_display(options.display.isEmpty() ? std::make_unique<VirtualDisplay>() : nullptr),
      m_tcpPort(options.tcpPort != 0 ? options.tcpPort : freeTcpPort())
{
    do
        m_rotctldPort = freeTcpPort();
    while (m_rotctldPort == m_tcpPort);
    m_unit.setProcessChannelMode(QProcess::MergedChannels);
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    EndWithUs(m_unit);
    EndWithUs(m_program);
}

EndToEnd::~EndToEnd()
{
    for (QProcess* process : {&m_program, &m_unit}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }
}

bool EndToEnd::ready() const
{
    return m_dir.isValid() && (m_display ? m_display->ok() : !m_outsideDisplay.isEmpty());
}

QString EndToEnd::displayName() const
{
    return m_display ? m_display->name() : m_outsideDisplay;
}

void EndToEnd::writeSettings(const QStringList& lines)
{
    WriteSettingsFile(settingsPath(), lines);
}

QString EndToEnd::readSettings() const
{
    QFile file(settingsPath());
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

bool EndToEnd::startUnit(const QStringList& extraArguments)
{
    return StartSimulatedUnit(m_unit, linkPath(), m_dir.filePath("unit-state"), extraArguments);
}

void EndToEnd::stopUnit()
{
    m_unit.terminate();
    m_unit.waitForFinished(5000);
}

bool EndToEnd::restartUnit(const QStringList& extraArguments)
{
    if (m_unit.state() != QProcess::NotRunning)
        stopUnit();
    QFile::remove(m_dir.filePath("unit-state"));
    return startUnit(extraArguments);
}

QByteArray EndToEnd::unitOutput()
{
    return m_unit.readAll();
}

std::optional<UnitTruth> EndToEnd::unitTruth() const
{
    QFile file(m_dir.filePath("unit-state"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.readAll().simplified().split(' ');
    if (fields.size() < 4)
        return std::nullopt;
    return UnitTruth{fields[0].toInt(), fields[1].toInt(), fields[2].toInt(), fields[3].toInt()};
}

static QProcessEnvironment programEnvironment(const EndToEnd& e2e, const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("VANTORA_SETTINGS", e2e.settingsPath());
    environment.insert("VANTORA_COM1", e2e.linkPath());
    environment.insert("VANTORA_TCP_PORT", QString::number(e2e.tcpPort()));
    environment.insert("VANTORA_ROTCTLD_PORT", QString::number(e2e.rotctldPort()));
    return environment;
}

bool EndToEnd::startProgram()
{
    if (!ready())
        return false;
    m_program.setProcessEnvironment(programEnvironment(*this, displayName()));
    m_program.start(qEnvironmentVariable("VANTORA_BIN"), {});
    if (!m_program.waitForStarted(5000))
        return false;
    return focusMain();
}

int EndToEnd::runSecondProgram(int waitMs)
{
    QProcess second;
    second.setProcessEnvironment(programEnvironment(*this, displayName()));
    second.start(qEnvironmentVariable("VANTORA_BIN"), {});
    if (!second.waitForFinished(waitMs)) {
        second.kill();
        second.waitForFinished();
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

bool EndToEnd::programRunning() const
{
    return m_program.state() == QProcess::Running;
}

qint64 EndToEnd::programPid() const
{
    return m_program.processId();
}

int EndToEnd::waitProgramExit(int waitMs)
{
    if (!waitUntil([&] { return m_program.state() == QProcess::NotRunning; }, waitMs))
        return -1;
    return m_program.exitStatus() == QProcess::NormalExit ? m_program.exitCode() : -1;
}

QByteArray EndToEnd::programOutput()
{
    return m_program.readAll();
}

QString EndToEnd::xdotoolOutput(const QStringList& arguments) const
{
    return toolOutput("xdotool", arguments);
}

QString EndToEnd::xpropOutput(const QString& window, const QString& property) const
{
    return toolOutput("xprop", {"-id", window, property});
}

QStringList EndToEnd::stackingOrder() const
{
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x200007, 0x400003"
    const QString text = toolOutput("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"}).section('#', 1);
    QStringList ids;
    for (const QString& hex : text.split(',', Qt::SkipEmptyParts)) {
        bool isNumber = false;
        const qulonglong id = hex.trimmed().toULongLong(&isNumber, 0);
        if (isNumber)
            ids << QString::number(id);
    }
    return ids;
}

QString EndToEnd::toolOutput(const QString& program, const QStringList& arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", displayName());
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

bool EndToEnd::xdotool(const QStringList& arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", displayName());
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    return tool.waitForFinished(10000) && tool.exitCode() == 0;
}

QString EndToEnd::windowId(const QString& title, int waitMs) const
{
    QString id;
    waitUntil([&] {
        id = xdotoolOutput({"search", "--onlyvisible", "--name", title}).section('\n', 0, 0);
        return !id.isEmpty();
    }, waitMs);
    return id;
}

QString EndToEnd::largestWindowId(const QString& title, int waitMs) const
{
    QString best;
    waitUntil([&] {
        int bestArea = 0;
        const QStringList ids = xdotoolOutput({"search", "--onlyvisible", "--name", title}).split('\n', Qt::SkipEmptyParts);
        for (const QString& id : ids) {
            const QSize size = windowSize(id);
            if (size.width() * size.height() > bestArea) {
                bestArea = size.width() * size.height();
                best = id;
            }
        }
        return !best.isEmpty();
    }, waitMs);
    return best;
}

QSize EndToEnd::windowSize(const QString& id) const
{
    // "Geometry: 999x645"
    const QString geometry = xdotoolOutput({"getwindowgeometry", id}).section("Geometry: ", 1).section('\n', 0, 0);
    bool wideOk = false;
    bool highOk = false;
    const int width = geometry.section('x', 0, 0).toInt(&wideOk);
    const int height = geometry.section('x', 1, 1).toInt(&highOk);
    return wideOk && highOk ? QSize(width, height) : QSize();
}

bool EndToEnd::closeWindow(const QString& id) const
{
    bool isNumber = false;
    const unsigned long window = id.toULong(&isNumber, 0);
    if (!isNumber)
        return false;
    Display* display = XOpenDisplay(displayName().toLocal8Bit().constData());
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

bool EndToEnd::screenshot(const QString& id, const QString& path) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", displayName());
    const QString raw = m_dir.filePath("screenshot.png");
    const auto run = [&](const QString& program, const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(program, arguments);
        return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    };
    return run("import", {"-window", id, raw}) && run("convert", {raw, "-strip", path});
}

bool EndToEnd::focusMain()
{
    // A layout change gives the window a new native window: look it up each time.
    m_mainWindow = largestWindowId("^Vanto(ra)?$");
    return !m_mainWindow.isEmpty() && xdotool({"windowfocus", "--sync", m_mainWindow});
}

void EndToEnd::type(const QString& text)
{
    // Key by key with keysym names: "xdotool type" remaps the keyboard on the fly, and the first
    // keys after a remap can be lost by the receiving program.
    QStringList keys;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            keys << QString(c);
        else if (c == '\n')
            keys << "Return";
        else if (c == ' ')
            keys << "space";
        else if (c == '-')
            keys << "minus";
    }
    key(keys.join(' '));
}

void EndToEnd::key(const QString& keys)
{
    QStringList arguments{"key", "--delay", "80"};
    arguments += keys.split(' ', Qt::SkipEmptyParts);
    xdotool(arguments);
}

void EndToEnd::clickInMain(int clientX, int clientY)
{
    // The menu bar is what the window has above the client area.
    const int height = windowSize(m_mainWindow).height();
    const int menuHeight = height > kClientHeight ? height - kClientHeight : 0;
    xdotool({"mousemove", "--window", m_mainWindow, QString::number(clientX), QString::number(clientY + menuHeight),
             "click", "1"});
}

void EndToEnd::clickInMenuBar(int x)
{
    xdotool({"mousemove", "--window", m_mainWindow, QString::number(x), "8", "click", "1"});
}

QImage EndToEnd::grabMain() const
{
    if (m_mainWindow.isEmpty())
        return {};
    QProcess grab;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display->name());
    grab.setProcessEnvironment(environment);
    grab.start("import", {"-window", m_mainWindow, "PNG24:-"});
    if (!grab.waitForFinished(10000)) {
        grab.kill();
        grab.waitForFinished();
        return {};
    }
    return QImage::fromData(grab.readAllStandardOutput(), "PNG");
}

QString EndToEnd::mainTitle() const
{
    return xdotoolOutput({"getwindowname", m_mainWindow});
}

QByteArray EndToEnd::tcp(const QByteArray& message, int waitMs) const
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_tcpPort);
    if (!socket.waitForConnected(3000))
        return {};
    socket.write(message);
    socket.waitForBytesWritten(1000);
    QByteArray reply;
    while (socket.waitForReadyRead(waitMs))
        reply += socket.readAll();
    return reply;
}

}  // namespace vantora::test
