// Any bytes as a planning program's tracking file: the first line is cut from them, parsed, and
// read by the tracking tick. Numbers that are accepted must be the value the C library reads,
// and only the Moon at or above the horizon may move the rotators.
#include "track/tracking_controller.h"
#include "track/tracking_line.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class RecordingTargets : public vantora::TargetSink {
public:
    void Nastav(int code, int value1, int value2) override
    {
        Check(code == 3);
        calls.push_back({value1, value2});
    }

    std::vector<std::pair<int, int>> calls;
};

// The fuzz input is the tracking file, whatever path is asked for.
class OneFile : public vantora::TrackingFiles {
public:
    explicit OneFile(std::string_view bytes) : m_bytes(bytes) {}

    bool Exists(const std::string&) override { return true; }
    std::optional<std::string> ReadPrefix(const std::string&, std::size_t maxBytes) override
    {
        Check(maxBytes == vantora::kTrackingReadMax);
        return std::string(m_bytes.substr(0, maxBytes));
    }

private:
    std::string_view m_bytes;
};

void CheckFirstLine(std::string_view bytes, const std::string& line)
{
    Check(line.size() <= vantora::kTrackingLineMax);
    Check(bytes.substr(0, line.size()) == line);
    Check(line.find_first_of("\r\n") == std::string::npos);
    // It stops only at a line end, at the limit or at the end of the bytes.
    Check(line.size() == bytes.size() || line.size() == vantora::kTrackingLineMax
          || bytes[line.size()] == '\r' || bytes[line.size()] == '\n');
}

// A number the parser accepts reads the same through strtod (which also skips the blanks).
void CheckNumber(std::string_view text)
{
    const auto value = vantora::ParseTrackingNumber(text);
    if (!value)
        return;
    Check(std::isfinite(*value));
    const std::string copy(text);
    char* end = nullptr;
    const double expected = std::strtod(copy.c_str(), &end);
    Check(end == copy.c_str() + copy.size());
    Check(*value == expected || (std::fabs(expected) < 1e-300 && *value == 0.0));
}

void CheckReading(std::string_view line)
{
    const auto reading = vantora::ParseTrackingLine(line);
    if (!reading)
        return;
    Check(reading->readout == std::to_string(reading->azimuth) + "° / "
                                  + std::to_string(reading->elevation) + "°");
    Check(reading->goTo == (reading->name == "Moon" && reading->elevation >= 0));
    Check(reading->name.find(',') == std::string::npos);
    Check(line.find(reading->name) != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string line = vantora::FirstTrackingLine(bytes);
    CheckFirstLine(bytes, line);
    CheckReading(line);
    // The parsers on their own see the whole input too, beyond the 39 bytes of a line.
    CheckReading(bytes);
    CheckNumber(bytes);
    const auto comma = bytes.find(',');
    if (comma != std::string_view::npos)
        CheckNumber(bytes.substr(comma + 1));

    // The tracking tick over the same bytes: the read-out changes only with a good line and
    // the rotators move only for the Moon.
    vantora::Settings settings;
    settings.MoonSked = "/moonsked/";
    OneFile file(bytes);
    RecordingTargets targets;
    vantora::TrackingController controller(settings, file, targets);
    controller.StartMoonSked();
    controller.Tick();
    Check(controller.TimerRunning());
    const auto reading = vantora::ParseTrackingLine(vantora::FirstTrackingLine(bytes.substr(0, 64)));
    Check(controller.Readout() == (reading ? reading->readout : std::string("OFF")));
    Check(targets.calls.size() == (reading && reading->goTo ? 1u : 0u));
    if (!targets.calls.empty())
        Check(targets.calls[0] == std::make_pair(reading->azimuth, reading->elevation));

    // CtiTrak on its own takes a line of any length.
    targets.calls.clear();
    const auto whole = vantora::ParseTrackingLine(bytes);
    Check(controller.CtiTrak(bytes) == whole.has_value());
    Check(targets.calls.size() == (whole && whole->goTo ? 1u : 0u));
    return 0;
}
