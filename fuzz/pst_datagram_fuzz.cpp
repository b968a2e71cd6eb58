// Any bytes as a PstRotator-style datagram: targets stay within 0..360 (azimuth) and 0..180
// (elevation) with the right Nastav code, the only replies are "AZ:<beam>\r" and "EL:<el>\r",
// and nothing happens without <PST>.
#include "net/pst_datagram.h"

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

class Station : public vantora::RemoteStation {
public:
    int beam = 0;
    int elevation = 0;
    int targets = 0;
    int others = 0;

    void SetTarget(int code, int value1, int value2) override
    {
        ++targets;
        Check(code >= 1 && code <= 3);
        if (code & 1)
            Check(value1 >= 0 && value1 <= 360);
        else
            Check(value1 == 0);
        if (code & 2)
            Check(value2 >= 0 && value2 <= vantora::kPstElevationMax);
        else
            Check(value2 == 0);
    }
    void Stop() override { ++others; }
    void Park() override { ++others; }
    void TrackingOff() override { ++others; }
    bool GoToLocator(std::string_view) override
    {
        ++others;
        return false;
    }
    int BeamAzimuth() const override { return beam; }
    int Elevation() const override { return elevation; }
};

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

bool HasPstTag(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return HasOpeningTag(lower, "pst");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // First eight bytes: beam azimuth and elevation; the rest (or all, when shorter) the datagram.
    Station station;
    std::string_view datagram(reinterpret_cast<const char*>(data), size);
    if (datagram.size() >= 8) {
        std::memcpy(&station.beam, datagram.data(), 4);
        std::memcpy(&station.elevation, datagram.data() + 4, 4);
        datagram.remove_prefix(8);
    }
    vantora::PstHandler handler(station);
    const std::vector<std::string> replies = handler.OnDatagram(datagram);
    Check(station.targets <= 1 && replies.size() <= 2);
    if (!HasPstTag(datagram))
        Check(station.targets == 0 && station.others == 0 && replies.empty());
    for (const std::string& reply : replies) {
        Check(reply == vantora::PstAzimuthReply(station.beam) || reply == vantora::PstElevationReply(station.elevation));
        Check(reply.back() == '\r');
    }
    return 0;
}
