#include "station/ui/headless_station.h"

#include "link/port_name.h"
#include "link/ui/link_health_monitor.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/udp_inputs.h"
#include "settings/settings_io.h"
#include "station/link_fault_text.h"
#include "station/ui/network_services.h"
#include "station/ui/station.h"
#include "station/ui/station_services.h"
#include "track/ui/tcp_command_server.h"
#include "web/ui/web_console_server.h"
#include "web/ui/web_console_service.h"

namespace vantora {

HeadlessStation::HeadlessStation(KeyValueStore& store, const HeadlessOptions& options, std::FILE* lines,
                                 QObject* parent)
    : QObject(parent), m_store(store), m_lines(lines), m_sink(lines), m_portDevice(options.portDevice.value_or(""))
{
    // A port's device: --port for every port number of this run; else as the desktop finds it.
    const auto deviceName = [this](int n) {
        if (!m_portDevice.empty())
            return m_portDevice;
        return PortDeviceName(n, [this, n](const std::string&) { return ReadComDevice(m_store, n); });
    };
    m_station = std::make_unique<Station>(m_store, m_sink, deviceName);
    Station& station = *m_station;
    TCommPortDriver& port = station.port();
    const auto portCaption = [&station, &port] {
        return PortCaption(port.ComPort() + 1, port.DeviceName().toStdString());
    };
    connect(&port, &TCommPortDriver::portOpened, this, [this, portCaption] {
        line("port " + portCaption() + (m_portLost ? " reopened" : " opened"));
        m_portLost = false;
    });
    connect(&port, &TCommPortDriver::portLost, this, [this, portCaption] {
        m_portLost = true;
        line("port " + portCaption() + " lost");
    });
    connect(&station, &Station::commandTaken, this,
            [this] { line(TargetLine(m_station->lastCommandOrigin(), m_station->lastCommand())); });

    station.start();
    connect(&station.linkHealth(), &LinkHealthMonitor::changed, this, &HeadlessStation::reportLink);
    reportLink();
    m_services = std::make_unique<StationServices>(station, m_store);
    reportListeners();
    station.restartPoll();  // no window to be in front of: the poll never pauses
    station.pollNow();      // the version request leaves at once
}

HeadlessStation::~HeadlessStation()
{
    stop();
}

void HeadlessStation::line(const std::string& text)
{
    WriteEventLine(m_lines, text);
}

void HeadlessStation::reportLink()
{
    const bool fresh = m_station->linkFresh();
    const std::string reason = fresh ? std::string{} : m_station->staleReason();
    if (fresh == m_shownFresh && reason == m_shownReason)
        return;
    // Before the first report nothing is stale yet, unless the port says why.
    if (!fresh && !m_everFresh && reason.empty())
        return;
    line(LinkLine(fresh, reason, fresh && !m_everFresh));
    m_everFresh = m_everFresh || fresh;
    m_shownFresh = fresh;
    m_shownReason = reason;
}

void HeadlessStation::reportListeners()
{
    TcpCommandServer& tcp = m_services->tcpServer();
    if (tcp.isListening())
        line("port 1023 server: " + tcp.statusText().toStdString());
    RotctldServer& rotctld = m_services->network().rotctld();
    if (rotctld.isListening())
        line("rotctld: " + rotctld.statusText().toStdString());
    UdpInputs& udp = m_services->udpInputs();
    if (udp.settings().n1mm.enabled)
        line("N1MM input: " + udp.n1mm().socket().statusText().toStdString());
    if (udp.settings().pst.enabled)
        line("PST input: " + udp.pst().socket().statusText().toStdString());
    WebConsoleServer& web = m_services->webConsole().server();
    if (web.isListening())
        line("web console: " + web.statusText().toStdString());
}

void HeadlessStation::reload()
{
    if (m_stopped)
        return;
    line("settings: reading " + std::string("the settings file again"));
    m_station->reloadSettings();
    m_services->reapply();
    reportListeners();
}

void HeadlessStation::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_services->close();
    m_station->stopPoll();
    m_station->port().Disconnect();
    m_store.Close();
    line("stopped");
}

}  // namespace vantora
