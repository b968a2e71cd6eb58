#pragma once
// The web console as the program runs it, with or without a window: the server listening with
// the stored settings (VANTORA_WEB_PORT overriding the port), the password hashes read from the
// settings store at each login, and its section of the Network window.

#include "net/station_control.h"
#include "settings/key_value_store.h"
#include "web/web_settings.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

namespace vantora {

class NetworkDialog;
class StationEvents;
class WebConsoleServer;

class WebConsoleService : public QObject {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;
    static constexpr char kPortVariable[] = "VANTORA_WEB_PORT";

    // Listens at once when enabled. `station`, `events` and `store` outlive this object.
    WebConsoleService(StationControl& station, StationEvents& events, KeyValueStore& store, QObject* parent = nullptr);
    ~WebConsoleService() override;

    WebConsoleServer& server() { return *m_server; }
    // Adds the "Web console" section to the Network window (web_console_sections.cpp, widgets).
    void addSection(NetworkDialog& dialog, const TranslateFn& translate);
    // Listens again with the stored settings (nothing happens when they did not change).
    void reapply();
    // The port VANTORA_WEB_PORT imposes, as in use (a free port the system chose for 0).
    std::optional<int> portInForce() const;

    // The port VANTORA_WEB_PORT sets, if it is set to a port.
    static std::optional<std::string> EnvironmentPort();

private:
    void storeAndApply(const WebSettings& settings);
    bool setPassword(WebRole role, const std::string& password);

    KeyValueStore& m_store;
    WebConsoleServer* m_server = nullptr;
};

}  // namespace vantora
