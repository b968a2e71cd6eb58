#pragma once
// The TCP command server: listens on every local address from construction, answers azimuth
// queries and passes set-azimuth messages to Nastav. Clients are served independently.

#include "track/tcp_message.h"
#include "track/ui/listen_status.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <optional>

class QTcpSocket;

namespace vantora {

class TcpCommandServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 1023;
    static constexpr int kMaxClients = 64;            // further connections are closed at once
    static constexpr qint64 kMaxUnsentBytes = 16384;  // a client that stops reading is dropped
    static constexpr qint64 kReadBufferBytes = 4096;  // bytes buffered per client between reads

    // Shows a message to the operator (a message box in the program).
    using Report = std::function<void(const QString&)>;

    // port: when empty, VANTORA_TCP_PORT if it holds a port number 0..65535, else 1023; 0 picks
    // a free port. When the port cannot be opened, `report` is called once with
    // "Unable to open TCP port <port> !" and the server stays closed.
    TcpCommandServer(TargetSink& sink, std::function<int()> beamAzimuth, Report report,
                     QObject* parent = nullptr, std::optional<quint16> port = std::nullopt);
    ~TcpCommandServer() override;

    static quint16 configuredPort();

    // Stops listening and drops every client (the program is stopping).
    void close();

    bool isListening() const { return m_server.isListening(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    int clientCount() const { return static_cast<int>(m_clients.size()); }
    // "Listening on 0.0.0.0:1023" or "Cannot listen on 0.0.0.0:1023: <reason>".
    QString statusText(const StatusTranslateFn& translate = {}) const;

signals:
    // After each message (one read of at most 10 bytes) has been acted on and any reply queued.
    void messageHandled(const QByteArray& message);

private:
    void acceptClients();
    void ServerSocket1ClientRead(QTcpSocket* socket);
    void ServerSocket1ClientError(QTcpSocket* socket);
    void dropClient(QTcpSocket* socket);

    TcpCommandHandler m_handler;
    QTcpServer m_server;
    QSet<QTcpSocket*> m_clients;
    quint16 m_port = 0;      // the port asked for
    QString m_listenError;   // why listening failed; empty while listening
};

}  // namespace vantora
