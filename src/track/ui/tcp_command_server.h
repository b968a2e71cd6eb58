#pragma once
// The TCP command server: listens from construction (every local address unless the stored
// settings say this computer only), answers azimuth queries and passes set-azimuth messages to
// Nastav. Clients are served independently; each one's bytes are cut into messages by their
// layout (tcp_framer.h). Idle connections give way to newcomers (connection_admission.h).

#include "common/address_filter.h"
#include "common/connection_admission.h"
#include "track/tcp_framer.h"
#include "track/tcp_message.h"
#include "track/tcp_server_settings.h"
#include "track/ui/listen_status.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <string>

class QTcpSocket;

namespace vantora {

class TcpCommandServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 1023;
    static constexpr int kMaxClients = 64;            // places; see connection_admission.h
    static constexpr int kMaxClientsPerAddress = 8;   // one sender's share of them
    static constexpr qint64 kMaxUnsentBytes = 16384;  // a client that stops reading is dropped
    static constexpr qint64 kReadBufferBytes = 4096;  // bytes buffered per client between reads
    static constexpr int kSilenceCheckMs = 10000;     // how often long-silent clients are looked for

    // Shows a message to the operator (a message box in the program).
    using Report = std::function<void(const QString&)>;
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    // port: when empty, VANTORA_TCP_PORT if it holds a port number 0..65535, else 1023; 0 picks
    // a free port. When the port cannot be opened, `report` is called once with
    // "Unable to open TCP port <port> !" and the server stays closed.
    TcpCommandServer(TargetSink& sink, std::function<int()> beamAzimuth, Report report,
                     QObject* parent = nullptr, std::optional<quint16> port = std::nullopt);
    ~TcpCommandServer() override;

    static quint16 configuredPort();

    // Listens where `settings` say and serves only whom its "Accept from" admits, dropping
    // connected clients it no longer admits. An "Accept from" that cannot be read stops the
    // server (better deaf than open to everyone by a typing error); the status says why.
    void configure(const TcpServerSettings& settings);
    const TcpServerSettings& settings() const { return m_settings; }
    // Stops listening and drops every client (the program is stopping).
    void close();

    bool isListening() const { return m_server.isListening(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    int clientCount() const { return static_cast<int>(m_clients.size()); }
    // "Listening on [::]:1023" or "Cannot listen on [::]:1023: <reason>".
    QString statusText(const StatusTranslateFn& translate = {}) const;

    // Tests: the clock that measures how long clients have been silent.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Closes the clients silent for ConnectionAdmission::kCloseSilenceMs; runs every
    // kSilenceCheckMs.
    void closeSilentClients();

signals:
    // After each message has been acted on and any reply queued.
    void messageHandled(const QByteArray& message);

private:
    void listenOn(const QHostAddress& address);
    void acceptClients();
    void ServerSocket1ClientRead(QTcpSocket* socket);
    void ServerSocket1ClientError(QTcpSocket* socket);
    void dropClient(QTcpSocket* socket);
    qint64 now() const { return m_clock(); }

    TcpCommandHandler m_handler;
    QTcpServer m_server;
    std::map<QTcpSocket*, TcpMessageFramer> m_clients;
    ConnectionAdmission m_admission{kMaxClients, kMaxClientsPerAddress};
    TcpServerSettings m_settings;
    AddressFilter m_filter;
    std::string m_filterError;  // why "Accept from" was refused (English); empty when it was not
    QHostAddress m_address{QHostAddress::Any};
    quint16 m_port = 0;      // the port asked for
    QString m_listenError;   // why listening failed; empty while listening
    QElapsedTimer m_elapsed;
    Clock m_clock;
    QTimer m_silenceCheck;
};

}  // namespace vantora
