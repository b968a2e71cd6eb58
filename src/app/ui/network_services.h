#pragma once
// The rotctld server wired to the main window: what its commands do (targets through Nastav,
// STOP, PARK), the state it reports, its stored settings, and the Network window's sections
// for it and for the port 1023 server.

#include "link/link_status.h"
#include "net/rotctld_protocol.h"
#include "net/rotctld_settings.h"
#include "settings/key_value_store.h"

#include <QObject>

#include <functional>
#include <string>

namespace vantora {

class MainWindow;
class NetworkDialog;
class RotctldServer;
class RemoteStation;
class TcpCommandServer;

class NetworkServices : public QObject, private RotctldActions {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;

    // Listens at once with the stored settings (VANTORA_ROTCTLD_PORT overriding the port).
    // Targets, STOP and PARK go through `station`, as the UDP inputs' do. `window`, `station`,
    // `tcpServer` and `store` outlive this object.
    NetworkServices(MainWindow& window, RemoteStation& station, TcpCommandServer& tcpServer,
                    KeyValueStore& store, QObject* parent = nullptr);
    ~NetworkServices() override;

    RotctldServer& rotctld() { return *m_rotctld; }
    // Adds the rotctld and port 1023 sections to the Network window.
    void addSections(NetworkDialog& dialog, const TranslateFn& translate);

    RotctldState state() const;

private:
    void SetPosition(int code, int azimuth, int elevation) override;
    void Stop() override;
    void Park() override;
    void Move(ArrowKeys keys) override;
    void storeAndApply(const RotctldSettings& settings);

    MainWindow& m_window;
    RemoteStation& m_station;
    TcpCommandServer& m_tcpServer;
    KeyValueStore& m_store;
    RotctldServer* m_rotctld = nullptr;
};

}  // namespace vantora
