// Any bytes as a message to the bridge: the first byte picks the command topic (and whether the
// message is retained), the rest is the payload. Whatever arrives, at most one command reaches the
// station, only when the payload is short UTF-8 and not retained, with targets inside their
// ranges; every refusal has a reason; the reason and any text echoed into JSON stay valid.
#include "mqtt/json_text.h"
#include "mqtt/mqtt_command.h"
#include "mqtt/utf8_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class Station : public vantora::StationControl {
public:
    int commands = 0;  // calls that act on the antenna or tracking
    int origins = 0;
    bool elevationRotator = true;

    void CommandsFrom(const vantora::CommandOrigin& origin) override
    {
        ++origins;
        Check(origin.source == vantora::CommandSource::Mqtt);
    }
    bool EnterTargetText(std::string_view text) override
    {
        ++commands;
        Check(!text.empty() && text.size() <= vantora::kMqttMaxPayloadBytes && vantora::IsUtf8(text));
        return text.size() % 2 == 0;
    }
    bool GoPreset(int n) override
    {
        ++commands;
        Check(n >= 1 && n <= 8);
        return true;
    }
    void SetTracking(vantora::TrackingChoice) override { ++commands; }
    void Jog(vantora::JogDirection, bool) override { Check(false); }
    vantora::StationSnapshot Snapshot() const override
    {
        vantora::StationSnapshot snapshot;
        snapshot.rotator2IsElevation = elevationRotator;
        return snapshot;
    }
    void SetTarget(int code, int value1, int value2) override
    {
        ++commands;
        Check(code == 1 || code == 2);
        Check(value2 == 0);
        Check(value1 >= 0 && value1 <= (code == 1 ? 359 : 180));
    }
    void Stop() override { ++commands; }
    void Park() override { ++commands; }
    void TrackingOff() override { Check(false); }
    bool GoToLocator(std::string_view) override
    {
        Check(false);
        return false;
    }
    int BeamAzimuth() const override { return 0; }
    int Elevation() const override { return 0; }
};

constexpr const char* kTopics[] = {
    "p/set/azimuth", "p/set/elevation", "p/set/target", "p/set/stop", "p/set/park",
    "p/set/preset",  "p/set/tracking",  "p/set/other",  "p/state",    "p/set/azimuth/x",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    const std::string_view payload(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string topic = kTopics[(selector & 0x0f) % (sizeof kTopics / sizeof kTopics[0])];
    const bool retained = (selector & 0x10) != 0;
    Station station;
    station.elevationRotator = (selector & 0x20) == 0;

    const auto reason = vantora::HandleMqttMessage("p", topic, payload, retained, station);
    Check(station.commands <= 1 && station.origins <= 1);
    if (!reason) {
        Check(station.commands == 0);  // not a command topic
    } else if (reason->empty()) {
        Check(station.commands == 1 && !retained);
        Check(payload.size() <= vantora::kMqttMaxPayloadBytes && vantora::IsUtf8(payload));
    } else {
        Check(vantora::IsUtf8(*reason));
    }
    if (retained || payload.size() > vantora::kMqttMaxPayloadBytes || !vantora::IsUtf8(payload))
        Check(station.commands == 0);

    // The payload as a JSON string is valid UTF-8 without raw control characters.
    const std::string json = vantora::JsonString(payload);
    Check(vantora::IsUtf8(json) && json.size() >= 2 && json.front() == '"' && json.back() == '"');
    for (const char c : json)
        Check(static_cast<unsigned char>(c) >= 0x20);
    return 0;
}
