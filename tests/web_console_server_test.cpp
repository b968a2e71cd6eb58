// The web console over real loopback sockets: logins and their cookie, the limiter, the HTTP
// statuses and limits, the Origin check on the WebSocket upgrade, slow and idle clients, the
// connection and message caps, the command rate, a viewer's commands, the jog's release, the
// listener's refusals, and HTTPS with a certificate made here by openssl (plain HTTP refused).
#include "web/ui/web_console_server.h"
#include "support/event_wait.h"
#include "support/recording_station_control.h"
#include "web/ui/web_crypto.h"

#include <QByteArray>
#include <QHostAddress>
#include <QNetworkRequest>
#include <QProcess>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantora {
namespace {

using test::RecordingStationControl;
using test::WaitFor;

constexpr char kOperatorPassword[] = "operator secret";
constexpr char kViewerPassword[] = "viewer secret";

const WebPasswordHashes& Hashes()
{
    static const WebPasswordHashes hashes{HashWebPassword(kOperatorPassword), HashWebPassword(kViewerPassword)};
    return hashes;
}

struct HttpResult {
    int status = 0;  // 0: the connection closed without a reply
    QByteArray head;
    QByteArray body;

    QByteArray field(const QByteArray& name) const
    {
        for (const QByteArray& line : head.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.toLower().startsWith(name.toLower() + ":"))
                return trimmed.mid(name.size() + 1).trimmed();
        }
        return {};
    }
};

HttpResult ParseResult(const QByteArray& bytes)
{
    HttpResult result;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (!bytes.startsWith("HTTP/1.1 ") || end < 0)
        return result;
    result.status = bytes.mid(9, 3).toInt();
    result.head = bytes.left(end);
    result.body = bytes.mid(end + 4);
    return result;
}

// Sends `request` and reads until the server closes the connection.
HttpResult Exchange(QTcpSocket& socket, const QByteArray& request)
{
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    socket.write(request);
    EXPECT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 15000));
    received += socket.readAll();
    return ParseResult(received);
}

HttpResult Exchange(quint16 port, const QByteArray& request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }))
        return {};
    return Exchange(socket, request);
}

QByteArray LoginRequest(const QByteArray& body, const QByteArray& type = "application/json")
{
    QByteArray request = "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!type.isEmpty())
        request += "Content-Type: " + type + "\r\n";
    return request + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray PasswordBody(const char* password)
{
    return QByteArray("{\"password\":\"") + password + "\"}";
}

// The session id of a Set-Cookie field.
QByteArray CookieId(const HttpResult& result)
{
    const QByteArray field = result.field("Set-Cookie");
    const qsizetype equals = field.indexOf('=');
    const qsizetype semicolon = field.indexOf(';');
    return field.mid(equals + 1, semicolon - equals - 1);
}

QByteArray UpgradeRequest(quint16 port, const QByteArray& cookie, const QByteArray& origin)
{
    QByteArray request = "GET /api/live HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                         "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                         "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
    if (!cookie.isEmpty())
        request += "Cookie: vantora_session=" + cookie + "\r\n";
    if (!origin.isEmpty())
        request += "Origin: " + origin + "\r\n";
    return request + "\r\n";
}

// A browser console: a WebSocket with the session's cookie and the page's origin.
class Console {
public:
    Console(quint16 port, const QByteArray& cookie, const QString& origin = {}) : m_socket(origin)
    {
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, &m_socket,
                         [this](const QString& message) { messages.push_back(message); });
        QObject::connect(&m_socket, &QWebSocket::disconnected, &m_socket, [this] { closed = true; });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port)));
        request.setRawHeader("Cookie", "vantora_session=" + cookie);
        m_socket.open(request);
    }

    bool waitOpen()
    {
        return WaitFor([&] { return m_socket.state() == QAbstractSocket::ConnectedState || closed; }) && !closed;
    }
    void send(const QString& text) { m_socket.sendTextMessage(text); }
    // Waits for a message of `type` ("state", "reply", "heartbeat") after the first `from`.
    QString next(const QString& type, int& from)
    {
        const QString marker = QStringLiteral("\"type\":\"%1\"").arg(type);
        QString found;
        WaitFor([&] {
            for (; from < static_cast<int>(messages.size()); ++from)
                if (messages[static_cast<std::size_t>(from)].contains(marker)) {
                    found = messages[static_cast<std::size_t>(from++)];
                    return true;
                }
            return closed;
        });
        return found;
    }
    int count(const QString& text) const
    {
        int n = 0;
        for (const QString& message : messages)
            n += message == text ? 1 : 0;
        return n;
    }
    QWebSocket& socket() { return m_socket; }

    std::vector<QString> messages;
    bool closed = false;

private:
    QWebSocket m_socket;
};

class WebConsoleServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hashes = Hashes();
        server = std::make_unique<WebConsoleServer>(station, [this] { return hashes; });
        ASSERT_TRUE(server->listen(WebSettings{true, "127.0.0.1", 0, "", ""})) << server->statusText().toStdString();
        port = server->serverPort();
        station.snapshot.callsign = "OK1ABC";
        station.snapshot.rotator1.position = 123;
    }

    QByteArray login(const char* password)
    {
        const HttpResult result = Exchange(port, LoginRequest(PasswordBody(password)));
        EXPECT_EQ(result.status, 200) << result.body.toStdString();
        return CookieId(result);
    }
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

    WebPasswordHashes hashes;
    RecordingStationControl station;
    std::unique_ptr<WebConsoleServer> server;
    quint16 port = 0;
};

TEST_F(WebConsoleServerTest, LoginSetsTheSessionCookieAndLogoutEndsIt)
{
    const HttpResult result = Exchange(port, LoginRequest(PasswordBody(kOperatorPassword)));
    ASSERT_EQ(result.status, 200);
    EXPECT_EQ(result.body, R"({"role":"operator"})");
    EXPECT_EQ(result.field("Cache-Control"), "no-store");
    const QByteArray cookie = result.field("Set-Cookie");
    const QByteArray id = CookieId(result);
    EXPECT_EQ(id.size(), 43);
    EXPECT_TRUE(QByteArray::fromBase64(id, QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals
                                               | QByteArray::AbortOnBase64DecodingErrors)
                    .size()
                == 32)
        << id.toStdString();
    EXPECT_EQ(cookie, "vantora_session=" + id + "; HttpOnly; SameSite=Strict; Path=/");
    EXPECT_NE(login(kOperatorPassword), id) << "every login its own session";

    const QByteArray withCookie = "Host: 127.0.0.1\r\nCookie: theme=dark; vantora_session=" + id + "\r\n\r\n";
    HttpResult session = Exchange(port, "GET /api/session HTTP/1.1\r\n" + withCookie);
    EXPECT_EQ(session.status, 200);
    EXPECT_EQ(session.body, R"({"role":"operator"})");

    const HttpResult logout = Exchange(port, "POST /api/logout HTTP/1.1\r\nContent-Length: 0\r\n" + withCookie);
    EXPECT_EQ(logout.status, 200);
    EXPECT_EQ(logout.body, R"({"ok":true})");
    EXPECT_EQ(logout.field("Set-Cookie"), "vantora_session=; HttpOnly; SameSite=Strict; Path=/; Max-Age=0");
    session = Exchange(port, "GET /api/session HTTP/1.1\r\n" + withCookie);
    EXPECT_EQ(session.status, 401);
    EXPECT_EQ(session.body, R"({"error":"not logged in"})");
}

TEST_F(WebConsoleServerTest, LoginAnswers)
{
    struct Case {
        const char* what;
        QByteArray request;
        int status;
        QByteArray body;
    } cases[] = {
        {"viewer", LoginRequest(PasswordBody(kViewerPassword)), 200, R"({"role":"viewer"})"},
        {"wrong password", LoginRequest(PasswordBody("guess")), 401, R"({"error":"wrong password"})"},
        {"not JSON", LoginRequest("password=x"), 400, R"({"error":"bad request"})"},
        {"form type", LoginRequest(PasswordBody(kOperatorPassword), "application/x-www-form-urlencoded"), 415,
         R"({"error":"bad request"})"},
        {"no type", LoginRequest(PasswordBody(kOperatorPassword), ""), 415, R"({"error":"bad request"})"},
        {"GET", "GET /api/login HTTP/1.1\r\n\r\n", 405, R"({"error":"method not allowed"})"},
    };
    for (const Case& c : cases) {
        const HttpResult result = Exchange(port, c.request);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.body, c.body) << c.what;
        EXPECT_EQ(result.field("Set-Cookie").isEmpty(), c.status != 200) << c.what;
    }
}

TEST_F(WebConsoleServerTest, NoViewerPasswordNoViewer)
{
    hashes.viewerHash.clear();
    EXPECT_EQ(Exchange(port, LoginRequest(PasswordBody(kViewerPassword))).status, 401);
    EXPECT_EQ(Exchange(port, LoginRequest(PasswordBody(""))).status, 401);
}

TEST_F(WebConsoleServerTest, FiveFailuresBlockTheAddress)
{
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Exchange(port, LoginRequest(PasswordBody("wrong"))).status, 401) << i;
    const HttpResult blocked = Exchange(port, LoginRequest(PasswordBody(kOperatorPassword)));
    EXPECT_EQ(blocked.status, 429) << "even with the right password";
    EXPECT_EQ(blocked.body, R"({"error":"too many attempts"})");
}

TEST_F(WebConsoleServerTest, ManyLoginsAtOnceTryAtMostFivePasswords)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    QByteArray received[12];
    for (int i = 0; i < 12; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket* socket = sockets.back().get();
        QObject::connect(socket, &QTcpSocket::readyRead, socket,
                         [socket, &received, i] { received[i] += socket->readAll(); });
        socket->connectToHost(QHostAddress::LocalHost, port);
        socket->write(LoginRequest(PasswordBody("wrong")));
    }
    ASSERT_TRUE(WaitFor([&] {
        for (const auto& socket : sockets)
            if (socket->state() != QAbstractSocket::UnconnectedState)
                return false;
        return true;
    }));
    int wrong = 0;
    int tooMany = 0;
    for (const QByteArray& bytes : received) {
        const int status = ParseResult(bytes).status;
        wrong += status == 401 ? 1 : 0;
        tooMany += status == 429 ? 1 : 0;
    }
    EXPECT_EQ(wrong, 5);
    EXPECT_EQ(tooMany, 7);
}

TEST_F(WebConsoleServerTest, StatusesOfPagesAndLimits)
{
    const QByteArray bigField = "X-Pad: " + QByteArray(17 * 1024, 'a') + "\r\n";
    struct Case {
        const char* what;
        QByteArray request;
        int status;
    } cases[] = {
        {"page", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", 200},
        {"page, HTTP/1.0", "GET /index.html HTTP/1.0\r\n\r\n", 200},
        {"texts", "GET /api/texts HTTP/1.1\r\n\r\n", 200},
        {"missing file", "GET /static/none.js HTTP/1.1\r\n\r\n", 404},
        {"a folder", "GET /static HTTP/1.1\r\n\r\n", 404},
        {"dot-dot", "GET /static/../index.html HTTP/1.1\r\n\r\n", 404},
        {"dot-dot at the root", "GET /../../etc/passwd HTTP/1.1\r\n\r\n", 404},
        {"encoded dots", "GET /%2e%2e/index.html HTTP/1.1\r\n\r\n", 404},
        {"encoded slash", "GET /static%2f..%2findex.html HTTP/1.1\r\n\r\n", 404},
        {"absolute path", "GET //etc/passwd HTTP/1.1\r\n\r\n", 404},
        {"absolute form", "GET http://127.0.0.1/index.html HTTP/1.1\r\n\r\n", 404},
        {"backslash", "GET /..\\index.html HTTP/1.1\r\n\r\n", 404},
        {"resource path", "GET /:/web/index.html HTTP/1.1\r\n\r\n", 404},
        {"unknown API", "GET /api/nothing HTTP/1.1\r\n\r\n", 404},
        {"session without cookie", "GET /api/session HTTP/1.1\r\n\r\n", 401},
        {"session with a made-up cookie", "GET /api/session HTTP/1.1\r\nCookie: vantora_session=abc\r\n\r\n", 401},
        {"live without cookie", UpgradeRequest(1, "", "http://127.0.0.1:1"), 401},
        {"put", "PUT / HTTP/1.1\r\n\r\n", 405},
        {"head over 16 KiB", "GET / HTTP/1.1\r\n" + bigField + "\r\n", 431},
        {"head over 16 KiB, unended", "GET / HTTP/1.1\r\n" + bigField, 431},
        {"body over 4 KiB",
         "POST /api/login HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 4097\r\n\r\n", 413},
        {"chunked", "POST /api/login HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501},
        {"not HTTP", "HELLO\r\n\r\n", 400},
        {"plain upgrade to another path", "GET /api/livex HTTP/1.1\r\n\r\n", 404},
    };
    for (const Case& c : cases) {
        const HttpResult result = Exchange(port, c.request);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.field("Content-Security-Policy"), "default-src 'self'") << c.what;
        EXPECT_EQ(result.field("X-Content-Type-Options"), "nosniff") << c.what;
        EXPECT_EQ(result.field("Referrer-Policy"), "no-referrer") << c.what;
        EXPECT_EQ(result.field("X-Frame-Options"), "DENY") << c.what;
        EXPECT_TRUE(result.field("Access-Control-Allow-Origin").isEmpty()) << c.what;
    }
    const HttpResult page = Exchange(port, "GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(page.field("Content-Type"), "text/html; charset=utf-8");
    EXPECT_TRUE(page.body.contains("<!DOCTYPE html>"));
    EXPECT_TRUE(page.field("Cache-Control").isEmpty());
    const HttpResult texts = Exchange(port, "GET /api/texts HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(texts.body.startsWith(R"({"language":"en","texts":{)")) << texts.body.toStdString();
    EXPECT_EQ(texts.field("Cache-Control"), "no-store");
}

TEST_F(WebConsoleServerTest, UpgradeNeedsTheSessionAndTheSameOrigin)
{
    const QByteArray id = login(kOperatorPassword);
    const QByteArray own = "http://127.0.0.1:" + QByteArray::number(port);
    struct Case {
        const char* what;
        QByteArray request;
        int status;
    } cases[] = {
        {"no cookie", UpgradeRequest(port, "", own), 401},
        {"unknown cookie", UpgradeRequest(port, QByteArray(43, 'A'), own), 401},
        {"no Origin", UpgradeRequest(port, id, ""), 403},
        {"another site", UpgradeRequest(port, id, "http://evil.example"), 403},
        {"another port", UpgradeRequest(port, id, "http://127.0.0.1:1"), 403},
        {"null origin", UpgradeRequest(port, id, "null"), 403},
        {"not an upgrade", "GET /api/live HTTP/1.1\r\nCookie: vantora_session=" + id + "\r\n\r\n", 400},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exchange(port, c.request).status, c.status) << c.what;

    // The right cookie and origin: switched to the WebSocket.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    socket.write(UpgradeRequest(port, id, own));
    QByteArray received;
    ASSERT_TRUE(WaitFor([&] {
        received += socket.readAll();
        return received.contains("\r\n\r\n");
    }));
    EXPECT_TRUE(received.startsWith("HTTP/1.1 101")) << received.toStdString();

    Console other(port, id, QStringLiteral("http://evil.example"));
    EXPECT_FALSE(other.waitOpen());
}

TEST_F(WebConsoleServerTest, ConsoleGetsTheStateThenUpdatesAndTheCount)
{
    const QByteArray id = login(kOperatorPassword);
    Console first(port, id, origin());
    ASSERT_TRUE(first.waitOpen());
    int at = 0;
    QString state = first.next("state", at);
    EXPECT_TRUE(state.contains(R"("callsign":"OK1ABC")")) << state.toStdString();
    EXPECT_TRUE(state.contains(R"("position":123)"));
    EXPECT_TRUE(state.contains(R"("role":"operator")"));
    EXPECT_TRUE(state.contains(R"("consoles":1)"));
    EXPECT_EQ(server->consoleCount(), 1);

    const QByteArray viewerId = login(kViewerPassword);
    Console second(port, viewerId, origin());
    ASSERT_TRUE(second.waitOpen());
    int secondAt = 0;
    EXPECT_TRUE(second.next("state", secondAt).contains(R"("role":"viewer")"));
    EXPECT_TRUE(first.next("state", at).contains(R"("consoles":2)"));

    station.snapshot.rotator1.position = 200;
    server->stationChanged();
    EXPECT_TRUE(first.next("state", at).contains(R"("position":200)"));
    EXPECT_TRUE(second.next("state", secondAt).contains(R"("position":200)"));

    // Nothing changed: nothing sent.
    const std::size_t before = first.messages.size();
    server->stationChanged();
    station.snapshot.rotator1.position = 201;
    server->stationChanged();
    EXPECT_TRUE(first.next("state", at).contains(R"("position":201)"));
    EXPECT_EQ(first.messages.size(), before + 1);

    second.socket().close();
    EXPECT_TRUE(first.next("state", at).contains(R"("consoles":1)"));
    first.socket().close();
    // A closed console's connection no longer counts against the cap.
    EXPECT_TRUE(WaitFor([&] { return server->consoleCount() == 0 && server->connectionCount() == 0; }))
        << server->connectionCount() << " connections still counted";
}

TEST_F(WebConsoleServerTest, CommandsRepliesAndWhatTheStationGets)
{
    const QByteArray id = login(kOperatorPassword);
    Console console(port, id, origin());
    ASSERT_TRUE(console.waitOpen());
    int at = 0;
    console.send(R"({"cmd":"target","text":"E30"})");
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","ok":true})");
    console.send(R"({"cmd":"target","text":"xyz"})");
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","error":"not a target"})");
    console.send(R"({"cmd":"preset","n":3})");
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","ok":true})");
    console.send(R"({"cmd":"nonsense"})");
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","error":"bad command"})");
    console.socket().sendBinaryMessage("{\"cmd\":\"stop\"}");
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","error":"bad command"})");
    EXPECT_EQ(station.calls, (std::vector<std::string>{"From 5 127.0.0.1", "Target E30", "From 5 127.0.0.1",
                                                       "Target xyz", "From 5 127.0.0.1", "Preset 3"}));
}

TEST_F(WebConsoleServerTest, ViewerCommandsAreRefused)
{
    const QByteArray id = login(kViewerPassword);
    Console console(port, id, origin());
    ASSERT_TRUE(console.waitOpen());
    int at = 0;
    for (const char* command : {R"({"cmd":"stop"})", R"({"cmd":"target","text":"120"})", R"({"cmd":"jog","dir":"cw"})",
                                R"({"cmd":"tracking","source":"moon"})"}) {
        console.send(QString::fromUtf8(command));
        EXPECT_EQ(console.next("reply", at), R"({"type":"reply","error":"not allowed"})") << command;
    }
    EXPECT_TRUE(station.calls.empty());
}

TEST_F(WebConsoleServerTest, AtMostTwentyCommandsASecond)
{
    const QByteArray id = login(kOperatorPassword);
    Console console(port, id, origin());
    ASSERT_TRUE(console.waitOpen());
    for (int i = 0; i < 30; ++i)
        console.send(R"({"cmd":"stop"})");
    ASSERT_TRUE(WaitFor([&] {
        return console.count(R"({"type":"reply","ok":true})")
                   + console.count(R"({"type":"reply","error":"too many commands"})")
               == 30;
    }));
    // Sent at once, so all within one second.
    EXPECT_EQ(console.count(R"({"type":"reply","ok":true})"), 20);
    EXPECT_EQ(std::count(station.calls.begin(), station.calls.end(), "Stop"), 20);
}

TEST_F(WebConsoleServerTest, MessageOver4KiBClosesTheSocket)
{
    const QByteArray id = login(kOperatorPassword);
    Console console(port, id, origin());
    ASSERT_TRUE(console.waitOpen());
    int at = 0;
    const QString fits = QStringLiteral(R"({"cmd":"target","text":"%1"})").arg(QString(4000, QChar('1')));
    console.send(fits);
    EXPECT_EQ(console.next("reply", at), R"({"type":"reply","error":"not a target"})");
    console.send(QStringLiteral(R"({"cmd":"target","text":"%1"})").arg(QString(4100, QChar('1'))));
    EXPECT_TRUE(WaitFor([&] { return console.closed; }));
    EXPECT_EQ(server->consoleCount(), 0);
}

TEST_F(WebConsoleServerTest, AConsoleThatStopsReadingIsDropped)
{
    const QByteArray id = login(kOperatorPassword);
    QTcpSocket raw;
    raw.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1024);
    raw.setReadBufferSize(1024);  // and nothing is ever read
    raw.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] { return raw.state() == QAbstractSocket::ConnectedState; }));
    raw.write(UpgradeRequest(port, id, "http://127.0.0.1:" + QByteArray::number(port)));
    ASSERT_TRUE(WaitFor([&] { return server->consoleCount() == 1; }));
    // One-byte text messages, masked with a zero key: each gets a reply the client never takes.
    const QByteArray frame("\x81\x81\x00\x00\x00\x00x", 7);
    const QByteArray burst = frame.repeated(2000);
    int sent = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (sent < 40 && raw.bytesToWrite() < burst.size()) {
                raw.write(burst);
                ++sent;
            }
            return server->consoleCount() == 0;
        },
        60000))
        << "still connected after " << sent << " bursts";
}

TEST_F(WebConsoleServerTest, JogStopsWhenRepeatsStopOrTheConsoleCloses)
{
    const QByteArray id = login(kOperatorPassword);
    {
        Console console(port, id, origin());
        ASSERT_TRUE(console.waitOpen());
        console.send(R"({"cmd":"jog","dir":"cw"})");
        ASSERT_TRUE(WaitFor([&] { return !station.calls.empty() && station.calls.back() == "Jog 0 held"; }));
        // No repeat: released after 500 ms.
        EXPECT_TRUE(WaitFor([&] { return station.calls.back() == "Jog 0 released"; }, 5000));
        station.calls.clear();
        console.send(R"({"cmd":"jog","dir":"up"})");
        ASSERT_TRUE(WaitFor([&] { return !station.calls.empty() && station.calls.back() == "Jog 2 held"; }));
    }  // the tab closes
    EXPECT_TRUE(WaitFor([&] { return station.calls.back() == "Jog 2 released"; }, 5000));
}

TEST_F(WebConsoleServerTest, LogoutAndAPasswordChangeCloseTheSessionsConsoles)
{
    const QByteArray id = login(kOperatorPassword);
    Console console(port, id, origin());
    ASSERT_TRUE(console.waitOpen());
    EXPECT_EQ(Exchange(port, "POST /api/logout HTTP/1.1\r\nCookie: vantora_session=" + id + "\r\n\r\n").status, 200);
    EXPECT_TRUE(WaitFor([&] { return console.closed; }));

    const QByteArray viewer = login(kViewerPassword);
    Console watching(port, viewer, origin());
    ASSERT_TRUE(watching.waitOpen());
    server->passwordChanged(WebRole::Viewer);
    EXPECT_TRUE(WaitFor([&] { return watching.closed; }));
    EXPECT_EQ(Exchange(port, "GET /api/session HTTP/1.1\r\nCookie: vantora_session=" + viewer + "\r\n\r\n").status,
              401);
}

TEST_F(WebConsoleServerTest, SlowAndIdleClientsAreClosedAfterTenSeconds)
{
    QTcpSocket silent;
    QTcpSocket halfHead;
    QTcpSocket halfBody;
    for (QTcpSocket* socket : {&silent, &halfHead, &halfBody})
        socket->connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] { return server->connectionCount() == 3; }));
    halfHead.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    halfBody.write("POST /api/login HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 100\r\n\r\n{\"pass");
    // Trickling a byte now and then does not buy more time.
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, &halfHead, [&] { halfHead.write("X"); });
    trickle.start(1000);
    EXPECT_FALSE(WaitFor([&] { return server->connectionCount() < 3; }, 5000)) << "closed too early";
    EXPECT_TRUE(WaitFor(
        [&] {
            return silent.state() == QAbstractSocket::UnconnectedState
                   && halfHead.state() == QAbstractSocket::UnconnectedState
                   && halfBody.state() == QAbstractSocket::UnconnectedState;
        },
        15000));
    EXPECT_TRUE(WaitFor([&] { return server->connectionCount() == 0; }));
}

TEST_F(WebConsoleServerTest, ThirtyTwoConnectionsAtOnce)
{
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < WebConsoleServer::kMaxConnections; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    ASSERT_TRUE(WaitFor([&] { return server->connectionCount() == WebConsoleServer::kMaxConnections; }));
    QTcpSocket extra;
    extra.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(WaitFor([&] {
        return extra.state() == QAbstractSocket::ConnectedState || extra.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(WaitFor([&] { return extra.state() == QAbstractSocket::UnconnectedState; }))
        << "one too many is closed";
    EXPECT_EQ(server->connectionCount(), WebConsoleServer::kMaxConnections);
    idle.clear();
    ASSERT_TRUE(WaitFor([&] { return server->connectionCount() == 0; }));
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.1\r\n\r\n").status, 200);
}

TEST(WebConsoleListener, RefusalsAndStatus)
{
    RecordingStationControl station;
    WebPasswordHashes hashes;
    WebConsoleServer server(station, [&] { return hashes; });
    EXPECT_EQ(server.statusText(), "Switched off");
    EXPECT_FALSE(server.listen(WebSettings{}));  // off by default
    EXPECT_EQ(server.statusText(), "Switched off");

    EXPECT_TRUE(server.listen(WebSettings{true, "127.0.0.1", 0, "", ""})) << "loopback without a password";
    EXPECT_EQ(server.statusText(), QStringLiteral("Listening on http://127.0.0.1:%1").arg(server.serverPort()));

    EXPECT_FALSE(server.listen(WebSettings{true, "0.0.0.0", 0, "", ""}));
    EXPECT_EQ(server.statusText(), "Set an operator password first");
    const auto czech = [](const std::string& text) {
        return text == "Set an operator password first" ? std::string("CZ") : text;
    };
    EXPECT_EQ(server.statusText(czech), "CZ");
    hashes.operatorHash = Hashes().operatorHash;
    server.passwordChanged(WebRole::Operator);  // listens now
    EXPECT_TRUE(server.isListening());
    EXPECT_EQ(server.statusText(), QStringLiteral("Listening on http://0.0.0.0:%1").arg(server.serverPort()));

    EXPECT_FALSE(server.listen(WebSettings{true, "127.0.0.1", 0, "/no/such/cert.pem", "/no/such/key.pem"}));
    EXPECT_FALSE(server.isListening()) << "never plain HTTP instead";
    EXPECT_TRUE(server.statusText().startsWith("Cannot read /no/such/cert.pem: ")) << server.statusText().toStdString();
    EXPECT_FALSE(server.listen(WebSettings{true, "127.0.0.1", 0, "/no/such/cert.pem", ""}));
    EXPECT_EQ(server.statusText(), "Set both the certificate and the key");

    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    EXPECT_FALSE(server.listen(WebSettings{true, "127.0.0.1", taken.serverPort(), "", ""}));
    EXPECT_TRUE(server.statusText().startsWith(
        QStringLiteral("Cannot listen on http://127.0.0.1:%1: ").arg(taken.serverPort())))
        << server.statusText().toStdString();
}

class WebConsoleTlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        certificate = dir.filePath("cert.pem");
        key = dir.filePath("key.pem");
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", certificate,
                                  "-days", "2", "-subj", "/CN=127.0.0.1"});
        ASSERT_TRUE(openssl.waitForFinished(60000));
        ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
        server = std::make_unique<WebConsoleServer>(station, [] { return Hashes(); });
        ASSERT_TRUE(server->listen(WebSettings{true, "127.0.0.1", 0, certificate.toStdString(), key.toStdString()}))
            << server->statusText().toStdString();
        port = server->serverPort();
    }

    HttpResult tlsExchange(const QByteArray& request)
    {
        QSslSocket socket;
        socket.setPeerVerifyMode(QSslSocket::VerifyNone);
        socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        if (!WaitFor([&] { return socket.isEncrypted() || socket.state() == QAbstractSocket::UnconnectedState; })
            || !socket.isEncrypted())
            return {};
        return Exchange(socket, request);
    }

    QTemporaryDir dir;
    QString certificate;
    QString key;
    RecordingStationControl station;
    std::unique_ptr<WebConsoleServer> server;
    quint16 port = 0;
};

TEST_F(WebConsoleTlsTest, HttpsWorksAndPlainHttpIsRefused)
{
    EXPECT_TRUE(server->tls());
    EXPECT_EQ(server->statusText(), QStringLiteral("Listening on https://127.0.0.1:%1").arg(port));
    const HttpResult page = tlsExchange("GET / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("<!DOCTYPE html>"));

    const HttpResult login = tlsExchange(LoginRequest(PasswordBody(kOperatorPassword)));
    EXPECT_EQ(login.status, 200);
    EXPECT_TRUE(login.field("Set-Cookie").endsWith("; HttpOnly; SameSite=Strict; Path=/; Secure"))
        << login.field("Set-Cookie").toStdString();

    const HttpResult plain = Exchange(port, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(plain.status, 0) << "no HTTP over the TLS port";
    EXPECT_TRUE(WaitFor([&] { return server->connectionCount() == 0; }));
}

TEST_F(WebConsoleTlsTest, UnreadableKeyMeansNoListener)
{
    WebConsoleServer other(station, [] { return Hashes(); });
    EXPECT_FALSE(other.listen(WebSettings{true, "127.0.0.1", 0, certificate.toStdString(), certificate.toStdString()}));
    EXPECT_EQ(other.statusText(), QStringLiteral("Cannot read %1: not a PEM private key").arg(certificate));
    EXPECT_FALSE(other.listen(WebSettings{true, "127.0.0.1", 0, key.toStdString(), key.toStdString()}));
    EXPECT_EQ(other.statusText(), QStringLiteral("Cannot read %1: not a PEM certificate").arg(key));
}

}  // namespace
}  // namespace vantora
