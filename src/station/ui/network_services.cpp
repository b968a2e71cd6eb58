#include "station/ui/network_services.h"

#include "link/ui/link_health_monitor.h"
#include "net/ui/rotctld_server.h"
#include "station/ui/station.h"

#include <QtGlobal>

#include <cstdint>

namespace vantora {

namespace {

// What "_" answers: the program and its version, as Help, About shows them.
constexpr char kRotctldInfo[] = "Vantora 1.09";
const CommandOrigin kRotctldOrigin{CommandSource::Rotctld, {}};
constexpr std::uint8_t kSecondAzimuthMode = 1;  // RotatorState::rotator2Mode
constexpr std::uint8_t kTurning = 0;            // RotatorState::status1, status2

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
    m_rotctld = new RotctldServer(*this, [this] { return state(); }, this);
    m_applied = EffectiveRotctldSettings(LoadRotctldSettings(m_store), EnvironmentPort());
    m_rotctld->listen(m_applied);
}

NetworkServices::~NetworkServices()
{
    // The server releases a client's hand drive as it closes: through this object, which must
    // still be whole then (as a child it would go only after this object's parts are gone).
    delete m_rotctld;
    m_rotctld = nullptr;
}

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
    // Status byte 0: the rotator turns. The azimuth is the selected azimuth rotator's.
    const bool secondAzimuth = unit.rotator2Mode == kSecondAzimuthMode;
    const std::uint8_t azimuthStatus = secondAzimuth && unit.activeRotator == 1 ? unit.status2 : unit.status1;
    state.azimuthTurning = state.positionFresh && azimuthStatus == kTurning;
    state.elevationTurning = state.positionFresh && !secondAzimuth && unit.status2 == kTurning;
    state.handDrive = m_station.remoteArrowKeys();
    return state;
}

void NetworkServices::Move(ArrowKeys keys)
{
    m_station.setRemoteArrowKeys(keys);
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
