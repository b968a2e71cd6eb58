// The Network window's sections of the rotctld and port 1023 servers: the widget part of
// NetworkServices, kept apart so the station's services build without widgets.
#include "net/ui/network_dialog.h"
#include "net/ui/rotctld_section.h"
#include "net/ui/rotctld_server.h"
#include "net/ui/tcp_server_section.h"
#include "station/ui/network_services.h"
#include "track/ui/tcp_command_server.h"

namespace vantora {

void NetworkServices::addSections(NetworkDialog& dialog, const TranslateFn& translate)
{
    RotctldControl control;
    control.stored = [this] { return LoadRotctldSettings(m_store); };
    control.storeAndApply = [this](const RotctldSettings& settings) { storeAndApply(settings); };
    control.status = [this](const StatusTranslateFn& tr) { return m_rotctld->statusText(tr); };
    dialog.addSection(new RotctldSection(std::move(control), translate));
    dialog.addSection(
        new TcpServerSection([this](const StatusTranslateFn& tr) { return m_tcpServer.statusText(tr); }, translate));
}

}  // namespace vantora
