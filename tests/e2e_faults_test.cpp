// Fault runs: the real program against the real simulator on a poor line, through a long
// silence of the unit, and across the loss and return of its pseudo-terminal. The program must
// keep running and answering TCP, its read-out must come back to where the unit really stands,
// and what the operator set must survive.
//
// Waiting limits are generous (the suite also runs under AddressSanitizer); nothing here
// asserts how fast anything happens.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include <unistd.h>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

constexpr int kConvergeMs = 60000;

// "$00#090@" -> 90; anything else (no reply, a malformed one) -> nothing.
std::optional<int> ParseReadout(const QByteArray& reply)
{
    static const QRegularExpression format(QStringLiteral("^\\$00#(\\d{3})@$"));
    const QRegularExpressionMatch match = format.match(QString::fromLatin1(reply));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

class FaultRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = {"RegVersion=1.09", "Lokator=JO70AA", "Znacka=OK1FLT", "Port=1", "Zoom=6", "View=0",
                    "preset_a0=45",    "preset_e0=10",   "preset_1=Moonrise", "preset_a1=95", "preset_e1=5"};
    }

    QString timingPath() const { return QDir(e2e.dir()).filePath("timing"); }

    void start(const QStringList& unitArguments)
    {
        e2e.writeSettings(settings);
        ASSERT_TRUE(e2e.startUnit(unitArguments + QStringList{"--timing-log", timingPath()}));
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    // The unit's own clock (ms since it started) at the last command frame it received; the
    // program polls every 50 ms, so this follows the unit's clock closely.
    std::optional<double> unitClockMs() const
    {
        QFile timing(timingPath());
        if (!timing.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QList<QByteArray> lines = timing.readAll().trimmed().split('\n');
        bool ok = false;
        const double ms = lines.last().split(' ').first().toDouble(&ok);
        return ok ? std::optional<double>(ms) : std::nullopt;
    }

    // Unit clock at the first manual-drive poll: the program sends it only after the version
    // report came in, i.e. once the link is up.
    std::optional<double> handshakeDoneAtMs() const
    {
        QFile timing(timingPath());
        if (!timing.open(QIODevice::ReadOnly))
            return std::nullopt;
        for (const QByteArray& line : timing.readAll().split('\n')) {
            if (line.endsWith(" 12"))
                return line.split(' ').first().toDouble();
        }
        return std::nullopt;
    }

    std::optional<int> readout(int waitMs = 500) const { return ParseReadout(e2e.tcp("$00", waitMs)); }

    std::function<bool()> unitAt(int position1, std::optional<int> position2 = std::nullopt) const
    {
        return [this, position1, position2] {
            const auto truth = e2e.unitTruth();
            return truth && truth->position1 == position1 && (!position2 || truth->position2 == *position2);
        };
    }

    bool unitReaches(int position1, std::optional<int> position2 = std::nullopt)
    {
        return WaitFor(unitAt(position1, position2), kConvergeMs);
    }

    // The read-out shows where the unit's rotator 1 stands; call it once the unit is at rest.
    ::testing::AssertionResult readoutConverges()
    {
        std::optional<int> shown;
        std::optional<test::UnitTruth> truth;
        const bool met = WaitFor([&] {
            truth = e2e.unitTruth();
            shown = readout();
            return truth && shown == truth->position1;
        }, kConvergeMs);
        if (met)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << "read-out " << (shown ? std::to_string(*shown) : std::string("none")) << ", unit at "
            << (truth ? std::to_string(truth->position1) : std::string("unknown"));
    }

    // True when the program has `device` open, also when the device has gone away meanwhile
    // (the kernel then shows the descriptor's target as "<path> (deleted)").
    bool programHolds(const QString& device) const
    {
        const qint64 pid = e2e.programPid();
        if (pid <= 0 || device.isEmpty())
            return false;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char target[4096];
            const ssize_t size = ::readlink(fds.filePath(fd).toLocal8Bit().constData(), target, sizeof target - 1);
            if (size <= 0)
                continue;
            const QString path = QString::fromLocal8Bit(target, static_cast<int>(size));
            if (path == device || path == device + " (deleted)")
                return true;
        }
        return false;
    }

    struct Watch {
        bool done = false;
        int replies = 0;
        QStringList strays;  // replies that were no read-out, or one not allowed
    };

    // Asks for the read-out over one connection as fast as the program answers, until `done`
    // holds or the limit passes. A read-out shown for a single poll tick is seen this way too.
    Watch watchReadout(const std::function<bool(int)>& allowed, const std::function<bool()>& done,
                       int limitMs = kConvergeMs)
    {
        static const QRegularExpression format(QStringLiteral("^\\$00#(\\d+)@$"));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, e2e.tcpPort());
        const bool connected = socket.waitForConnected(3000);
        Watch watch;
        watch.done = WaitFor([&] {
            if (connected) {
                socket.write("$00");
                socket.waitForBytesWritten(1000);
                QByteArray reply;
                while (!reply.endsWith('@') && socket.waitForReadyRead(2000))
                    reply += socket.readAll();
                ++watch.replies;
                const QRegularExpressionMatch match = format.match(QString::fromLatin1(reply));
                if ((!match.hasMatch() || !allowed(match.captured(1).toInt())) && watch.strays.size() < 10)
                    watch.strays << QString::fromLatin1(reply);
            }
            return done();
        }, limitMs);
        if (!connected)
            watch.strays << "no connection";
        return watch;
    }

    static std::function<bool()> after(int ms)
    {
        auto clock = std::make_shared<QElapsedTimer>();
        clock->start();
        return [clock, ms] { return clock->hasExpired(ms); };
    }

    EndToEnd e2e;
    QStringList settings;
};

TEST_F(FaultRun, PoorLineReadOutConvergesAndTheOperatorsSettingsSurvive)
{
    start({"--az-speed", "30", "--el-speed", "15", "--drop", "10", "--corrupt", "10", "--split", "10", "--merge",
           "10", "--seed", "7"});
    ASSERT_TRUE(WaitFor([&] { return handshakeDoneAtMs().has_value(); }, kConvergeMs));
    const QString storedAtStart = e2e.readSettings();

    // The operator changes the layout while the line is bad. (Done first: the arrow keys that
    // walk the menu bar also nudge rotator 1 for a moment.)
    e2e.key("alt Right Down Down Return");  // View, Compact H
    ASSERT_TRUE(WaitFor([&] { return e2e.focusMain(); }));

    // Every read-out shown on the way is one the unit passed, never a value made up from a
    // spoiled frame; at rest it stays on the unit's position.
    const auto between = [](int low, int high) { return [low, high](int a) { return a >= low && a <= high; }; };
    e2e.type("90\n");
    Watch watch = watchReadout(between(0, 90), unitAt(90));
    ASSERT_TRUE(watch.done);
    EXPECT_TRUE(watch.strays.isEmpty()) << watch.strays.join(' ').toStdString();
    EXPECT_TRUE(readoutConverges());

    // Rotator 2 turns; rotator 1's read-out holds still meanwhile.
    e2e.type("E30\n");
    watch = watchReadout(between(90, 90), unitAt(90, 30));
    ASSERT_TRUE(watch.done);
    EXPECT_TRUE(watch.strays.isEmpty()) << watch.strays.join(' ').toStdString();

    // 90 to 270 goes the long way, through north.
    e2e.type("270\n");
    watch = watchReadout([](int a) { return (a >= 0 && a <= 90) || (a >= 270 && a <= 359); }, unitAt(270));
    ASSERT_TRUE(watch.done);
    EXPECT_TRUE(watch.strays.isEmpty()) << watch.strays.join(' ').toStdString();
    EXPECT_TRUE(readoutConverges());
    watch = watchReadout(between(270, 270), after(4000));
    EXPECT_GT(watch.replies, 0);
    EXPECT_TRUE(watch.strays.isEmpty()) << watch.strays.join(' ').toStdString();
    EXPECT_TRUE(e2e.programRunning());

    // Nothing wrote to the settings while the program ran.
    EXPECT_EQ(e2e.readSettings(), storedAtStart);

    e2e.key("alt Down Return");  // File, Exit
    ASSERT_EQ(e2e.waitProgramExit(20000), 0);
    const QString stored = e2e.readSettings();
    for (const QString& line : settings) {
        if (!line.startsWith("View=")) {
            EXPECT_TRUE(stored.contains(QRegularExpression("(^|\n)" + QRegularExpression::escape(line) + "\n")))
                << line.toStdString() << " missing from\n" << stored.toStdString();
        }
    }
    EXPECT_TRUE(stored.contains("\nView=1\n")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("\nSizeX=647\n")) << stored.toStdString();

    // The line really was poor: the unit spoiled responses in every way asked for.
    e2e.stopUnit();
    const QString report = QString::fromUtf8(e2e.unitOutput());
    const QRegularExpressionMatch counts =
        QRegularExpression("\\((\\d+) dropped, (\\d+) corrupted, (\\d+) split, (\\d+) merged").match(report);
    ASSERT_TRUE(counts.hasMatch()) << report.toStdString();
    for (int i = 1; i <= 4; ++i)
        EXPECT_GT(counts.captured(i).toInt(), 0) << report.toStdString();
}

TEST_F(FaultRun, ThirtySecondsOfSilenceThenTheReadOutCatchesUp)
{
    constexpr int kSilenceAfterS = 8;
    constexpr int kSilenceForS = 30;
    start({"--az-speed", "60", "--el-speed", "30", "--silence-after", QString::number(kSilenceAfterS),
           "--silence-for", QString::number(kSilenceForS)});
    ASSERT_TRUE(WaitFor([&] { return handshakeDoneAtMs().has_value(); }, kConvergeMs));
    // The run only means something when the link came up before the unit fell silent.
    ASSERT_LT(*handshakeDoneAtMs(), kSilenceAfterS * 1000.0) << "the program started too late for this run";
    EXPECT_TRUE(readoutConverges());
    const std::optional<int> beforeSilence = readout();
    ASSERT_TRUE(beforeSilence.has_value());

    ASSERT_TRUE(WaitFor([&] { return unitClockMs().value_or(0) >= kSilenceAfterS * 1000.0 + 500; },
                        kSilenceAfterS * 1000 + kConvergeMs));
    // Commands still reach the silent unit; only its answers are missing.
    e2e.type("200\n");
    ASSERT_TRUE(unitReaches(200));

    // While the unit stays silent the program runs on, answers TCP and shows the last position
    // it was told, not one it made up.
    const double silenceEndsMs = (kSilenceAfterS + kSilenceForS) * 1000.0;
    int answered = 0;
    while (unitClockMs().value_or(silenceEndsMs) < silenceEndsMs - 2000) {
        ASSERT_TRUE(e2e.programRunning());
        EXPECT_EQ(readout(), beforeSilence);
        ++answered;
        QThread::msleep(1000);
    }
    EXPECT_GT(answered, 0);

    // The unit speaks again: the read-out catches up, and a new target is reached.
    EXPECT_TRUE(readoutConverges());
    e2e.type("45\n");
    ASSERT_TRUE(unitReaches(45));
    EXPECT_TRUE(readoutConverges());
    EXPECT_TRUE(e2e.programRunning());
}

TEST_F(FaultRun, TerminalClosedAndReopenedThenPortReselected)
{
    const QStringList unitArguments{"--az-speed", "60", "--el-speed", "30"};
    start(unitArguments);
    ASSERT_TRUE(WaitFor([&] { return handshakeDoneAtMs().has_value(); }, kConvergeMs));
    e2e.type("120\n");
    ASSERT_TRUE(unitReaches(120));
    ASSERT_TRUE(readoutConverges());

    const QString firstTerminal = QFileInfo(e2e.linkPath()).symLinkTarget();
    ASSERT_TRUE(programHolds(firstTerminal)) << firstTerminal.toStdString();

    // The terminal disappears: the program lets go of it and carries on.
    e2e.stopUnit();
    EXPECT_TRUE(WaitFor([&] { return !programHolds(firstTerminal); }, kConvergeMs));
    EXPECT_TRUE(e2e.programRunning());
    EXPECT_EQ(readout(), 120);

    // A new unit on the same link (starting from its defaults); the operator picks COM 1 again.
    ASSERT_TRUE(e2e.restartUnit(unitArguments));
    const QString secondTerminal = QFileInfo(e2e.linkPath()).symLinkTarget();
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth().has_value(); }));
    ASSERT_NE(e2e.unitTruth()->position1, 120);
    ASSERT_TRUE(e2e.focusMain());
    e2e.key("alt Right Right Down Right Return");  // Settings, Port, COM 1
    EXPECT_TRUE(WaitFor([&] { return programHolds(secondTerminal); }, kConvergeMs)) << secondTerminal.toStdString();
    EXPECT_TRUE(readoutConverges());

    ASSERT_TRUE(e2e.focusMain());
    e2e.type("300\n");
    ASSERT_TRUE(unitReaches(300));
    EXPECT_TRUE(readoutConverges());
    EXPECT_TRUE(e2e.programRunning());
}

}  // namespace
}  // namespace vantora
