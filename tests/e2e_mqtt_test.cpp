// The running program on a real MQTT broker (mosquitto started here) with the simulated unit:
// the retained topics appear and follow the unit's motion; targets, a locator and STOP sent
// through the broker reach the unit; bad payloads reach nothing and say why; a killed program
// leaves its last will; a broker that goes away for 10 s gets fresh values when it returns while
// the poll goes on; a wrong password is refused and said so; TLS with the test's own CA; and the
// program without a window (--headless) on the broker too.

#include "geo/locator.h"
#include "support/e2e_harness.h"
#include "support/event_wait.h"
#include "support/headless_run.h"
#include "support/mqtt_broker.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

#include <optional>

namespace vantora {
namespace {

using test::EndToEnd;
using test::MqttBroker;
using test::MqttWatcher;
using test::SeenMessage;
using test::WaitFor;

constexpr char kPrefix[] = "e2e/ok1abc";
constexpr char kHome[] = "JO70FD";

QString Topic(const char* suffix)
{
    return QString(kPrefix) + "/" + suffix;
}

class MqttEndToEnd : public ::testing::Test {
protected:
    // The program with the bridge enabled towards `broker` at `host`; `extra` settings lines after ours.
    void start(MqttBroker& broker, const QStringList& extra = {}, const QString& host = "127.0.0.1")
    {
        QStringList settings{"RegVersion=1.09",
                             "Znacka=OK1ABC",
                             QString("Lokator=") + kHome,
                             "MqttEnabled=1",
                             "MqttHost=" + host,
                             "MqttPort=" + QString::number(broker.port()),
                             QString("MqttTopic=") + kPrefix};
        e2e.writeSettings(settings + extra);
        ASSERT_TRUE(e2e.startUnit(QStringList{"--az-speed", "60", "--el-speed", "30", "--timing-log", timingPath()}));
        ASSERT_TRUE(e2e.startProgram()) << programOutput().toStdString();
    }

    // Everything the program wrote so far (the harness hands out each part once).
    QByteArray programOutput()
    {
        m_output += e2e.programOutput();
        return m_output;
    }

    QString timingPath() const { return QDir(e2e.dir()).filePath("timing"); }

    // The unit's frame times (ms of the simulator's clock) from line `from` on.
    QList<qint64> frameTimes(int from = 0) const
    {
        QFile timing(timingPath());
        QList<qint64> times;
        if (!timing.open(QIODevice::ReadOnly))
            return times;
        const QList<QByteArray> lines = timing.readAll().split('\n');
        for (int i = from; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                times.append(lines[i].split(' ').first().toLongLong());
        return times;
    }

    bool unitReaches(const std::function<bool(const test::UnitTruth&)>& done, int limitMs = 20000)
    {
        return WaitFor(
            [&] {
                const auto truth = e2e.unitTruth();
                return truth && done(*truth);
            },
            limitMs);
    }

    EndToEnd e2e;
    QByteArray m_output;
};

TEST_F(MqttEndToEnd, RetainedTopicsFollowTheUnitAndCommandsReachIt)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher watcher(broker, QString(kPrefix) + "/#");
    ASSERT_TRUE(watcher.ok());
    start(broker);

    ASSERT_TRUE(watcher.waitFor(Topic("status"), "online", 15000)) << programOutput().toStdString();
    ASSERT_TRUE(watcher.waitFor(Topic("link"), "fresh", 15000));
    auto retained = broker.retained(QString(kPrefix) + "/#");
    for (const char* suffix : {"status", "rotator1/azimuth", "rotator2/elevation", "rotator1/setpoint",
                               "rotator2/setpoint", "link", "tracking", "state"})
        EXPECT_EQ(retained.count(Topic(suffix)), 1u) << suffix;
    EXPECT_TRUE(retained[Topic("state")].contains("\"callsign\":\"OK1ABC\",\"locator\":\"JO70FD\""));

    // A whole azimuth through the target box's rules: the unit turns, the topic follows it.
    ASSERT_TRUE(broker.publish(Topic("set/target"), "120"));
    ASSERT_TRUE(unitReaches([](const test::UnitTruth& t) { return t.position1 == 120; }));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/setpoint"), "120"));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator1/azimuth"), "120", 10000));
    // On its way it passed through values in between, each published as it was reported.
    int between = 0;
    for (const SeenMessage& message : watcher.messages())
        if (message.topic == Topic("rotator1/azimuth") && message.payload.toInt() > 0 && message.payload.toInt() < 120)
            ++between;
    EXPECT_GE(between, 3);

    // Elevation through the box's "E".
    ASSERT_TRUE(broker.publish(Topic("set/target"), "E30"));
    ASSERT_TRUE(unitReaches([](const test::UnitTruth& t) { return t.position2 == 30; }));
    EXPECT_TRUE(watcher.waitFor(Topic("rotator2/elevation"), "30", 10000));

    // A locator: the bearing from home, as when typed.
    const char* locator = "IO91WM";
    const int bearing = VypLocAzm(HomePosition(kHome), VypLoc(locator));
    ASSERT_TRUE(broker.publish(Topic("set/target"), locator));
    ASSERT_TRUE(unitReaches([&](const test::UnitTruth& t) { return t.position1 == bearing; })) << "bearing " << bearing;

    // A number on set/azimuth, then STOP while the unit turns towards it.
    const int from = e2e.unitTruth()->position1;
    const int far = (from + 180) % 360;
    ASSERT_TRUE(broker.publish(Topic("set/azimuth"), QByteArray::number(far)));
    ASSERT_TRUE(unitReaches([&](const test::UnitTruth& t) { return t.position1 != from; }));
    ASSERT_TRUE(broker.publish(Topic("set/stop"), ""));
    QThread::msleep(1000);
    const int stoppedAt = e2e.unitTruth()->position1;
    QThread::msleep(1000);
    EXPECT_EQ(e2e.unitTruth()->position1, stoppedAt);
    EXPECT_NE(stoppedAt, far);
}

TEST_F(MqttEndToEnd, BadPayloadsReachNothingAndSayWhy)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    // A command left retained on the broker: an old one by the time the program connects.
    ASSERT_TRUE(broker.publish(Topic("set/azimuth"), "200", true));
    MqttWatcher watcher(broker, QString(kPrefix) + "/#");
    ASSERT_TRUE(watcher.ok());
    start(broker);
    ASSERT_TRUE(watcher.waitFor(Topic("link"), "fresh", 15000));
    EXPECT_TRUE(watcher.waitFor(Topic("error"), "set/azimuth: retained command ignored"));
    const auto before = e2e.unitTruth();
    ASSERT_TRUE(before);

    struct Case {
        const char* suffix;
        QByteArray payload;
        bool retain;
        QByteArray reason;
    };
    const Case cases[] = {
        {"set/azimuth", "east", false, "set/azimuth: not a number"},
        {"set/azimuth", "600", false, "set/azimuth: out of range -180..540"},
        {"set/elevation", "-3", false, "set/elevation: out of range 0..180"},
        {"set/target", "XX99", false, "set/target: target not understood"},
        {"set/target", QByteArray(257, '1'), false, "set/target: payload longer than 256 bytes"},
        {"set/target", "\xff\xfe", false, "set/target: payload is not UTF-8"},
        {"set/preset", "0", false, "set/preset: not a preset 1..8"},
        {"set/tracking", "venus", false, "set/tracking: not off, moon or sun"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(broker.publish(Topic(c.suffix), c.payload, c.retain));
        EXPECT_TRUE(watcher.waitFor(Topic("error"), c.reason)) << c.reason.toStdString();
    }
    QThread::msleep(1000);
    const auto after = e2e.unitTruth();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->position1, before->position1);
    EXPECT_EQ(after->position2, before->position2);
    // The setpoints were not touched either.
    EXPECT_EQ(watcher.last(Topic("rotator1/setpoint")).value_or("?"), "0");
}

TEST_F(MqttEndToEnd, AKilledProgramLeavesItsLastWill)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    MqttWatcher watcher(broker, Topic("status"));
    ASSERT_TRUE(watcher.ok());
    start(broker);
    ASSERT_TRUE(watcher.waitFor(Topic("status"), "online", 15000));
    ASSERT_GT(e2e.programPid(), 0);
    ::kill(static_cast<pid_t>(e2e.programPid()), SIGKILL);
    EXPECT_TRUE(watcher.waitFor(Topic("status"), "offline", 10000));
    EXPECT_EQ(broker.retained(Topic("status")).at(Topic("status")), "offline");
}

TEST_F(MqttEndToEnd, ABrokerAwayForTenSecondsGetsFreshValuesAndThePollGoesOn)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    start(broker);
    ASSERT_TRUE(WaitFor([&] { return broker.retained(Topic("link"), 1000).count(Topic("link")) == 1; }, 15000));
    ASSERT_TRUE(WaitFor([&] { return frameTimes().size() > 40; }, 10000));

    broker.stop();
    const int firstFrame = frameTimes().size();
    QThread::msleep(10000);
    const QList<qint64> during = frameTimes(firstFrame);
    // The unit moves while the broker is away: the values to come are new ones.
    e2e.tcp("$01#077@");  // port 1023's go-to
    ASSERT_TRUE(unitReaches([](const test::UnitTruth& t) { return t.position1 == 77; }));
    ASSERT_TRUE(broker.start());

    // Back within the longest wait the back-off reached (8 s after 10 s away), with fresh values.
    std::map<QString, QByteArray> retained;
    EXPECT_TRUE(WaitFor(
        [&] {
            retained = broker.retained(QString(kPrefix) + "/#", 1000);
            // A --retained-only subscription ends at the first live message: ask until the last
            // value published (the state document) is among them.
            return retained[Topic("rotator1/azimuth")] == "77" && retained[Topic("status")] == "online"
                   && retained[Topic("state")].contains("\"azimuth\":77");
        },
        40000))
        << programOutput().toStdString();

    // The poll went on at its pace while the bridge failed to connect: a blocked GUI thread would
    // show as a gap of seconds, and as a lack of frames.
    ASSERT_GT(during.size(), 1);
    qint64 longestGap = 0;
    for (int i = 1; i < during.size(); ++i)
        longestGap = std::max(longestGap, during[i] - during[i - 1]);
    EXPECT_GE(during.size(), 150) << "frames in 10 s at 20 Hz";
    EXPECT_LT(longestGap, 1000);
    const QString output = QString::fromUtf8(programOutput());
    EXPECT_TRUE(output.contains("vantora: MQTT: Reconnecting in")) << output.toStdString();
}

TEST_F(MqttEndToEnd, AWrongPasswordIsRefusedAndTheStatusSaysSo)
{
    MqttBroker broker({"vantora", "correct", false});
    ASSERT_TRUE(broker.start());
    start(broker, {"MqttUser=vantora", "MqttPassword=wrong"});
    ASSERT_TRUE(WaitFor([&] { return programOutput().contains("refused"); }, 15000));
    const QString output = QString::fromUtf8(programOutput());
    EXPECT_TRUE(output.contains("vantora: MQTT: Reconnecting in 1 s: the broker refused")) << output.toStdString();
    EXPECT_TRUE(broker.retained(Topic("status"), 1000).empty());
}

TEST_F(MqttEndToEnd, TlsWithASelfSignedCertificate)
{
    MqttBroker broker({{}, {}, true});
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    start(broker, {"MqttTls=1", "MqttCaFile=" + broker.caFile()}, "localhost");
    EXPECT_TRUE(WaitFor([&] { return broker.retained(Topic("status"), 1000)[Topic("status")] == "online"; }, 15000))
        << programOutput().toStdString();
    EXPECT_TRUE(WaitFor([&] { return broker.retained(Topic("link"), 1000)[Topic("link")] == "fresh"; }, 15000));
}

TEST(MqttHeadless, TheProgramWithoutAWindowJoinsTheBrokerToo)
{
    MqttBroker broker;
    ASSERT_TRUE(broker.start());
    test::HeadlessRun run;
    run.writeSettings({"RegVersion=1.09", "Port=1", "Znacka=OK1HL", "MqttEnabled=1", "MqttHost=127.0.0.1",
                       "MqttPort=" + QString::number(broker.port())});
    ASSERT_TRUE(run.startUnit({"--az-speed", "60"}));
    ASSERT_TRUE(run.startProgram());
    ASSERT_TRUE(run.waitForLine("MQTT: Connected to 127.0.0.1:" + QString::number(broker.port()), 30000))
        << run.errors().toStdString();
    // The default prefix from the callsign; a command reaches the unit and names its source.
    ASSERT_TRUE(
        WaitFor([&] { return broker.retained("vantora/ok1hl/link", 1000)["vantora/ok1hl/link"] == "fresh"; }, 30000));
    ASSERT_TRUE(broker.publish("vantora/ok1hl/set/target", "45"));
    EXPECT_TRUE(WaitFor([&] { return run.unitPosition(1) == 45; }, 30000));
    EXPECT_TRUE(run.waitForLine("target from MQTT: 45", 30000)) << run.errors().toStdString();
    // Ended as a service is ended: "offline" either way (said by the bridge, or by the broker's
    // last will when the signal ends the process at once).
    run.signalProgram(SIGTERM);
    EXPECT_TRUE(WaitFor([&] { return !run.programRunning(); }, 30000));
    EXPECT_EQ(broker.retained("vantora/ok1hl/status")["vantora/ok1hl/status"], "offline");
}

}  // namespace
}  // namespace vantora
