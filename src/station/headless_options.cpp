#include "station/headless_options.h"

#include <string_view>

namespace vantora {

namespace {

constexpr char kUsage[] =
    "Usage: vantora --headless [--settings PATH] [--port DEVICE]; runs the station and its network "
    "services with no window, see vantora(1)";

// "--name VALUE" or "--name=VALUE" at `i`; advances `i` past what it took.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, std::string_view name,
               std::optional<std::string>& value, std::string& error)
{
    const std::string& argument = arguments[i];
    std::string taken;
    if (argument == name) {
        if (i + 1 >= arguments.size()) {
            error = std::string(name) + " needs a value";
            return true;
        }
        taken = arguments[++i];
    } else if (argument.size() > name.size() && argument.compare(0, name.size(), name) == 0
               && argument[name.size()] == '=') {
        taken = argument.substr(name.size() + 1);
    } else {
        return false;
    }
    if (taken.empty())
        error = std::string(name) + " needs a value";
    else
        value = taken;
    return true;
}

}  // namespace

HeadlessCommandLine ParseHeadlessCommandLine(const std::vector<std::string>& arguments, const std::string& version)
{
    HeadlessCommandLine line;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--headless")
            continue;
        if (argument == "--version") {
            line.reply = "vantora " + version;
            return line;
        }
        if (argument == "--help") {
            line.reply = kUsage;
            return line;
        }
        if (TakeValue(arguments, i, "--settings", line.options.settingsPath, line.error)
            || TakeValue(arguments, i, "--port", line.options.portDevice, line.error))
            continue;
        line.error = "unknown argument: " + argument;
    }
    return line;
}

}  // namespace vantora
