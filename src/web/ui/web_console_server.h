#pragma once
// The web console's listener: HTTP (or HTTPS only, with a certificate) for the page and its API,
// and the live WebSocket at /api/live over which browsers see the station and command it. All on
// the GUI thread except the password checks, which run on a worker thread of their own. What one
// client may cost is capped: see the constants.

#include "net/station_control.h"
#include "track/ui/listen_status.h"
#include "web/login_limiter.h"
#include "web/session_table.h"
#include "web/web_settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <QWebSocketServer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTcpServer;
class QTcpSocket;
class QWebSocket;

namespace vantora {

struct HttpRequest;
class StationEvents;

class WebConsoleServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxConnections = 32;             // TCP connections at once, WebSockets included
    static constexpr int kRequestDeadlineMs = 10000;       // a whole request within this, or closed
    static constexpr int kDrainDeadlineMs = 10000;         // a reply not taken within this is cut
    static constexpr qint64 kMaxUnsentBytes = 256 * 1024;  // a console further behind is dropped
    static constexpr qint64 kMaxMessageBytes = 4096;       // a larger WebSocket message closes the socket
    static constexpr int kHeartbeatMs = 5000;
    static constexpr int kMinStateIntervalMs = 50;  // one poll tick
    static constexpr int kMaxLoginsInProgress = 8;  // password checks waiting or running

    using HashesFn = std::function<WebPasswordHashes()>;

    // `station` and what `hashes` reads must outlive the server. Does not listen until listen().
    WebConsoleServer(StationControl& station, HashesFn hashes, QObject* parent = nullptr);
    ~WebConsoleServer() override;

    // The station's news: a state goes to every console when it changes.
    void attachEvents(StationEvents& events);

    // Listens as `settings` say (nothing when switched off), dropping the connections of an
    // earlier listener (sessions stay). It does not listen beyond loopback without an operator
    // password, nor without both TLS files readable when they are set. When it cannot listen, the
    // reason goes to the status text and to standard error. True when it listens.
    bool listen(const WebSettings& settings);
    void close();

    // A password was set or removed: that role's sessions end and their consoles close; a
    // listener that waited for the operator password tries again.
    void passwordChanged(WebRole role);

    bool isListening() const;
    quint16 serverPort() const;
    bool tls() const { return m_tls; }
    int connectionCount() const { return static_cast<int>(m_sockets.size()); }
    int consoleCount() const { return static_cast<int>(m_consoles.size()); }
    int sessionCount() const { return static_cast<int>(m_sessions.size()); }
    // "Listening on https://0.0.0.0:8733", "Set an operator password first", "Cannot read ...",
    // "Cannot listen on http://127.0.0.1:8733: <reason>" or "Switched off".
    QString statusText(const StatusTranslateFn& translate = {}) const;

public slots:
    // Something in the station's snapshot may have changed.
    void stationChanged();

private:
    struct Http;
    struct Console;
    struct PendingConsole {
        QTcpSocket* socket = nullptr;  // the connection handed to the WebSocket server
        std::string sessionId;
        WebRole role = WebRole::Viewer;
        std::string address;
    };
    enum class Refusal { None, NoOperatorPassword, BothTlsFiles, TlsUnavailable, ReadFile, Listen };

    std::int64_t now() const { return m_clock.elapsed(); }
    bool track(QTcpSocket* socket);
    void acceptConnections();
    void readHttp(QTcpSocket* socket);
    void dispatch(Http& http, const QByteArray& body);
    void upgrade(Http& http);
    void login(Http& http, const QByteArray& body);
    void finishLogin(QTcpSocket* socket, const std::string& address, int role);
    void reply(Http& http, const std::string& bytes);
    void dropHttp(QTcpSocket* socket);
    std::optional<std::string> sessionOf(const HttpRequest& request) const;

    void acceptConsoles();
    void consoleMessage(QWebSocket* socket, const QString& message);
    void restartJogTimer(Console& console);
    void dropConsole(QWebSocket* socket);
    void closeSessionConsoles(const std::string& sessionId);
    void broadcast();
    std::vector<QWebSocket*> consoleSockets() const;
    void heartbeat();
    bool sendTo(Console& console, const std::string& message);
    void refuse(Refusal refusal, const QString& detail);

    StationControl& m_station;
    HashesFn m_hashes;
    std::unique_ptr<QTcpServer> m_server;
    QWebSocketServer m_websockets;
    QThreadPool m_verifier;
    QElapsedTimer m_clock;
    QTimer m_broadcastTimer;
    QTimer m_heartbeatTimer;
    std::int64_t m_lastBroadcastMs = -kMinStateIntervalMs;
    SessionTable m_sessions;
    LoginLimiter m_limiter;
    int m_loginsInProgress = 0;
    QSet<QObject*> m_sockets;  // every TCP connection alive, counted against kMaxConnections
    std::map<QTcpSocket*, std::unique_ptr<Http>> m_http;
    std::map<std::pair<QString, quint16>, PendingConsole> m_pending;  // by the peer's address and port
    std::map<QWebSocket*, std::unique_ptr<Console>> m_consoles;

    WebSettings m_settings;
    bool m_configured = false;
    bool m_tls = false;
    Refusal m_refusal = Refusal::None;
    QString m_refusalDetail;  // the file and the reason, or the system's reason for not listening
};

}  // namespace vantora
