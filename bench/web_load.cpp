// Browser consoles for bench/report: logs in to the web console, keeps N live WebSockets open for
// a while and writes, for every state whose rotator 1 position changed, the steady clock's time
// of arrival (ms, the clock the simulator's --timing-origin gives), the console and the position.
// Optionally one console keeps rotator 1 turning, and flooding clients send bad requests and
// wrong logins as fast as the server answers them.
//
//   web_load --port 8733 --password 'bench password' --consoles 20 --seconds 10 --out states.txt
//            [--drive] [--flood 2]
//
// Prints one line of key=value figures: consoles connected, states received, flood requests.

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>
#include <QWebSocket>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double SteadyMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One blocking HTTP exchange on loopback; the whole reply.
QByteArray Exchange(quint16 port, const QByteArray& request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QByteArray reply;
    while (socket.waitForReadyRead(5000))
        reply += socket.readAll();
    return reply + socket.readAll();
}

QByteArray Login(quint16 port, const QByteArray& password)
{
    const QByteArray body = "{\"password\":\"" + password + "\"}";
    const QByteArray reply =
        Exchange(port,
                 "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                 "Content-Length: "
                     + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    const qsizetype at = reply.indexOf("vantora_session=");
    if (at < 0)
        return {};
    const qsizetype start = at + 16;
    return reply.mid(start, reply.indexOf(';', start) - start);
}

// A client that sends a bad request or a wrong login on a new connection as soon as the last one
// was answered.
class Flooder : public QObject {
public:
    Flooder(quint16 port, long& count) : m_port(port), m_count(count) { next(); }

private:
    void next()
    {
        m_socket = std::make_unique<QTcpSocket>();
        QTcpSocket* socket = m_socket.get();
        connect(socket, &QTcpSocket::connected, this, [this, socket] {
            static const QByteArray kWrongLogin =
                "POST /api/login HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: "
                "19\r\n\r\n{\"password\":\"nope\"}";
            socket->write((m_count % 2) ? kWrongLogin : QByteArray("GET /../../etc/passwd HTTP/1.1\r\n\r\n"));
        });
        connect(socket, &QTcpSocket::readyRead, this, [socket] { socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            ++m_count;
            QTimer::singleShot(0, this, [this] { next(); });
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError && socket->state() == QAbstractSocket::UnconnectedState)
                QTimer::singleShot(10, this, [this] { next(); });
        });
        socket->connectToHost(QHostAddress::LocalHost, m_port);
    }

    quint16 m_port;
    long& m_count;
    std::unique_ptr<QTcpSocket> m_socket;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    quint16 port = 8733;
    QByteArray password;
    int consoles = 20;
    int seconds = 10;
    int flooders = 0;
    bool drive = false;
    QString outPath;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == "--port")
            port = static_cast<quint16>(value.toUInt()), ++i;
        else if (a == "--password")
            password = value.toUtf8(), ++i;
        else if (a == "--consoles")
            consoles = value.toInt(), ++i;
        else if (a == "--seconds")
            seconds = value.toInt(), ++i;
        else if (a == "--flood")
            flooders = value.toInt(), ++i;
        else if (a == "--out")
            outPath = value, ++i;
        else if (a == "--drive")
            drive = true;
        else {
            std::fprintf(stderr, "web_load: unknown option %s\n", qPrintable(a));
            return 2;
        }
    }
    const QByteArray cookie = Login(port, password);
    if (cookie.isEmpty()) {
        std::fprintf(stderr, "web_load: login failed on port %u\n", port);
        return 1;
    }
    QFile out(outPath.isEmpty() ? QStringLiteral("/dev/null") : outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream lines(&out);
    lines.setRealNumberNotation(QTextStream::FixedNotation);
    lines.setRealNumberPrecision(3);

    long states = 0;
    int connected = 0;
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    std::vector<int> lastPosition(static_cast<std::size_t>(consoles), -1);
    for (int i = 0; i < consoles; ++i) {
        auto socket = std::make_unique<QWebSocket>(QStringLiteral("http://127.0.0.1:%1").arg(port));
        QWebSocket* ws = socket.get();
        QObject::connect(ws, &QWebSocket::connected, ws, [&connected] { ++connected; });
        QObject::connect(ws, &QWebSocket::textMessageReceived, ws, [&, i, ws](const QString& message) {
            const double at = SteadyMs();
            if (!message.contains(QStringLiteral("\"type\":\"state\"")))
                return;
            ++states;
            const QJsonObject rotator = QJsonDocument::fromJson(message.toUtf8()).object().value("rotator1").toObject();
            const int position = rotator.value("position").toInt();
            if (position != lastPosition[static_cast<std::size_t>(i)]) {
                if (lastPosition[static_cast<std::size_t>(i)] >= 0)
                    lines << at << ' ' << i << ' ' << position << '\n';
                lastPosition[static_cast<std::size_t>(i)] = position;
            }
            // Keeps the rotator turning from one end to the other.
            if (drive && i == 0 && rotator.value("status").toString() == QStringLiteral("idle"))
                ws->sendTextMessage(
                    QStringLiteral("{\"cmd\":\"target\",\"text\":\"%1\"}").arg(position < 180 ? 359 : 1));
        });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port)));
        request.setRawHeader("Cookie", "vantora_session=" + cookie);
        ws->open(request);
        sockets.push_back(std::move(socket));
    }
    long flooded = 0;
    std::vector<std::unique_ptr<Flooder>> flood;
    for (int i = 0; i < flooders; ++i)
        flood.push_back(std::make_unique<Flooder>(port, flooded));
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    lines.flush();
    int open = 0;
    for (const auto& socket : sockets)
        open += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    std::printf("consoles=%d open=%d states=%ld flood_requests=%ld\n", connected, open, states, flooded);
    return 0;
}
