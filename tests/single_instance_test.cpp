// Only one program per settings store: a second start raises the first and ends quietly, and
// a guard left behind by a crashed run is taken over.

#include "app/ui/single_instance.h"
#include "support/event_wait.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::WaitFor;

TEST(SingleInstanceGuard, SecondGuardOfTheSameStoreRaisesTheFirst)
{
    SingleInstanceGuard first("/tmp/store-a.conf");
    ASSERT_TRUE(first.becomePrimary());
    int raised = 0;
    QObject::connect(&first, &SingleInstanceGuard::raiseRequested, [&] { ++raised; });

    SingleInstanceGuard second("/tmp/store-a.conf");
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));

    SingleInstanceGuard other("/tmp/store-b.conf");  // another store: another program
    EXPECT_TRUE(other.becomePrimary());
}

class ProgramProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile settings(dir.filePath("settings.conf"));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[General]\nRegVersion=1.09\n");
        settings.close();
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VANTORA_SETTINGS", dir.filePath("settings.conf"));
        environment.insert("VANTORA_COM1", dir.filePath("no-such-port"));
        environment.insert("VANTORA_TCP_PORT", "0");
    }

    void startProgram(QProcess& process)
    {
        process.setProcessEnvironment(environment);
        process.setProgram(qEnvironmentVariable("VANTORA_BIN"));
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // The guard of the first program is listening once its socket answers.
    bool guardListening()
    {
        SingleInstanceGuard probe(dir.filePath("settings.conf"));
        QLocalSocket socket;
        socket.connectToServer(probe.serverName());
        return socket.waitForConnected(200);
    }

    QTemporaryDir dir;
    QProcessEnvironment environment;
};

TEST_F(ProgramProcesses, SecondStartEndsWithCodeZeroWhileTheFirstRuns)
{
    QProcess first;
    startProgram(first);
    ASSERT_TRUE(WaitFor([&] { return guardListening(); }));

    QProcess second;
    startProgram(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

TEST_F(ProgramProcesses, GuardOfACrashedRunIsTakenOver)
{
    QProcess crashed;
    startProgram(crashed);
    ASSERT_TRUE(WaitFor([&] { return guardListening(); }));
    crashed.kill();  // no clean-up: its socket file stays behind
    crashed.waitForFinished();

    QProcess next;
    startProgram(next);
    ASSERT_TRUE(WaitFor([&] { return guardListening(); }));
    EXPECT_EQ(next.state(), QProcess::Running);
    next.kill();
    next.waitForFinished();
}

}  // namespace
}  // namespace vantora
