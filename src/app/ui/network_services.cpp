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
constexpr std::uint8_t kSecondAzimuthMode = 1;  // RotatorState::rotator2Mode
constexpr std::uint8_t kTurning = 0;            // RotatorState::status1, status2

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

NetworkServices::~NetworkServices()
{
    // The server releases a client's hand drive as it closes: through this object, which must
    // still be whole then (as a child it would go only after this object's parts are gone).
    delete m_rotctld;
    m_rotctld = nullptr;
}

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
    // Status byte 0: the rotator turns. The azimuth is the selected azimuth rotator's.
    const bool secondAzimuth = unit.rotator2Mode == kSecondAzimuthMode;
    const std::uint8_t azimuthStatus = secondAzimuth && unit.activeRotator == 1 ? unit.status2 : unit.status1;
    state.azimuthTurning = state.positionFresh && azimuthStatus == kTurning;
    state.elevationTurning = state.positionFresh && !secondAzimuth && unit.status2 == kTurning;
    state.handDrive = m_window.remoteArrowKeys();
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

void NetworkServices::Move(ArrowKeys keys)
{
    m_window.setRemoteArrowKeys(keys);
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
    TcpServerControl tcp;
    tcp.stored = [this] { return LoadTcpServerSettings(m_store); };
    tcp.storeAndApply = [this](const TcpServerSettings& settings) {
        SaveTcpServerSettings(m_store, settings);
        m_tcpServer.configure(settings);
    };
    tcp.status = [this](const StatusTranslateFn& tr) { return m_tcpServer.statusText(tr); };
    auto* tcpSection = new TcpServerSection(std::move(tcp), translate);
    tcpSection->setListener([this] { return m_tcpServer.isListening(); }, [this] { return m_tcpServer.serverPort(); });
    dialog.addSection(tcpSection);
}

}  // namespace vantora
