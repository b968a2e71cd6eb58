#include "support/simulated_unit.h"

#include "support/event_wait.h"

#include <QFile>
#include <QFileInfo>

#ifdef __linux__
#include <sys/prctl.h>

#include <csignal>
#endif

namespace vantora {

void EndWithUs(QProcess& process)
{
#ifdef __linux__
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
#else
    (void)process;
#endif
}

bool StartSimulatedUnit(QProcess& unit, const QString& link, const QString& stateFile,
                        const QStringList& extraArguments)
{
    QFile::remove(link);
    unit.start(qEnvironmentVariable("VANTORA_UNITSIM_BIN"),
               QStringList{"--link", link, "--state-file", stateFile} + extraArguments);
    if (!unit.waitForStarted(5000))
        return false;
    return test::WaitFor([&] { return QFileInfo::exists(link); }, 10000);
}

void WriteSettingsFile(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write("[General]\n");
    for (const QString& line : lines)
        file.write(line.toUtf8() + '\n');
}

}  // namespace vantora
