#pragma once
// The station's listeners, built the same way with or without a window: the port 1023 server,
// the rotctld server, the N1MM and PST inputs, the web console and the MQTT bridge. Each reaches
// the station through its own door, so the station knows where the last command came from. No
// widgets.

#include "settings/key_value_store.h"
#include "station/origin_station.h"
#include "track/target_sink.h"

#include <QObject>

namespace vantora {

class MqttService;
class NetworkServices;
class Station;
class TcpCommandServer;
class UdpInputs;
class WebConsoleService;

class StationServices : public QObject {
    Q_OBJECT
public:
    // Listens at once, each with its stored settings. A port 1023 server that cannot listen says
    // why on standard error. `station` and `store` outlive this.
    StationServices(Station& station, KeyValueStore& store, QObject* parent = nullptr);
    ~StationServices() override;

    TcpCommandServer& tcpServer() { return *m_tcpServer; }
    NetworkServices& network() { return *m_network; }
    UdpInputs& udpInputs() { return *m_udpInputs; }
    MqttService& mqtt() { return *m_mqtt; }
    WebConsoleService& webConsole() { return *m_webConsole; }

    // The settings file was read again: each listener whose stored settings changed listens
    // again with them; the others keep their sockets and clients.
    void reapply();
    // Every listener stops listening and drops its clients; the MQTT bridge says "offline".
    void close();

private:
    // The port 1023 server's targets: Nastav as before (tracking stays on), from TCP.
    class TcpTargets : public TargetSink {
    public:
        explicit TcpTargets(Station& station) : m_station(station) {}
        void Nastav(int code, int value1, int value2) override;

    private:
        Station& m_station;
    };

    KeyValueStore& m_store;
    TcpTargets m_tcpTargets;
    OriginStation m_n1mmStation;
    OriginStation m_pstStation;
    TcpCommandServer* m_tcpServer = nullptr;
    NetworkServices* m_network = nullptr;
    UdpInputs* m_udpInputs = nullptr;
    MqttService* m_mqtt = nullptr;
    WebConsoleService* m_webConsole = nullptr;
};

}  // namespace vantora
