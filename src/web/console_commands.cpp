#include "web/console_commands.h"

#include "web/state_json.h"
#include "web/web_command.h"

namespace vantora {

namespace {

void ApplyJog(const JogChange& change, StationControl& station)
{
    if (change.release)
        station.Jog(*change.release, false);
    if (change.press)
        station.Jog(*change.press, true);
}

}  // namespace

std::string RunConsoleMessage(std::string_view message, ConsoleState& console, StationControl& station,
                              std::int64_t nowMs)
{
    if (!console.rate.Take(nowMs))
        return EncodeErrorReply("too many commands");
    const auto command = ParseWebCommand(message);
    if (!command)
        return EncodeErrorReply("bad command");
    if (console.role != WebRole::Operator)
        return EncodeErrorReply("not allowed");

    station.CommandsFrom(CommandOrigin{CommandSource::Web, console.address});
    switch (command->kind) {
    case WebCommandKind::Target:
        if (!station.EnterTargetText(command->text))
            return EncodeErrorReply("not a target");
        break;
    case WebCommandKind::Stop: station.Stop(); break;
    case WebCommandKind::Park: station.Park(); break;
    case WebCommandKind::Preset:
        if (!station.GoPreset(command->preset))
            return EncodeErrorReply("bad command");
        break;
    case WebCommandKind::Tracking: station.SetTracking(command->tracking); break;
    case WebCommandKind::Jog: ApplyJog(console.jog.Press(command->direction, nowMs), station); break;
    case WebCommandKind::Release: ReleaseConsoleJog(console, station); break;
    }
    return EncodeOkReply();
}

void ReleaseConsoleJog(ConsoleState& console, StationControl& station)
{
    if (const auto held = console.jog.Release())
        station.Jog(*held, false);
}

void TickConsoleJog(ConsoleState& console, StationControl& station, std::int64_t nowMs)
{
    if (const auto held = console.jog.Tick(nowMs))
        station.Jog(*held, false);
}

}  // namespace vantora
