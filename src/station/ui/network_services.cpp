#include "station/ui/network_services.h"

#include "link/ui/link_health_monitor.h"
#include "net/ui/rotctld_server.h"
#include "station/ui/station.h"

#include <QtGlobal>

namespace vantora {

namespace {

// What "_" answers: the program and its version, as Help, About shows them.
constexpr char kRotctldInfo[] = "Vantora 1.09";
const CommandOrigin kRotctldOrigin{CommandSource::Rotctld, {}};

std::optional<std::string> EnvironmentPort()
{
    if (!qEnvironmentVariableIsSet("VANTORA_ROTCTLD_PORT"))
        return std::nullopt;
    return qEnvironmentVariable("VANTORA_ROTCTLD_PORT").toStdString();
}

}  // namespace

NetworkServices::NetworkServices(Station& station, TcpCommandServer& tcpServer, KeyValueStore& store, QObject* parent)
    : QObject(parent), m_station(station), m_tcpServer(tcpServer), m_store(store)
{
    m_rotctld = new RotctldServer(
        *this, [this] { return state(); }, this);
    m_applied = EffectiveRotctldSettings(LoadRotctldSettings(m_store), EnvironmentPort());
    m_rotctld->listen(m_applied);
}

NetworkServices::~NetworkServices() = default;

RotctldState NetworkServices::state() const
{
    const RotatorState& unit = m_station.link().state;
    RotctldState state;
    // Stale before the first report, while the unit is silent and while the port is lost.
    state.positionFresh = !m_station.linkHealth().status().PositionStale();
    state.rotator2Mode = unit.rotator2Mode;
    state.beamAzimuth = m_station.display().beamAzimuth;
    state.rotator2Position = unit.position2;
    state.info = kRotctldInfo;
    return state;
}

void NetworkServices::SetPosition(int code, int azimuth, int elevation)
{
    // The client takes over, as a typed target does: tracking goes off first.
    m_station.CommandsFrom(kRotctldOrigin);
    m_station.SetTarget(code, azimuth, elevation);
}

void NetworkServices::Stop()
{
    m_station.CommandsFrom(kRotctldOrigin);
    m_station.Stop();
}

void NetworkServices::Park()
{
    m_station.CommandsFrom(kRotctldOrigin);
    m_station.Park();
}

void NetworkServices::storeAndApply(const RotctldSettings& settings)
{
    SaveRotctldSettings(m_store, settings);
    m_applied = EffectiveRotctldSettings(settings, EnvironmentPort());
    m_rotctld->listen(m_applied);
}

bool NetworkServices::reapply()
{
    const RotctldSettings settings = EffectiveRotctldSettings(LoadRotctldSettings(m_store), EnvironmentPort());
    if (!(settings == m_applied) || (settings.enabled && !m_rotctld->isListening()))
        m_rotctld->listen(settings);
    m_applied = settings;
    return m_rotctld->isListening();
}

}  // namespace vantora
