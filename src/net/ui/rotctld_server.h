#pragma once
// The rotctld-protocol server: Hamlib's network rotator clients (Gpredict, loggers, rotctl -m 2)
// connect here and read the position, set targets, stop, park and turn by hand. Non-blocking on
// the GUI thread; each client has its own line buffer; what one client may cost is capped. A turn
// started by "M" never outlives its client: it ends with S, P, K or R from any client, when its
// client leaves, or after kRotctldMoveMaxMs.

#include "common/connection_admission.h"
#include "net/rotctld_protocol.h"
#include "net/rotctld_settings.h"
#include "track/ui/listen_status.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QTcpSocket;

namespace vantora {

class RotctldServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 16;             // places; see connection_admission.h
    static constexpr int kMaxClientsPerAddress = 4;    // one sender's share of them
    static constexpr int kSilenceCheckMs = 10000;      // how often long-silent clients are looked for
    static constexpr qint64 kMaxUnsentBytes = 16384;   // a client that stops reading is dropped
    static constexpr qint64 kReadBufferBytes = 4096;   // bytes buffered per client between reads

    using StateFn = std::function<RotctldState()>;
    // Milliseconds of a monotonic clock.
    using Clock = std::function<qint64()>;

    // `actions` and what `state` reads must outlive the server. Does not listen until listen().
    RotctldServer(RotctldActions& actions, StateFn state, QObject* parent = nullptr);
    ~RotctldServer() override;

    // Listens as `settings` say (nothing when switched off), dropping the clients of an earlier
    // address or port. When it cannot listen, the reason goes to the status text and to
    // standard error, and the server stays closed. True when it listens.
    bool listen(const RotctldSettings& settings);
    void close();

    bool isListening() const { return m_server.isListening(); }
    quint16 serverPort() const { return m_server.serverPort(); }
    int clientCount() const { return static_cast<int>(m_clients.size()); }
    // "Listening on 127.0.0.1:4533", "Cannot listen on 127.0.0.1:4533: <reason>" or "Switched off".
    QString statusText(const StatusTranslateFn& translate = {}) const;

    // Tests: the clock that measures how long clients have been silent.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Closes the clients silent for ConnectionAdmission::kCloseSilenceMs; runs every
    // kSilenceCheckMs.
    void closeSilentClients();
    // How long one "M" may turn; kRotctldMoveMaxMs unless a test shortens it.
    void setMoveLimitMs(int ms) { m_moveLimit.setInterval(ms); }
    bool handDriveHeld() const { return m_moveOwner != nullptr; }

signals:
    // After the replies to a client's bytes (or to its unended command) were queued.
    void repliesQueued();

private:
    struct Client;

    // The station's actions as this server's clients reach them, keeping the hand drive's owner.
    class Dispatch : public RotctldActions {
    public:
        explicit Dispatch(RotctldServer& server) : m_server(server) {}
        void SetPosition(int code, int azimuth, int elevation) override;
        void Stop() override;
        void Park() override;
        void Move(ArrowKeys keys) override;

    private:
        RotctldServer& m_server;
    };

    void acceptClients();
    void readClient(QTcpSocket* socket);
    void runPending(QTcpSocket* socket);
    void send(Client& client, const std::string& replies);
    void dropClient(QTcpSocket* socket);
    void dropAllClients();
    void peerClosed(QTcpSocket* socket);
    std::string feed(Client& client);  // runs what the client sent; returns the replies
    void releaseHandDrive();

    RotctldActions& m_actions;
    Dispatch m_dispatch{*this};
    StateFn m_state;
    QTcpSocket* m_reading = nullptr;    // whose commands run now
    QTcpSocket* m_moveOwner = nullptr;  // whose "M" holds the hand drive; null when released
    QTimer m_moveLimit;
    QTcpServer m_server;
    std::map<QTcpSocket*, std::unique_ptr<Client>> m_clients;
    RotctldSettings m_settings;
    bool m_configured = false;
    QString m_listenError;  // why the last listen failed; empty otherwise
    ConnectionAdmission m_admission{kMaxClients, kMaxClientsPerAddress};
    QElapsedTimer m_elapsed;
    Clock m_clock;
    QTimer m_silenceCheck;
};

}  // namespace vantora
