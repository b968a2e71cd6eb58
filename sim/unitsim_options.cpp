#include "unitsim_options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>
#include <limits>

namespace vantora::sim {

namespace {

bool ParseDouble(const std::string& text, double low, double high, double& out)
{
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)
        || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool ParseUnsigned(const std::string& text, std::uint64_t high, std::uint64_t& out)
{
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > high)
        return false;
    out = value;
    return true;
}

std::chrono::microseconds Seconds(double seconds)
{
    return std::chrono::microseconds(static_cast<std::int64_t>(std::llround(seconds * 1e6)));
}

}  // namespace

std::string UnitSimUsage()
{
    return R"(Usage: vantora-unitsim [options]

Simulates the rotator control unit (address 1) on a pseudo-terminal. Prints the terminal's path on
standard output, then answers command frames until SIGINT or SIGTERM.

Options:
  --link PATH           also make PATH a symbolic link to the terminal (removed on exit)
  --firmware N          firmware version reported, high byte major, low byte minor (default 263 = 1.07)
  --az-speed DEG        azimuth speed in degrees per second (default 6)
  --el-speed DEG        elevation speed in degrees per second (default 3)
  --mode 1|2            rotator 2 turns in azimuth (1) or elevation (2); overrides the settings file
                        (default 2)
  --settings-file PATH  load the unit's settings from PATH and save them there after every write
  --drop PCT            drop PCT % of the responses
  --corrupt PCT         change one byte in PCT % of the responses
  --split PCT           write PCT % of the responses in two parts, --split-delay apart
  --split-delay MS      time between the two parts of a split response (default 60)
  --merge PCT           hold PCT % of the responses back and write each with the next one
  --silence-after S     stop answering S seconds after the start ...
  --silence-for S       ... for S seconds (default: for good; alone: from the start)
  --seed N              seed of the fault generator (default 1)
  --timing-log FILE     write one line per received command frame: milliseconds since the start
                        and the command code
  --timing-origin FILE  write to FILE the system's monotonic clock (ms) at the timing log's 0,
                        to line the log up with another program's clock
  --state-file FILE     keep FILE holding the true state: position1 position2 activeRotator mode2
  --verbose             trace every frame on standard error
  --version             print the version and exit
  --help                show this text and exit

Example:
  vantora-unitsim --link /tmp/vantora-com1 --mode 2 --drop 5 --split 10 --seed 7
)";
}

bool ParseUnitSimOptions(const std::vector<std::string>& args, UnitSimOptions& options, std::string& error)
{
    std::optional<double> silenceAfter;
    std::optional<double> silenceFor;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            continue;
        }
        if (name == "--verbose") {
            options.verbose = true;
            continue;
        }

        static const char* const kValued[] = {
            "--link",        "--firmware", "--az-speed",   "--el-speed",      "--mode",        "--settings-file",
            "--drop",        "--corrupt",  "--split",      "--merge",         "--split-delay", "--silence-after",
            "--silence-for", "--seed",     "--timing-log", "--timing-origin", "--state-file"};
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
            error = "unknown option " + name;
            return false;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = "option " + name + " needs a value";
            return false;
        }
        const auto bad = [&](const char* expected) {
            error = "bad value '" + value + "' for " + name + " (expected " + expected + ")";
            return false;
        };

        double number = 0;
        std::uint64_t whole = 0;
        if (name == "--link") {
            if (value.empty())
                return bad("a path");
            options.link = value;
        } else if (name == "--firmware") {
            if (!ParseUnsigned(value, 65535, whole))
                return bad("0..65535");
            options.model.firmwareVersion = static_cast<std::uint16_t>(whole);
        } else if (name == "--az-speed" || name == "--el-speed") {
            if (!ParseDouble(value, 0.1, 360, number))
                return bad("0.1..360 degrees per second");
            (name == "--az-speed" ? options.model.azimuthSpeed : options.model.elevationSpeed) = number;
        } else if (name == "--mode") {
            if (value != "1" && value != "2")
                return bad("1 or 2");
            options.mode = static_cast<std::uint8_t>(value[0] - '0');
        } else if (name == "--settings-file") {
            if (value.empty())
                return bad("a path");
            options.settingsFile = value;
        } else if (name == "--drop" || name == "--corrupt" || name == "--split" || name == "--merge") {
            if (!ParseDouble(value, 0, 100, number))
                return bad("0..100 percent");
            FaultConfig& f = options.faults;
            (name == "--drop" ? f.dropPercent
             : name == "--corrupt" ? f.corruptPercent
             : name == "--split" ? f.splitPercent
                                 : f.mergePercent) = number;
        } else if (name == "--split-delay") {
            if (!ParseDouble(value, 0, 10000, number))
                return bad("0..10000 milliseconds");
            options.faults.splitDelay = Seconds(number / 1000);
        } else if (name == "--silence-after" || name == "--silence-for") {
            if (!ParseDouble(value, 0, 1e7, number))
                return bad("seconds, 0 or more");
            (name == "--silence-after" ? silenceAfter : silenceFor) = number;
        } else if (name == "--seed") {
            if (!ParseUnsigned(value, std::numeric_limits<std::uint64_t>::max(), whole))
                return bad("a whole number");
            options.faults.seed = whole;
        } else if (name == "--timing-log") {
            if (value.empty())
                return bad("a path");
            options.timingLog = value;
        } else if (name == "--timing-origin") {
            if (value.empty())
                return bad("a path");
            options.timingOrigin = value;
        } else if (name == "--state-file") {
            if (value.empty())
                return bad("a path");
            options.stateFile = value;
        }
    }

    if (silenceAfter || silenceFor) {
        options.faults.silenceAfter = Seconds(silenceAfter.value_or(0));
        // About 115 days: for the whole run.
        options.faults.silenceFor = silenceFor ? Seconds(*silenceFor) : Seconds(1e7);
    }
    return true;
}

}  // namespace vantora::sim
