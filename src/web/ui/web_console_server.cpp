#include "web/ui/web_console_server.h"

#include "net/ui/station_events.h"
#include "web/console_commands.h"
#include "web/http_request.h"
#include "web/http_response.h"
#include "web/state_json.h"
#include "web/ui/web_crypto.h"
#include "web/web_command.h"
#include "web/web_route.h"
#include "web/web_texts.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

#include <cstdio>

namespace vantora {

namespace {

constexpr int kListenBacklog = 64;
constexpr int kResumeAcceptMs = 500;
constexpr int kNoRole = -1;

QHostAddress ListenAddress(const std::string& address)
{
    if (address == kWebAllAddresses)
        return QHostAddress(QHostAddress::Any);
    if (address == kWebAllIpv4)
        return QHostAddress(QHostAddress::AnyIPv4);
    return QHostAddress(QHostAddress::LocalHost);
}

// The peer's address as shown and as the login limiter counts it ("127.0.0.1", "::1"): an
// IPv4 client of an IPv6 listener counts by its IPv4 address.
std::string PeerAddress(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4) : address).toString().toStdString();
}

std::string_view ToView(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool ReadFile(const QString& path, QByteArray& contents, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    contents = file.readAll();
    return true;
}

QSslKey PrivateKey(const QByteArray& pem)
{
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return {};
}

QString Tr(const StatusTranslateFn& translate, const char* english)
{
    return QString::fromStdString(translate ? translate(english) : std::string(english));
}

}  // namespace

struct WebConsoleServer::Http {
    QTcpSocket* socket = nullptr;
    QTimer* deadline = nullptr;
    std::string address;
    bool headDone = false;
    bool replied = false;
    bool loginRunning = false;
    HttpRequest request;
    WebRoute route;
};

struct WebConsoleServer::Console {
    QWebSocket* socket = nullptr;
    // The connection under it: the WebSocket neither deletes it nor keeps the signals connected
    // to it (so its end is not seen from here), so the console uncounts and deletes it.
    QObject* counted = nullptr;
    QPointer<QTcpSocket> connection;
    std::string sessionId;
    ConsoleState state;
    QTimer* jogTimer = nullptr;
    std::string lastSent;
};

WebConsoleServer::WebConsoleServer(StationControl& station, HashesFn hashes, QObject* parent)
    : QObject(parent),
      m_station(station),
      m_hashes(std::move(hashes)),
      m_websockets(QStringLiteral("Vantora"), QWebSocketServer::NonSecureMode)
{
    m_clock.start();
    m_verifier.setMaxThreadCount(1);  // one check at a time: each takes 64 MiB
    m_websockets.setMaxPendingConnections(kMaxConnections);
    m_websockets.setHandshakeTimeout(std::chrono::milliseconds(kRequestDeadlineMs));
    connect(&m_websockets, &QWebSocketServer::newConnection, this, &WebConsoleServer::acceptConsoles);
    m_broadcastTimer.setSingleShot(true);
    connect(&m_broadcastTimer, &QTimer::timeout, this, &WebConsoleServer::broadcast);
    m_heartbeatTimer.setInterval(kHeartbeatMs);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, &WebConsoleServer::heartbeat);
}

WebConsoleServer::~WebConsoleServer()
{
    close();
    m_verifier.waitForDone();
}

void WebConsoleServer::attachEvents(StationEvents& events)
{
    connect(&events, &StationEvents::changed, this, &WebConsoleServer::stationChanged);
}

bool WebConsoleServer::isListening() const
{
    return m_server && m_server->isListening();
}

quint16 WebConsoleServer::serverPort() const
{
    return m_server ? m_server->serverPort() : 0;
}

void WebConsoleServer::refuse(Refusal refusal, const QString& detail)
{
    m_refusal = refusal;
    m_refusalDetail = detail;
    std::fprintf(stderr, "vantora: web console: %s\n", qPrintable(statusText({})));
}

bool WebConsoleServer::listen(const WebSettings& settings)
{
    if (m_configured && settings == m_settings && (isListening() || !settings.enabled))
        return isListening();
    m_configured = true;
    m_settings = settings;
    close();
    m_tls = false;
    if (!settings.enabled)
        return false;
    if (!settings.loopbackOnly() && m_hashes().operatorHash.empty()) {
        refuse(Refusal::NoOperatorPassword, {});
        return false;
    }
    if (settings.tlsCertificate.empty() != settings.tlsKey.empty()) {
        refuse(Refusal::BothTlsFiles, {});
        return false;
    }
    if (settings.tls()) {
        if (!QSslSocket::supportsSsl()) {
            refuse(Refusal::TlsUnavailable, {});
            return false;
        }
        const QString certificatePath = QString::fromStdString(settings.tlsCertificate);
        const QString keyPath = QString::fromStdString(settings.tlsKey);
        QByteArray certificatePem;
        QByteArray keyPem;
        QString error;
        if (!ReadFile(certificatePath, certificatePem, error)) {
            refuse(Refusal::ReadFile, certificatePath + QChar('\n') + error);
            return false;
        }
        const QList<QSslCertificate> chain = QSslCertificate::fromData(certificatePem, QSsl::Pem);
        if (chain.isEmpty()) {
            refuse(Refusal::ReadFile, certificatePath + QStringLiteral("\n") + QStringLiteral("not a PEM certificate"));
            return false;
        }
        if (!ReadFile(keyPath, keyPem, error)) {
            refuse(Refusal::ReadFile, keyPath + QChar('\n') + error);
            return false;
        }
        const QSslKey key = PrivateKey(keyPem);
        if (key.isNull()) {
            refuse(Refusal::ReadFile, keyPath + QStringLiteral("\n") + QStringLiteral("not a PEM private key"));
            return false;
        }
        auto server = std::make_unique<QSslServer>();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(chain);
        configuration.setPrivateKey(key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        configuration.setProtocol(QSsl::TlsV1_2OrLater);
        server->setSslConfiguration(configuration);
        server->setHandshakeTimeout(kRequestDeadlineMs);
        // Connections still in their handshake count against the cap as well.
        connect(server.get(), &QSslServer::startedEncryptionHandshake, this, [this](QSslSocket* socket) {
            if (!track(socket))
                QMetaObject::invokeMethod(
                    socket, [socket] { socket->abort(); }, Qt::QueuedConnection);
        });
        m_server = std::move(server);
        m_tls = true;
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    m_server->setListenBacklogSize(kListenBacklog);
    m_server->setMaxPendingConnections(kMaxConnections);
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &WebConsoleServer::acceptConnections);
    connect(m_server.get(), &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError) {
        QTimer::singleShot(kResumeAcceptMs, this, [this] {
            if (m_server)
                m_server->resumeAccepting();
        });
    });
    if (settings.port < 0 || settings.port > 65535
        || !m_server->listen(ListenAddress(settings.address), static_cast<quint16>(settings.port))) {
        const QString reason = m_server->errorString();
        m_server.reset();
        refuse(Refusal::Listen, reason);
        return false;
    }
    return true;
}

void WebConsoleServer::close()
{
    while (!m_consoles.empty())
        dropConsole(m_consoles.begin()->first);
    while (!m_http.empty())
        dropHttp(m_http.begin()->first);
    m_pending.clear();
    if (m_server) {
        m_server->close();
        m_server.reset();
    }
    m_refusal = Refusal::None;
    m_refusalDetail.clear();
}

void WebConsoleServer::passwordChanged(WebRole role)
{
    for (const std::string& id : m_sessions.RemoveRole(role))
        closeSessionConsoles(id);
    if (m_configured && m_settings.enabled && !isListening()) {
        m_configured = false;  // listen anew with the same settings
        listen(m_settings);
    }
}

QString WebConsoleServer::statusText(const StatusTranslateFn& translate) const
{
    if (!m_configured || !m_settings.enabled)
        return SwitchedOffText(translate);
    const QString scheme = m_settings.tls() ? QStringLiteral("https://") : QStringLiteral("http://");
    const QString address = QString::fromStdString(m_settings.address);
    if (isListening())
        return ListeningText(translate, scheme + ListenAddressText(address, m_server->serverPort()));
    switch (m_refusal) {
    case Refusal::NoOperatorPassword: return Tr(translate, "Set an operator password first");
    case Refusal::BothTlsFiles: return Tr(translate, "Set both the certificate and the key");
    case Refusal::TlsUnavailable: return Tr(translate, "TLS is not available");
    case Refusal::ReadFile: {
        const QString file = m_refusalDetail.section(QChar('\n'), 0, 0);
        QString reason = m_refusalDetail.section(QChar('\n'), 1);
        if (reason == QStringLiteral("not a PEM certificate") || reason == QStringLiteral("not a PEM private key"))
            reason = Tr(translate, reason.toUtf8().constData());
        return Tr(translate, "Cannot read %1: %2").arg(file, reason);
    }
    case Refusal::Listen:
    case Refusal::None: break;
    }
    return CannotListenText(translate, scheme + ListenAddressText(address, static_cast<quint16>(m_settings.port)),
                            m_refusalDetail);
}

// Counts a new connection; false when it is one too many.
bool WebConsoleServer::track(QTcpSocket* socket)
{
    if (m_sockets.contains(socket))
        return true;
    if (m_sockets.size() >= kMaxConnections)
        return false;
    m_sockets.insert(socket);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_sockets.remove(socket); });
    return true;
}

void WebConsoleServer::acceptConnections()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket* socket = m_server->nextPendingConnection();
        if (!socket)
            break;
        if (!track(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto http = std::make_unique<Http>();
        http->socket = socket;
        http->address = PeerAddress(socket->peerAddress());
        http->deadline = new QTimer(socket);
        http->deadline->setSingleShot(true);
        http->deadline->setTimerType(Qt::PreciseTimer);  // a coarse one may end 10 s up to 0.5 s early
        connect(http->deadline, &QTimer::timeout, this, [this, socket] { dropHttp(socket); });
        http->deadline->start(kRequestDeadlineMs);
        socket->setReadBufferSize(static_cast<qint64>(kMaxRequestHeadBytes + kMaxRequestBodyBytes));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readHttp(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropHttp(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket->state() == QAbstractSocket::UnconnectedState)
                dropHttp(socket);
        });
        m_http.emplace(socket, std::move(http));
        if (socket->bytesAvailable() > 0)
            readHttp(socket);
    }
}

void WebConsoleServer::readHttp(QTcpSocket* socket)
{
    const auto found = m_http.find(socket);
    if (found == m_http.end())
        return;
    Http& http = *found->second;
    if (http.replied || http.loginRunning) {
        if (http.replied)
            socket->readAll();  // what comes after the request is not read
        return;
    }
    if (!http.headDone) {
        // Peeked, not read: a WebSocket upgrade is handed over with its request unread.
        const QByteArray bytes = socket->peek(static_cast<qint64>(kMaxRequestHeadBytes + 1));
        HeadResult head = ParseRequestHead(ToView(bytes));
        switch (head.status) {
        case HeadStatus::Incomplete: return;
        case HeadStatus::TooLarge: reply(http, BuildReply(ErrorReply(431, "request head too large"))); return;
        case HeadStatus::Malformed: reply(http, BuildReply(ErrorReply(400, "bad request"))); return;
        case HeadStatus::NotImplemented: reply(http, BuildReply(ErrorReply(501, "not implemented"))); return;
        case HeadStatus::Complete: break;
        }
        http.headDone = true;
        http.request = std::move(head.request);
        if (http.request.contentLength > kMaxRequestBodyBytes) {
            reply(http, BuildReply(ErrorReply(413, "request body too large")));
            return;
        }
        http.route = RouteRequest(http.request);
        if (http.route.kind == WebRouteKind::Live) {
            upgrade(http);
            return;
        }
        socket->read(static_cast<qint64>(http.request.headBytes));
    }
    if (socket->bytesAvailable() < static_cast<qint64>(http.request.contentLength))
        return;
    const QByteArray body = socket->read(static_cast<qint64>(http.request.contentLength));
    dispatch(http, body);
}

std::optional<std::string> WebConsoleServer::sessionOf(const HttpRequest& request) const
{
    for (const auto& [name, value] : request.fields)
        if (name == "cookie")
            if (const auto id = CookieValue(value, kSessionCookieName))
                return std::string(*id);
    return std::nullopt;
}

void WebConsoleServer::dispatch(Http& http, const QByteArray& body)
{
    const HttpRequest& request = http.request;
    switch (http.route.kind) {
    case WebRouteKind::File: {
        QFile file(QStringLiteral(":/web/") + QString::fromStdString(http.route.file));
        if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly)) {
            HttpReply missing;
            missing.status = 404;
            missing.contentType = "text/plain; charset=utf-8";
            missing.body = "Not found\n";
            reply(http, BuildReply(missing));
            return;
        }
        const QByteArray contents = file.readAll();
        HttpReply page;
        page.contentType = std::string(PageContentType(http.route.file));
        page.body.assign(contents.constData(), static_cast<std::size_t>(contents.size()));
        reply(http, BuildReply(page));
        return;
    }
    case WebRouteKind::Texts:
        reply(http, BuildReply(JsonReply(200, EncodePageTexts(m_station.Snapshot().language))));
        return;
    case WebRouteKind::Session: {
        const auto id = sessionOf(request);
        const auto role = id ? m_sessions.Use(*id, now()) : std::nullopt;
        if (!role) {
            reply(http, BuildReply(ErrorReply(401, "not logged in")));
            return;
        }
        reply(http, BuildReply(JsonReply(200, "{\"role\":\"" + std::string(RoleName(*role)) + "\"}")));
        return;
    }
    case WebRouteKind::Login: login(http, body); return;
    case WebRouteKind::Logout: {
        if (const auto id = sessionOf(request)) {
            if (m_sessions.Remove(*id))
                closeSessionConsoles(*id);
        }
        HttpReply done = JsonReply(200, "{\"ok\":true}");
        done.extraFields.push_back(ClearedSessionCookieField(m_tls));
        reply(http, BuildReply(done));
        return;
    }
    case WebRouteKind::MethodNotAllowed: reply(http, BuildReply(ErrorReply(405, "method not allowed"))); return;
    case WebRouteKind::Live:
    case WebRouteKind::NotFound: break;
    }
    reply(http, BuildReply(ErrorReply(404, "not found")));
}

void WebConsoleServer::login(Http& http, const QByteArray& body)
{
    const auto type = http.request.Field("content-type");
    // A form of another site cannot send this type without asking first, and nobody answers.
    if (!type || type->substr(0, 16) != "application/json") {
        reply(http, BuildReply(ErrorReply(415, "bad request")));
        return;
    }
    const auto password = ParseLoginBody(ToView(body));
    if (!password) {
        reply(http, BuildReply(ErrorReply(400, "bad request")));
        return;
    }
    if (m_loginsInProgress >= kMaxLoginsInProgress || !m_limiter.Begin(http.address, now())) {
        reply(http, BuildReply(ErrorReply(429, "too many attempts")));
        return;
    }
    ++m_loginsInProgress;
    http.loginRunning = true;
    const WebPasswordHashes hashes = m_hashes();
    QPointer<QTcpSocket> socket(http.socket);
    const std::string address = http.address;
    m_verifier.start([this, hashes, secret = *password, socket, address] {
        int role = kNoRole;
        if (VerifyWebPassword(hashes.operatorHash, secret))
            role = static_cast<int>(WebRole::Operator);
        else if (VerifyWebPassword(hashes.viewerHash, secret))
            role = static_cast<int>(WebRole::Viewer);
        QMetaObject::invokeMethod(
            this, [this, socket, address, role] { finishLogin(socket.data(), address, role); }, Qt::QueuedConnection);
    });
}

void WebConsoleServer::finishLogin(QTcpSocket* socket, const std::string& address, int role)
{
    --m_loginsInProgress;
    m_limiter.End(address, role != kNoRole, now());
    if (role == kNoRole)
        std::fprintf(stderr, "vantora: web console: failed login from %s\n", address.c_str());
    const auto found = socket ? m_http.find(socket) : m_http.end();
    if (found == m_http.end())
        return;  // the client went away meanwhile
    Http& http = *found->second;
    http.loginRunning = false;
    if (role == kNoRole) {
        reply(http, BuildReply(ErrorReply(401, "wrong password")));
        return;
    }
    const std::string id = NewSessionId();
    if (id.empty()) {
        reply(http, BuildReply(ErrorReply(500, "no session")));
        return;
    }
    const auto webRole = static_cast<WebRole>(role);
    if (const auto evicted = m_sessions.Add(id, webRole, now()))
        closeSessionConsoles(*evicted);
    HttpReply done = JsonReply(200, "{\"role\":\"" + std::string(RoleName(webRole)) + "\"}");
    done.extraFields.push_back(SessionCookieField(id, m_tls));
    reply(http, BuildReply(done));
}

void WebConsoleServer::upgrade(Http& http)
{
    const HttpRequest& request = http.request;
    const auto upgradeField = request.Field("upgrade");
    if (!upgradeField
        || QString::fromStdString(std::string(*upgradeField)).compare(QStringLiteral("websocket"), Qt::CaseInsensitive)
               != 0) {
        http.socket->read(static_cast<qint64>(request.headBytes));
        reply(http, BuildReply(ErrorReply(400, "not a WebSocket upgrade")));
        return;
    }
    const auto id = sessionOf(request);
    const auto role = id ? m_sessions.Use(*id, now()) : std::nullopt;
    if (!role) {
        http.socket->read(static_cast<qint64>(request.headBytes));
        reply(http, BuildReply(ErrorReply(401, "not logged in")));
        return;
    }
    const auto origin = request.Field("origin");
    const auto host = request.Field("host");
    if (!origin || !host || !OriginMatchesHost(*origin, *host, m_tls)) {
        http.socket->read(static_cast<qint64>(request.headBytes));
        reply(http, BuildReply(ErrorReply(403, "wrong origin")));
        return;
    }
    // From here the WebSocket server owns the connection; it reads the request itself.
    QTcpSocket* socket = http.socket;
    const auto key = std::make_pair(socket->peerAddress().toString(), socket->peerPort());
    m_pending[key] = PendingConsole{socket, *id, *role, http.address};
    const auto found = m_http.find(socket);
    std::unique_ptr<Http> owned = std::move(found->second);
    m_http.erase(found);
    socket->disconnect(this);
    delete owned->deadline;
    // Still counted until it is gone; the handshake happens at once (the request is all there),
    // and the WebSocket server deletes the socket when it disconnects.
    connect(socket, &QObject::destroyed, this, [this, socket, key] {
        m_sockets.remove(socket);
        m_pending.erase(key);
    });
    m_websockets.handleConnection(socket);
}

void WebConsoleServer::reply(Http& http, const std::string& bytes)
{
    http.replied = true;
    QTcpSocket* socket = http.socket;
    socket->readAll();
    socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    http.deadline->start(kDrainDeadlineMs);
    socket->disconnectFromHost();  // after the reply has left
}

void WebConsoleServer::dropHttp(QTcpSocket* socket)
{
    const auto found = m_http.find(socket);
    if (found == m_http.end())
        return;
    std::unique_ptr<Http> http = std::move(found->second);
    m_http.erase(found);
    http->deadline->stop();
    socket->disconnect(this);
    // A socket is still counted until it is gone.
    connect(socket, &QObject::destroyed, this, [this, socket] { m_sockets.remove(socket); });
    socket->abort();
    socket->deleteLater();
}

void WebConsoleServer::acceptConsoles()
{
    while (QWebSocket* socket = m_websockets.nextPendingConnection()) {
        const auto key = std::make_pair(socket->peerAddress().toString(), socket->peerPort());
        const auto pending = m_pending.find(key);
        if (pending == m_pending.end()) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            socket->deleteLater();
            continue;
        }
        auto console = std::make_unique<Console>();
        console->socket = socket;
        console->counted = pending->second.socket;
        console->connection = pending->second.socket;
        console->sessionId = pending->second.sessionId;
        console->state.role = pending->second.role;
        console->state.address = pending->second.address;
        m_pending.erase(pending);
        console->jogTimer = new QTimer(socket);
        console->jogTimer->setSingleShot(true);
        console->jogTimer->setTimerType(Qt::PreciseTimer);
        connect(console->jogTimer, &QTimer::timeout, this, [this, socket] {
            const auto found = m_consoles.find(socket);
            if (found == m_consoles.end())
                return;
            Console& console = *found->second;
            TickConsoleJog(console.state, m_station, now());
            restartJogTimer(console);  // a timer that fired a little early tries again
        });
        socket->setMaxAllowedIncomingMessageSize(static_cast<quint64>(kMaxMessageBytes));
        socket->setMaxAllowedIncomingFrameSize(static_cast<quint64>(kMaxMessageBytes));
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& message) { consoleMessage(socket, message); });
        connect(socket, &QWebSocket::binaryMessageReceived, this,
                [this, socket](const QByteArray&) { consoleMessage(socket, QString()); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropConsole(socket); });
        m_consoles.emplace(socket, std::move(console));
    }
    if (!m_consoles.empty() && !m_heartbeatTimer.isActive())
        m_heartbeatTimer.start();  // runs only while someone is connected: an idle server never wakes
    broadcast();                   // the newcomer's first state, and everyone's new console count
}

void WebConsoleServer::consoleMessage(QWebSocket* socket, const QString& message)
{
    const auto found = m_consoles.find(socket);
    if (found == m_consoles.end())
        return;
    Console& console = *found->second;
    if (!m_sessions.Use(console.sessionId, now())) {
        dropConsole(socket);  // logged out or expired meanwhile
        return;
    }
    const QByteArray bytes = message.toUtf8();
    const std::string answer = RunConsoleMessage(ToView(bytes), console.state, m_station, now());
    restartJogTimer(console);
    sendTo(console, answer);
}

void WebConsoleServer::restartJogTimer(Console& console)
{
    if (const auto deadline = console.state.jog.Deadline())
        console.jogTimer->start(static_cast<int>(std::max<std::int64_t>(1, *deadline - now())));
    else
        console.jogTimer->stop();
}

bool WebConsoleServer::sendTo(Console& console, const std::string& message)
{
    QWebSocket* socket = console.socket;
    if (socket->bytesToWrite() > kMaxUnsentBytes) {
        dropConsole(socket);
        return false;
    }
    socket->sendTextMessage(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    return true;
}

void WebConsoleServer::dropConsole(QWebSocket* socket)
{
    const auto found = m_consoles.find(socket);
    if (found == m_consoles.end())
        return;
    std::unique_ptr<Console> console = std::move(found->second);
    m_consoles.erase(found);
    ReleaseConsoleJog(console->state, m_station);  // a closed tab stops the turn at once
    console->jogTimer->stop();
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState)
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
    socket->abort();
    socket->deleteLater();
    m_sockets.remove(console->counted);
    if (console->connection)
        console->connection->deleteLater();  // after the WebSocket (events run in order)
    if (m_consoles.empty())
        m_heartbeatTimer.stop();
    else
        stationChanged();  // the others' console count
}

void WebConsoleServer::closeSessionConsoles(const std::string& sessionId)
{
    std::vector<QWebSocket*> closing;
    for (const auto& [socket, console] : m_consoles)
        if (console->sessionId == sessionId)
            closing.push_back(socket);
    for (QWebSocket* socket : closing)
        dropConsole(socket);
}

void WebConsoleServer::stationChanged()
{
    if (m_consoles.empty() || m_broadcastTimer.isActive())
        return;
    const std::int64_t wait = m_lastBroadcastMs + kMinStateIntervalMs - now();
    if (wait > 0)
        m_broadcastTimer.start(static_cast<int>(wait));
    else
        broadcast();
}

void WebConsoleServer::broadcast()
{
    m_broadcastTimer.stop();
    if (m_consoles.empty())
        return;
    m_lastBroadcastMs = now();
    const StationSnapshot snapshot = m_station.Snapshot();
    const int consoles = consoleCount();
    const std::string forOperator = EncodeState(snapshot, WebRole::Operator, consoles);
    const std::string forViewer = EncodeState(snapshot, WebRole::Viewer, consoles);
    for (QWebSocket* socket : consoleSockets()) {
        const auto found = m_consoles.find(socket);
        if (found == m_consoles.end())
            continue;
        Console& console = *found->second;
        const std::string& state = console.state.role == WebRole::Operator ? forOperator : forViewer;
        if (state == console.lastSent)
            continue;
        if (sendTo(console, state))
            console.lastSent = state;
    }
}

// The consoles as they are now: sending may drop one, so callers look each up again.
std::vector<QWebSocket*> WebConsoleServer::consoleSockets() const
{
    std::vector<QWebSocket*> sockets;
    for (const auto& entry : m_consoles)
        sockets.push_back(entry.first);
    return sockets;
}

void WebConsoleServer::heartbeat()
{
    m_sessions.Expire(now());
    for (QWebSocket* socket : consoleSockets()) {
        const auto found = m_consoles.find(socket);
        if (found == m_consoles.end())
            continue;
        Console& console = *found->second;
        // A console that is connected keeps its session alive.
        if (!m_sessions.Use(console.sessionId, now())) {
            dropConsole(socket);
            continue;
        }
        sendTo(console, std::string(kHeartbeatMessage));
    }
}

}  // namespace vantora
