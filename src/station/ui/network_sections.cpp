// The Network window's sections of the rotctld and port 1023 servers: the widget part of
// NetworkServices, kept apart so the station's services build without widgets.
#include "net/ui/network_dialog.h"
#include "net/ui/rotctld_section.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/tcp_server_section.h"
#include "station/ui/network_services.h"
#include "track/ui/tcp_command_server.h"

#include <QtGlobal>

#include <optional>

namespace vantora {

void NetworkServices::addSections(NetworkDialog& dialog, const TranslateFn& translate)
{
    RotctldControl control;
    control.stored = [this] { return LoadRotctldSettings(m_store); };
    control.storeAndApply = [this](const RotctldSettings& settings) { storeAndApply(settings); };
    control.status = [this](const StatusTranslateFn& tr) { return m_rotctld->statusText(tr); };
    control.listening = [this] { return m_rotctld->isListening(); };
    control.environmentPort = [this]() -> std::optional<int> {
        if (!qEnvironmentVariableIsSet("VANTORA_ROTCTLD_PORT"))
            return std::nullopt;
        return m_applied.port;  // the port the variable put in force
    };
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
