// vantora-unitsim: a stand-in for the rotator control unit on a pseudo-terminal.

#include "fault_injector.h"
#include "pty_transport.h"
#include "unit_config.h"
#include "unit_model.h"
#include "unit_server.h"
#include "unitsim_options.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#ifndef VANTORA_VERSION
#define VANTORA_VERSION "unknown"
#endif

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

void InstallSignalHandlers()
{
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a waiting poll returns at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace vantora::sim;

    UnitSimOptions options;
    std::string error;
    if (!ParseUnitSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "vantora-unitsim: " << error << "\nTry vantora-unitsim --help\n";
        return 2;
    }
    if (options.help) {
        std::cout << UnitSimUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "vantora-unitsim " << VANTORA_VERSION << '\n';
        return 0;
    }

    UnitConfig config;
    if (!options.settingsFile.empty() && !LoadUnitConfig(options.settingsFile, config))
        std::cerr << "vantora-unitsim: " << options.settingsFile << " not readable; starting from defaults\n";
    if (options.mode)
        config.mode2 = *options.mode;

    UnitModel model(options.model, config);
    if (!options.settingsFile.empty()) {
        const std::string path = options.settingsFile;
        model.setConfigListener([path](const UnitConfig& changed) {
            if (!SaveUnitConfig(path, changed))
                std::cerr << "vantora-unitsim: cannot write " << path << '\n';
        });
    }
    FaultInjector faults(options.faults);

    std::ofstream timingLog;
    if (!options.timingLog.empty()) {
        timingLog.open(options.timingLog, std::ios::trunc);
        if (!timingLog) {
            std::cerr << "vantora-unitsim: cannot write " << options.timingLog << '\n';
            return 1;
        }
    }

    InstallSignalHandlers();
    PtyTransport pty;
    if (!pty.open(error)) {
        std::cerr << "vantora-unitsim: " << error << '\n';
        return 1;
    }
    if (!options.link.empty() && !pty.createLink(options.link, error)) {
        std::cerr << "vantora-unitsim: " << error << '\n';
        return 1;
    }
    std::cout << pty.slavePath() << std::endl;
    std::cerr << "vantora-unitsim: control unit on " << pty.slavePath();
    if (!options.link.empty())
        std::cerr << " (link " << options.link << ")";
    std::cerr << ", firmware " << options.model.firmwareVersion << ", rotator 2 "
              << (model.config().mode2 == kModeElevation ? "elevation" : "azimuth") << '\n';

    UnitServer server(model, faults, pty);
    if (timingLog.is_open())
        server.setTimingLog(&timingLog);
    if (!options.timingOrigin.empty()) {
        std::ofstream origin(options.timingOrigin, std::ios::trunc);
        origin << std::fixed << std::chrono::duration<double, std::milli>(server.started().time_since_epoch()).count()
               << '\n';
        if (!origin) {
            std::cerr << "vantora-unitsim: cannot write " << options.timingOrigin << '\n';
            return 1;
        }
    }
    if (!options.stateFile.empty())
        server.setStateFile(options.stateFile);
    if (options.verbose)
        server.setTrace(&std::cerr);
    server.run(g_stop);

    const FaultStats& f = faults.stats();
    const ServerStats& s = server.stats();
    std::cerr << "vantora-unitsim: " << s.framesReceived << " frames received, " << s.framesIgnored << " ignored, "
              << f.responses << " responses (" << f.dropped << " dropped, " << f.corrupted << " corrupted, "
              << f.split << " split, " << f.merged << " merged, " << f.silenced << " silenced)\n";
    return 0;
}
