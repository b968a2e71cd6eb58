// The station with no screen, end to end: `vantora --headless` against the real simulator, with
// no DISPLAY in its environment. What the desktop shows arrives as lines on standard error; the
// servers answer as on the desktop; no Qt Gui, Qt Widgets or X library is in the process.
//
// Waiting limits are generous (the suite also runs under AddressSanitizer); nothing here
// asserts how fast anything happens.

#include "support/event_wait.h"
#include "support/headless_run.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>

namespace vantora {
namespace {

using test::HeadlessRun;
using test::WaitFor;

constexpr int kLimitMs = 30000;

class HeadlessTest : public ::testing::Test {
protected:
    void start(const QStringList& unitArguments = {})
    {
        rotctldPort = HeadlessRun::freeTcpPort();
        run.writeSettings({"RegVersion=1.09", "Lokator=JO70AA", "Port=1", "RotctldEnabled=1",
                           "RotctldPort=" + QString::number(rotctldPort), "RotctldAddress=127.0.0.1"});
        ASSERT_TRUE(run.startUnit(unitArguments));
        ASSERT_TRUE(run.startProgram());
        ASSERT_TRUE(run.waitForLine("link fresh: the unit reports", kLimitMs)) << run.errors().toStdString();
    }

    // rotctld's `p`: azimuth and elevation, one a line.
    std::optional<std::pair<int, int>> rotctldPosition() const
    {
        const QList<QByteArray> lines = HeadlessRun::ask(rotctldPort, "p\n").split('\n');
        if (lines.size() < 2 || lines[0].isEmpty() || lines[0].startsWith("RPRT"))
            return std::nullopt;
        return std::make_pair(qRound(lines[0].toDouble()), qRound(lines[1].toDouble()));
    }

    std::optional<int> tcpAzimuth() const
    {
        static const QRegularExpression format(QStringLiteral("^\\$00#(\\d{3})@$"));
        const auto match = format.match(QString::fromLatin1(HeadlessRun::ask(run.tcpPort(), "$00")));
        return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    }

    HeadlessRun run;
    quint16 rotctldPort = 0;
};

TEST_F(HeadlessTest, ServersAnswerAndTargetsReachTheUnit)
{
    start({"--az-speed", "120", "--el-speed", "120"});
    EXPECT_TRUE(run.errors().contains("rotctld: Listening on 127.0.0.1:" + QByteArray::number(rotctldPort)));
    EXPECT_TRUE(run.errors().contains("port 1023 server: Listening on"));

    // The position follows the simulator, through both servers.
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto position = rotctldPosition();
            return position && run.unitPosition(1) == position->first && tcpAzimuth() == position->first;
        },
        kLimitMs))
        << run.errors().toStdString();

    // A rotctld target reaches the unit, and the line says where it came from.
    EXPECT_EQ(HeadlessRun::ask(rotctldPort, "P 120 30\n"), "RPRT 0\n");
    EXPECT_TRUE(WaitFor([&] { return run.unitPosition(1) == 120 && run.unitPosition(2) == 30; }, kLimitMs));
    EXPECT_TRUE(WaitFor([&] { return rotctldPosition() == std::make_pair(120, 30); }, kLimitMs));
    EXPECT_TRUE(run.errors().contains("target from rotctld: 120/30"));

    // A port 1023 target too.
    HeadlessRun::ask(run.tcpPort(), "$01#200", 300);  // no reply to a set message
    EXPECT_TRUE(WaitFor([&] { return run.unitPosition(1) == 200 && tcpAzimuth() == 200; }, kLimitMs));
    EXPECT_TRUE(run.errors().contains("target from port 1023: "));
    EXPECT_TRUE(run.programRunning());
}

TEST_F(HeadlessTest, NoDisplayLibraryIsInTheProcess)
{
    start();
    QFile maps(QString("/proc/%1/maps").arg(run.programPid()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    ASSERT_TRUE(mapped.contains("libQt6Core")) << "not the program's map";
    EXPECT_TRUE(mapped.contains("libQt6SerialPort"));
    for (const char* library : {"libQt6Gui", "libQt6Widgets", "libX11", "libxcb", "libGL", "libEGL", "libwayland"})
        EXPECT_FALSE(mapped.contains(library)) << library << " is mapped";

    // Nor does the program that runs ask for one.
    QProcess ldd;
    ldd.start("ldd", {qEnvironmentVariable("VANTORAD_BIN")});
    ASSERT_TRUE(ldd.waitForFinished(10000));
    const QByteArray needed = ldd.readAllStandardOutput();
    ASSERT_TRUE(needed.contains("libQt6Core"));
    for (const char* library : {"libQt6Gui", "libQt6Widgets", "libX11", "libxcb", "libGL"})
        EXPECT_FALSE(needed.contains(library)) << library << " is needed";
}

TEST_F(HeadlessTest, SilentUnitShowsStaleThenFreshOnStandardError)
{
    start({"--silence-after", "3", "--silence-for", "3"});
    const qsizetype from = run.errors().size();
    EXPECT_TRUE(run.waitForLine("link stale: No answer from the control unit", kLimitMs, from))
        << run.errors().toStdString();
    EXPECT_TRUE(run.waitForLine("link fresh: the unit reports again", kLimitMs, from)) << run.errors().toStdString();
    // rotctld says the position is stale while it is, and answers again after.
    EXPECT_TRUE(WaitFor([&] { return rotctldPosition().has_value(); }, kLimitMs));
}

TEST_F(HeadlessTest, LostPortIsReportedAndReopened)
{
    start();
    run.stopUnit();
    EXPECT_TRUE(run.waitForLine(" lost", kLimitMs)) << run.errors().toStdString();
    ASSERT_TRUE(run.startUnit());
    EXPECT_TRUE(run.waitForLine(" reopened", kLimitMs)) << run.errors().toStdString();
    EXPECT_TRUE(run.waitForLine("link fresh: the unit reports again", kLimitMs)) << run.errors().toStdString();
}

TEST_F(HeadlessTest, MissingPortIsALineNotABox)
{
    run.writeSettings({"RegVersion=1.09", "Port=1", "RotctldEnabled=0"});
    ASSERT_TRUE(run.startProgram());  // no simulator: the link does not exist
    EXPECT_TRUE(run.waitForLine("vantora: Unable to open port !", kLimitMs)) << run.errors().toStdString();
    EXPECT_TRUE(run.waitForLine("link stale: Unable to open port", kLimitMs)) << run.errors().toStdString();
    EXPECT_TRUE(run.programRunning());
}

TEST_F(HeadlessTest, OutdatedSettingsAreALineNotABox)
{
    run.writeSettings({"RegVersion=1.00", "Port=1", "RotctldEnabled=0"});
    ASSERT_TRUE(run.startUnit());
    ASSERT_TRUE(run.startProgram());
    EXPECT_TRUE(run.waitForLine("link fresh: the unit reports", kLimitMs)) << run.errors().toStdString();
    const QByteArray errors = run.errors();
    EXPECT_TRUE(errors.startsWith("vantora: ")) << errors.toStdString();
    for (const QByteArray& line : errors.split('\n'))
        EXPECT_TRUE(line.isEmpty() || line.startsWith("vantora: ")) << line.toStdString();
    EXPECT_TRUE(run.programRunning());
}

TEST_F(HeadlessTest, BadCommandLineIsRefused)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        QByteArray output;
    };
    const Case cases[] = {
        {{"--headless", "--bogus"}, 2, "unknown argument: --bogus"},
        {{"--headless", "--port"}, 2, "--port needs a value"},
        {{"--headless", "--settings="}, 2, "--settings needs a value"},
        {{"--headless", "--version"}, 0, "vantora "},
    };
    for (const Case& c : cases) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("VANTORA_BIN"), c.arguments);
        ASSERT_TRUE(program.waitForFinished(10000)) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(program.exitCode(), c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE((program.readAllStandardError() + program.readAllStandardOutput()).contains(c.output))
            << c.arguments.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace vantora
