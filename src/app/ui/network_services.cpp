#include "app/ui/network_services.h"

#include "app/ui/main_window.h"
#include "link/ui/link_health_monitor.h"
#include "net/ui/network_dialog.h"
#include "net/ui/rotctld_section.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/tcp_server_section.h"
#include "track/ui/tcp_command_server.h"
#include "net/remote_station.h"

#include <QtGlobal>

namespace vantora {

namespace {

// What "_" answers: the program and its version, as Help, About shows them.
constexpr char kRotctldInfo[] = "Vantora 1.09";

std::optional<std::string> EnvironmentPort()
{
    if (!qEnvironmentVariableIsSet("VANTORA_ROTCTLD_PORT"))
        return std::nullopt;
    return qEnvironmentVariable("VANTORA_ROTCTLD_PORT").toStdString();
}

}  // namespace

NetworkServices::NetworkServices(MainWindow& window, RemoteStation& station, TcpCommandServer& tcpServer,
                                 KeyValueStore& store, QObject* parent)
    : QObject(parent), m_window(window), m_station(station), m_tcpServer(tcpServer), m_store(store)
{
    m_rotctld = new RotctldServer(*this, [this] { return state(); }, this);
    m_rotctld->listen(EffectiveRotctldSettings(LoadRotctldSettings(m_store), EnvironmentPort()));
}

NetworkServices::~NetworkServices() = default;

RotctldState NetworkServices::state() const
{
    const RotatorState& unit = m_window.link().state;
    RotctldState state;
    // Stale before the first report, while the unit is silent and while the port is lost.
    state.positionFresh = !m_window.linkHealth().status().PositionStale();
    state.rotator2Mode = unit.rotator2Mode;
    state.beamAzimuth = m_window.display().beamAzimuth;
    state.rotator2Position = unit.position2;
    state.info = kRotctldInfo;
    return state;
}

void NetworkServices::SetPosition(int code, int azimuth, int elevation)
{
    // The client takes over, as a typed target does: tracking goes off first.
    m_station.SetTarget(code, azimuth, elevation);
}

void NetworkServices::Stop()
{
    m_station.Stop();
}

void NetworkServices::Park()
{
    m_station.Park();
}

void NetworkServices::storeAndApply(const RotctldSettings& settings)
{
    SaveRotctldSettings(m_store, settings);
    m_rotctld->listen(EffectiveRotctldSettings(settings, EnvironmentPort()));
}

void NetworkServices::addSections(NetworkDialog& dialog, const TranslateFn& translate)
{
    RotctldControl control;
    control.stored = [this] { return LoadRotctldSettings(m_store); };
    control.storeAndApply = [this](const RotctldSettings& settings) { storeAndApply(settings); };
    control.status = [this](const StatusTranslateFn& tr) { return m_rotctld->statusText(tr); };
    control.listening = [this] { return m_rotctld->isListening(); };
    dialog.addSection(new RotctldSection(std::move(control), translate));
    auto* tcpSection =
        new TcpServerSection([this](const StatusTranslateFn& tr) { return m_tcpServer.statusText(tr); }, translate);
    tcpSection->setListener([this] { return m_tcpServer.isListening(); }, [this] { return m_tcpServer.serverPort(); });
    dialog.addSection(tcpSection);
}

}  // namespace vantora
