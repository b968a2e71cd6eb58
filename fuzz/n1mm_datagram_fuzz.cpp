// Any bytes as an N1MM Logger+ rotor datagram, with any rotor-name filter and present azimuth:
// at most one action; a go-to is an azimuth 0..360 for the selected azimuth rotator; nothing
// happens without <N1MMRotor> (attributes allowed), and a stop needs <stop>. The status text keeps its shape.
#include "net/n1mm_datagram.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

// An opening tag as loggers write it: "<name>" or "<name", a blank, attributes and ">", in
// lower case `text`.
bool HasOpeningTag(const std::string& text, const std::string& name)
{
    const std::string open = "<" + name;
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        const std::size_t next = at + open.size();
        if (next < text.size() && text[next] == '>')
            return true;
        const bool blank =
            next < text.size() && (text[next] == ' ' || text[next] == '\t' || text[next] == '\r' || text[next] == '\n');
        if (blank && text.find('>', next) != std::string::npos)
            return true;
    }
    return false;
}

class Station : public vantora::RemoteStation {
public:
    int beam = 0;
    std::vector<std::string> calls;
    int code = 0;
    int value1 = 0;
    int value2 = 0;

    void SetTarget(int c, int v1, int v2) override
    {
        calls.push_back("target");
        code = c;
        value1 = v1;
        value2 = v2;
    }
    void Stop() override { calls.push_back("stop"); }
    void Park() override { calls.push_back("park"); }
    void TrackingOff() override { calls.push_back("off"); }
    bool GoToLocator(std::string_view) override
    {
        calls.push_back("locator");
        return true;
    }
    int BeamAzimuth() const override { return beam; }
    int Elevation() const override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // First four bytes: the present azimuth; the next byte: the length of the rotor filter taken
    // from what follows; the rest is the datagram.
    Station station;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.size() >= sizeof station.beam) {
        std::memcpy(&station.beam, input.data(), sizeof station.beam);
        input.remove_prefix(sizeof station.beam);
    }
    std::string_view filter;
    if (!input.empty()) {
        const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(input[0]) % 16, input.size() - 1);
        filter = input.substr(1, length);
        input.remove_prefix(1 + length);
    }

    vantora::N1mmHandler handler(station);
    const bool acted = handler.OnDatagram(input, filter);
    const std::string lower = Lower(input);
    Check(station.calls.size() <= 1);
    Check(acted == (station.calls.size() == 1));
    if (acted)
        Check(HasOpeningTag(lower, "n1mmrotor"));
    if (!station.calls.empty() && station.calls[0] == "stop")
        Check(HasOpeningTag(lower, "stop"));
    if (!station.calls.empty() && station.calls[0] == "target") {
        Check(station.code == 1 && station.value1 >= 0 && station.value1 <= 360 && station.value2 == 0);
        Check(HasOpeningTag(lower, "goazi"));
    }
    Check(station.calls.empty() || station.calls[0] == "stop" || station.calls[0] == "target");

    const std::string status = vantora::N1mmStatusText(filter, station.beam);
    Check(status.find(" @ ") != std::string::npos);
    Check(status.substr(status.rfind(' ') + 1) == std::to_string(static_cast<long long>(station.beam) * 10));
    return 0;
}
