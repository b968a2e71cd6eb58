// The web console of the running program against the simulated unit: the operator password set
// with the command line, a login, a live console that follows the unit's position, and a target,
// E30, STOP and a preset that reach the unit; a viewer's command reaches nothing.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <vector>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QByteArray Login(quint16 port, const QByteArray& password)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }))
        return {};
    const QByteArray body = "{\"password\":\"" + password + "\"}";
    socket.write("POST /api/login HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray reply;
    WaitFor([&] {
        reply += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    });
    reply += socket.readAll();
    const qsizetype at = reply.indexOf("vantora_session=");
    if (at < 0)
        return {};
    return reply.mid(at + 16, 43);
}

class LiveConsole {
public:
    LiveConsole(quint16 port, const QByteArray& cookie) : m_socket(QStringLiteral("http://127.0.0.1:%1").arg(port))
    {
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, &m_socket, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.value("type").toString() == "state")
                state = message;
            else if (message.value("type").toString() == "reply")
                replies.push_back(text);
        });
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port)));
        request.setRawHeader("Cookie", "vantora_session=" + cookie);
        m_socket.open(request);
    }
    bool open()
    {
        return WaitFor([&] { return !state.isEmpty(); });
    }
    QString command(const QString& json)
    {
        const std::size_t before = replies.size();
        m_socket.sendTextMessage(json);
        WaitFor([&] { return replies.size() > before; });
        return replies.size() > before ? replies.back() : QString();
    }
    int position(int rotator) const
    {
        return state.value(QStringLiteral("rotator%1").arg(rotator)).toObject().value("position").toInt(-1);
    }

    QJsonObject state;
    std::vector<QString> replies;

private:
    QWebSocket m_socket;
};

TEST(WebConsoleEndToEnd, ConsoleFollowsTheUnitAndCommandsReachIt)
{
    EndToEnd e2e;
    ASSERT_TRUE(e2e.ready());
    const quint16 port = FreePort();
    qputenv("VANTORA_WEB_PORT", QByteArray::number(port));
    e2e.writeSettings({"RegVersion=1.09", "WebEnabled=1", "preset_a1=45", "preset_e1=10"});
    for (const auto& [role, password] :
         {std::pair{"operator", "operator secret"}, std::pair{"viewer", "viewer secret"}}) {
        QProcess command;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VANTORA_SETTINGS", e2e.settingsPath());
        command.setProcessEnvironment(environment);
        command.start(qEnvironmentVariable("VANTORA_BIN"), {"--set-web-password", role});
        ASSERT_TRUE(command.waitForStarted());
        command.write(QByteArray(password) + "\n" + password + "\n");
        command.closeWriteChannel();
        ASSERT_TRUE(command.waitForFinished(30000));
        ASSERT_EQ(command.exitCode(), 0) << command.readAllStandardError().toStdString();
    }
    ASSERT_TRUE(e2e.startUnit({"--az-speed", "30", "--el-speed", "30"}));
    ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    e2e.focusMain();

    const QByteArray cookie = Login(port, "operator secret");
    ASSERT_EQ(cookie.size(), 43) << e2e.programOutput().toStdString();
    LiveConsole console(port, cookie);
    ASSERT_TRUE(console.open());
    EXPECT_EQ(console.state.value("role").toString(), "operator");
    ASSERT_TRUE(WaitFor([&] { return console.state.value("link").toObject().value("fresh").toBool(); }));

    EXPECT_EQ(console.command(R"({"cmd":"target","text":"120"})"), R"({"type":"reply","ok":true})");
    EXPECT_TRUE(WaitFor([&] {
        const auto truth = e2e.unitTruth();
        return truth && truth->position1 >= 20;
    })) << "the unit turns toward 120";
    // The console follows the unit's own position.
    EXPECT_TRUE(WaitFor([&] {
        const auto truth = e2e.unitTruth();
        return truth && truth->position1 >= 30 && console.position(1) >= 30;
    }));
    EXPECT_EQ(console.state.value("lastCommand").toObject().value("source").toString(), "web");
    EXPECT_EQ(console.command(R"({"cmd":"stop"})"), R"({"type":"reply","ok":true})");
    QTest::qWait(500);
    const int stopped = e2e.unitTruth()->position1;
    QTest::qWait(1000);
    EXPECT_EQ(e2e.unitTruth()->position1, stopped) << "STOP reached the unit";
    EXPECT_LT(stopped, 120);

    EXPECT_EQ(console.command(R"({"cmd":"target","text":"E30"})"), R"({"type":"reply","ok":true})");
    EXPECT_TRUE(WaitFor([&] {
        const auto truth = e2e.unitTruth();
        return truth && truth->position2 == 30;
    })) << "the elevation go-to reached the unit";

    const QByteArray viewerCookie = Login(port, "viewer secret");
    LiveConsole viewer(port, viewerCookie);
    ASSERT_TRUE(viewer.open());
    EXPECT_EQ(viewer.command(R"({"cmd":"preset","n":1})"), R"({"type":"reply","error":"not allowed"})");
    QTest::qWait(1000);
    EXPECT_EQ(e2e.unitTruth()->position2, 30) << "nothing moved for the viewer";

    EXPECT_EQ(console.command(R"({"cmd":"preset","n":1})"), R"({"type":"reply","ok":true})");
    EXPECT_TRUE(WaitFor([&] {
        const auto truth = e2e.unitTruth();
        return truth && truth->position1 == 45 && truth->position2 == 10;
    })) << "preset 1 reached the unit";
    qunsetenv("VANTORA_WEB_PORT");
}

}  // namespace
}  // namespace vantora
