// Any bytes from a TCP client as one message, with any beam azimuth: a set message reaches the
// target routine only with an azimuth of 0..360 taken from three digits, a query is answered
// with the reply for the beam azimuth, and nothing else happens.
#include "track/tcp_message.h"

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

struct Call {
    int code;
    int value1;
    int value2;
};

class RecordingTargets : public vantora::TargetSink {
public:
    void Nastav(int code, int value1, int value2) override { calls.push_back({code, value1, value2}); }

    std::vector<Call> calls;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What a client should expect for this message, written out independently of the parser.
void CheckAgainstTheProtocol(std::string_view message, int beam)
{
    RecordingTargets targets;
    vantora::TcpCommandHandler handler(targets, [beam] { return beam; });
    const std::optional<std::string> reply = handler.OnMessage(message);

    const std::string_view read = message.substr(0, vantora::kTcpMessageMax);
    const bool query = read.size() >= 3 && read.substr(0, 3) == "$00";
    bool set = read.size() >= 7 && read.substr(0, 3) == "$01" && IsDigit(read[4])
        && IsDigit(read[5]) && IsDigit(read[6]);
    const int value = set ? (read[4] - '0') * 100 + (read[5] - '0') * 10 + (read[6] - '0') : 0;
    set = set && value <= vantora::kTcpAzimuthMax;

    if (query) {
        Check(reply.has_value() && targets.calls.empty());
        Check(*reply == vantora::AzimuthReply(beam));
    } else if (set) {
        Check(!reply.has_value() && targets.calls.size() == 1);
        Check(targets.calls[0].code == 1 && targets.calls[0].value1 == value);
    } else {
        Check(!reply.has_value() && targets.calls.empty());
    }
}

void CheckReply(int beam)
{
    const std::string reply = vantora::AzimuthReply(beam);
    Check(reply.size() >= 8 && reply.compare(0, 4, "$00#") == 0 && reply.back() == '@');
    if (beam >= 0 && beam <= 999) {
        Check(reply.size() == 8);
        Check(std::stoi(reply.substr(4, 3)) == beam);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first four bytes (when there are more) choose the beam azimuth; all of the input is
    // also a message on its own.
    int beam = 0;
    std::string_view message(reinterpret_cast<const char*>(data), size);
    CheckAgainstTheProtocol(message, beam);
    if (size > sizeof beam) {
        std::memcpy(&beam, data, sizeof beam);
        message.remove_prefix(sizeof beam);
        CheckAgainstTheProtocol(message, beam);
        CheckReply(beam);
    }
    return 0;
}
