// Only one program per settings store: a second start raises the first and ends quietly, and
// a guard left behind by a crashed run is taken over.

#include "app/ui/single_instance.h"
#include "support/event_wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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

// Sets an environment variable for one scope (unset when `value` is null).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray* value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_saved(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_wasSet)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_saved;
};

TEST(SingleInstanceGuard, SocketLivesInThePrivateRuntimeFolderWhereThereIsOne)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QTemporaryDir strangers;  // a folder of another user
    ASSERT_TRUE(strangers.isValid());
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(strangers.path()).constData(), 65534, 65534), 0);
    }
    struct Case {
        QString runtimeDir;
        QString folder;
    };
    const Case cases[] = {
        {runtime.path(), QFileInfo(runtime.path()).absoluteFilePath()},
        {QString(), QDir::tempPath()},
        {runtime.filePath("missing"), QDir::tempPath()},
        {root ? strangers.path() : QString(), QDir::tempPath()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GuardFolder(c.runtimeDir), c.folder) << c.runtimeDir.toStdString();

    const QByteArray value = runtime.path().toUtf8();
    ScopedEnv env("XDG_RUNTIME_DIR", &value);
    SingleInstanceGuard guard("/tmp/store-runtime.conf");
    EXPECT_TRUE(guard.serverName().startsWith(runtime.path() + '/')) << guard.serverName().toStdString();
    ASSERT_TRUE(guard.becomePrimary());
    EXPECT_TRUE(guard.problem().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(guard.serverName()));
}

// Another user listening first under the guard's name in a shared folder neither stops the
// program nor hears from it.
TEST(SingleInstanceGuard, AnotherUsersSocketDoesNotStopTheStart)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a listener as another user (setpriv)";
    QTemporaryDir shared;
    ASSERT_TRUE(shared.isValid());
    ASSERT_TRUE(QFile::setPermissions(
        shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                           | QFileDevice::WriteOther | QFileDevice::ExeOther | QFileDevice::ReadGroup
                           | QFileDevice::WriteGroup | QFileDevice::ExeGroup));
    const QByteArray tmp = shared.path().toUtf8();
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv sharedTmp("TMPDIR", &tmp);
    SingleInstanceGuard guard("/tmp/store-hostile.conf");
    ASSERT_TRUE(guard.serverName().startsWith(shared.path())) << guard.serverName().toStdString();

    // The other user's listener: it prints what it hears.
    QProcess squatter;
    squatter.setProgram("setpriv");
    squatter.setArguments({"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                           "import socket,sys\n"
                           "s=socket.socket(socket.AF_UNIX)\ns.bind(sys.argv[1])\ns.listen(8)\n"
                           "print('ready',flush=True)\n"
                           "while True:\n c,_=s.accept()\n print(c.recv(64),flush=True)\n",
                           guard.serverName()});
    squatter.start();
    ASSERT_TRUE(squatter.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return squatter.readAllStandardOutput().contains("ready"); }))
        << squatter.readAllStandardError().toStdString();
    ASSERT_EQ(QFileInfo(guard.serverName()).ownerId(), 65534u);

    EXPECT_TRUE(guard.becomePrimary());
    EXPECT_TRUE(guard.problem().contains("another user")) << guard.problem().toStdString();
    QCoreApplication::processEvents();
    squatter.waitForReadyRead(300);
    EXPECT_FALSE(squatter.readAllStandardOutput().contains("raise"));
    squatter.kill();
    squatter.waitForFinished();
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

TEST_F(ProgramProcesses, AGuardThatCannotListenIsNoReasonToStayClosed)
{
    // The "temporary folder" is a file, so no socket can be made in it: the program starts
    // anyway and says why.
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", dir.filePath("settings.conf"));
    QProcess program;
    startProgram(program);
    EXPECT_FALSE(program.waitForFinished(3000)) << "exit code " << program.exitCode();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
    EXPECT_TRUE(program.readAllStandardError().contains("single-instance guard"));
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
