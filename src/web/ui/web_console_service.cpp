#include "web/ui/web_console_service.h"

#include "net/rotctld_settings.h"
#include "net/ui/station_events.h"
#include "web/ui/web_console_server.h"
#include "web/ui/web_crypto.h"

#include <QtGlobal>

namespace vantora {

WebConsoleService::WebConsoleService(StationControl& station, StationEvents& events, KeyValueStore& store,
                                     QObject* parent)
    : QObject(parent), m_store(store)
{
    m_server = new WebConsoleServer(
        station, [this] { return LoadWebPasswordHashes(m_store); }, this);
    m_server->attachEvents(events);
    reapply();
}

WebConsoleService::~WebConsoleService() = default;

std::optional<std::string> WebConsoleService::EnvironmentPort()
{
    if (!qEnvironmentVariableIsSet(kPortVariable))
        return std::nullopt;
    return qEnvironmentVariable(kPortVariable).toStdString();
}

void WebConsoleService::storeAndApply(const WebSettings& settings)
{
    SaveWebSettings(m_store, settings);
    m_server->listen(EffectiveWebSettings(settings, EnvironmentPort()));
}

bool WebConsoleService::setPassword(WebRole role, const std::string& password)
{
    std::string hash;
    if (!password.empty()) {
        hash = HashWebPassword(password);
        if (hash.empty())
            return false;
    }
    if (!SaveWebPasswordHash(m_store, role, hash))
        return false;
    m_server->passwordChanged(role);
    return true;
}

void WebConsoleService::reapply()
{
    m_server->listen(EffectiveWebSettings(LoadWebSettings(m_store), EnvironmentPort()));
}

std::optional<int> WebConsoleService::portInForce() const
{
    const auto text = EnvironmentPort();
    const auto port = text ? ParsePortText(*text) : std::nullopt;
    if (!port)
        return std::nullopt;
    // Port 0 lets the system choose: the one in use is the one to show.
    return *port == 0 && m_server->isListening() ? m_server->serverPort() : *port;
}

}  // namespace vantora
