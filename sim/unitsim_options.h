#pragma once
// Command-line options of vantora-unitsim.

#include "fault_injector.h"
#include "unit_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantora::sim {

struct UnitSimOptions {
    std::string link;                  // symbolic link to the slave, removed on exit
    UnitModelOptions model;            // firmware version, speeds
    std::optional<std::uint8_t> mode;  // rotator 2 mode at start; overrides the settings file
    std::string settingsFile;          // the unit's settings, loaded at start, saved on every write
    FaultConfig faults;
    std::string timingLog;
    std::string timingOrigin;  // gets the steady clock's reading (ms) of the timing log's 0
    std::string stateFile;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program name). Accepts "--name value" and "--name=value".
// False, with a message in `error`, for an unknown option, a missing value or a value out of range.
bool ParseUnitSimOptions(const std::vector<std::string>& args, UnitSimOptions& options, std::string& error);

std::string UnitSimUsage();

}  // namespace vantora::sim
