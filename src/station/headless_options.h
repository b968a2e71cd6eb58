#pragma once
// The headless program's command line: vantorad [--headless] [--settings PATH] [--port DEVICE]
// [--version | --help]. "--headless" is what `vantora --headless` passes on; it changes nothing.

#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct HeadlessOptions {
    std::optional<std::string> settingsPath;  // the settings file, as VANTORA_SETTINGS
    std::optional<std::string> portDevice;    // the device this run opens, whatever port is stored
};

struct HeadlessCommandLine {
    HeadlessOptions options;
    std::optional<std::string> reply;  // --version or --help: print it and exit 0
    std::string error;                 // not empty: print it and exit 2
};

// `arguments` without the program's name. "--settings=PATH" and "--port=DEVICE" are taken too;
// an empty value, a missing one or an unknown argument is an error.
HeadlessCommandLine ParseHeadlessCommandLine(const std::vector<std::string>& arguments, const std::string& version);

}  // namespace vantora
