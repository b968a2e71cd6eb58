#pragma once
// The rotctld server wired to the station: what its commands do (targets, STOP and PARK through
// the station, as the other inputs' do), the state it reports, its stored settings, and the
// Network window's sections for it and for the port 1023 server (network_sections.cpp, the only
// part that needs widgets).

#include "link/link_status.h"
#include "net/rotctld_protocol.h"
#include "net/rotctld_settings.h"
#include "settings/key_value_store.h"

#include <QObject>

#include <functional>
#include <string>

namespace vantora {

class NetworkDialog;
class RotctldServer;
class Station;
class TcpCommandServer;

class NetworkServices : public QObject, private RotctldActions {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;

    // Listens at once with the stored settings (VANTORA_ROTCTLD_PORT overriding the port).
    // Targets, STOP and PARK go through `station`, as the UDP inputs' do. `station`, `tcpServer`
    // and `store` outlive this object.
    NetworkServices(Station& station, TcpCommandServer& tcpServer, KeyValueStore& store, QObject* parent = nullptr);
    ~NetworkServices() override;

    RotctldServer& rotctld() { return *m_rotctld; }
    // Adds the rotctld and port 1023 sections to the Network window.
    void addSections(NetworkDialog& dialog, const TranslateFn& translate);

    RotctldState state() const;
    // Listens again with the stored settings when they differ from those in force (a re-read
    // settings file); true when it listens.
    bool reapply();

private:
    void SetPosition(int code, int azimuth, int elevation) override;
    void Stop() override;
    void Park() override;
    void storeAndApply(const RotctldSettings& settings);

    Station& m_station;
    TcpCommandServer& m_tcpServer;
    KeyValueStore& m_store;
    RotctldServer* m_rotctld = nullptr;
    RotctldSettings m_applied;  // what the server was last told to listen with
};

}  // namespace vantora
