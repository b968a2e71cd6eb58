// The web console's section of the Network window: the widget part of WebConsoleService, kept
// apart so the service builds without widgets (the headless program runs it too).
#include "net/ui/network_dialog.h"
#include "web/ui/web_console_section.h"
#include "web/ui/web_console_server.h"
#include "web/ui/web_console_service.h"

namespace vantora {

void WebConsoleService::addSection(NetworkDialog& dialog, const TranslateFn& translate)
{
    WebConsoleControl control;
    control.stored = [this] { return LoadWebSettings(m_store); };
    control.storeAndApply = [this](const WebSettings& settings) { storeAndApply(settings); };
    control.status = [this](const StatusTranslateFn& tr) { return m_server->statusText(tr); };
    control.environmentPort = [this] { return portInForce(); };
    control.setPassword = [this](WebRole role, const std::string& password) { return setPassword(role, password); };
    dialog.addSection(new WebConsoleSection(std::move(control), translate));
}

}  // namespace vantora
