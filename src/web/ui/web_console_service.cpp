#include "web/ui/web_console_service.h"

#include "net/rotctld_settings.h"
#include "net/ui/network_dialog.h"
#include "net/ui/station_events.h"
#include "web/ui/web_console_section.h"
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
    m_server->listen(EffectiveWebSettings(LoadWebSettings(m_store), EnvironmentPort()));
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

void WebConsoleService::addSection(NetworkDialog& dialog, const TranslateFn& translate)
{
    WebConsoleControl control;
    control.stored = [this] { return LoadWebSettings(m_store); };
    control.storeAndApply = [this](const WebSettings& settings) { storeAndApply(settings); };
    control.status = [this](const StatusTranslateFn& tr) { return m_server->statusText(tr); };
    control.environmentPort = [this]() -> std::optional<int> {
        const auto text = EnvironmentPort();
        const auto port = text ? ParsePortText(*text) : std::nullopt;
        if (!port)
            return std::nullopt;
        // Port 0 lets the system choose: the one in use is the one to show.
        return *port == 0 && m_server->isListening() ? m_server->serverPort() : *port;
    };
    control.setPassword = [this](WebRole role, const std::string& password) { return setPassword(role, password); };
    dialog.addSection(new WebConsoleSection(std::move(control), translate));
}

}  // namespace vantora
