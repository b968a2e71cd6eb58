#include "station/ui/station_services.h"

#include "mqtt/ui/mqtt_service.h"
#include "net/udp_input_settings.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/udp_inputs.h"
#include "station/ui/network_services.h"
#include "station/ui/station.h"
#include "track/tcp_server_settings.h"
#include "track/ui/tcp_command_server.h"
#include "web/ui/web_console_server.h"
#include "web/ui/web_console_service.h"

#include <cstdio>

namespace vantora {

void StationServices::TcpTargets::Nastav(int code, int value1, int value2)
{
    m_station.CommandsFrom(CommandOrigin{CommandSource::Tcp, {}});
    m_station.NastavCommand(code, value1, value2);
}

StationServices::StationServices(Station& station, KeyValueStore& store, QObject* parent)
    : QObject(parent),
      m_store(store),
      m_tcpTargets(station),
      m_n1mmStation(station, CommandOrigin{CommandSource::N1mm, {}}),
      m_pstStation(station, CommandOrigin{CommandSource::Pst, {}})
{
    m_tcpServer = new TcpCommandServer(
        m_tcpTargets, [&station] { return station.display().beamAzimuth; }, {}, this);
    m_tcpServer->configure(LoadTcpServerSettings(store));
    // Not being able to listen (port 1023 needs a privilege on Linux) is no reason to stop the
    // operator at every start: it goes to standard error and the Network window's status line.
    if (!m_tcpServer->isListening())
        std::fprintf(stderr, "vantora: port 1023 server: %s\n", qPrintable(m_tcpServer->statusText()));
    m_network = new NetworkServices(station, *m_tcpServer, store, this);
    m_udpInputs = new UdpInputs(store, m_n1mmStation, m_pstStation, this);
    // Browsers command the station itself: it is told where each command came from.
    m_webConsole = new WebConsoleService(station, station.events(), store, this);
    // The bridge's commands come from MQTT by its own CommandsFrom, before each one.
    m_mqtt = new MqttService(station, station.events(), store, this);
}

StationServices::~StationServices() = default;

void StationServices::reapply()
{
    m_network->reapply();
    m_tcpServer->configure(LoadTcpServerSettings(m_store));
    m_udpInputs->reload();
    m_webConsole->reapply();
    m_mqtt->reapply();
}

void StationServices::close()
{
    m_network->rotctld().close();
    m_tcpServer->close();
    m_udpInputs->close();
    m_webConsole->server().close();
    m_mqtt->close();
}

}  // namespace vantora
