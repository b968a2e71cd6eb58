// Any text as a message from a browser console (and as a login body): the JSON reader never
// crashes, a parsed command has its fields within their ranges, the reply is one of the few the
// console knows and is itself valid JSON, only an operator's accepted command reaches the
// station, and text the console writes back (quoted) always reads back as the same text.
#include "net/station_control.h"
#include "web/console_commands.h"
#include "web/json_text.h"
#include "web/web_command.h"

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

class CountingStation : public vantora::StationControl {
public:
    void SetTarget(int, int, int) override { ++calls; }
    void Stop() override { ++calls; }
    void Park() override { ++calls; }
    void TrackingOff() override { ++calls; }
    bool GoToLocator(std::string_view) override { return ++calls > 0; }
    int BeamAzimuth() const override { return 0; }
    int Elevation() const override { return 0; }
    void CommandsFrom(const vantora::CommandOrigin&) override {}
    bool EnterTargetText(std::string_view text) override
    {
        ++calls;
        return text.size() % 2 == 0;
    }
    bool GoPreset(int n) override
    {
        Check(n >= 1 && n <= 8);
        ++calls;
        return true;
    }
    void SetTracking(vantora::TrackingChoice) override { ++calls; }
    void Jog(vantora::JogDirection, bool) override { ++calls; }
    vantora::StationSnapshot Snapshot() const override { return {}; }
    int calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto command = vantora::ParseWebCommand(text)) {
        if (command->kind == vantora::WebCommandKind::Preset)
            Check(command->preset >= 1 && command->preset <= 8);
    }
    (void)vantora::ParseLoginBody(text);

    for (const vantora::WebRole role : {vantora::WebRole::Operator, vantora::WebRole::Viewer}) {
        CountingStation station;
        vantora::ConsoleState console;
        console.role = role;
        const std::string reply = vantora::RunConsoleMessage(text, console, station, 0);
        const auto parsed = vantora::ParseJsonFlatObject(reply);
        Check(parsed.has_value());
        const std::string* error = vantora::JsonString(*parsed, "error");
        Check(error == nullptr || *error == "bad command" || *error == "not allowed" || *error == "not a target");
        if (role == vantora::WebRole::Viewer || error)
            Check(station.calls <= (error && *error == "not a target" ? 1 : 0));
        vantora::ReleaseConsoleJog(console, station);
    }

    // Quoting round-trips every valid UTF-8 text exactly.
    const std::string object = "{\"t\":" + vantora::JsonQuote(text) + "}";
    const auto back = vantora::ParseJsonFlatObject(object);
    Check(back.has_value());
    const std::string* value = vantora::JsonString(*back, "t");
    Check(value != nullptr);
    if (value->find("\xEF\xBF\xBD") == std::string::npos)
        Check(*value == text);
    return 0;
}
