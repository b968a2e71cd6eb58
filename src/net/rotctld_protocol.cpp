#include "net/rotctld_protocol.h"

#include "common/integer_text.h"
#include "geo/azimuthal_projection.h"
#include "geo/locator.h"
#include "track/tracking_line.h"

#include <array>
#include <charconv>
#include <cmath>
#include <vector>

namespace vantora {

namespace {

constexpr int kCodeAzimuthElevation = 3;  // Nastav: both rotators
constexpr int kCodeSelectedAzimuth = 1;   // Nastav: the selected azimuth rotator
constexpr std::uint8_t kModeSecondAzimuth = 1;
constexpr std::uint8_t kModeElevation = 2;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> SplitWords(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

struct CommandName {
    char shortForm;
    std::string_view longForm;
    RotctldCommandKind kind;
};

// '\0' for a command that has no short form.
// '\0' for a command that has no short form. The first long name of a kind heads its extended
// replies; the later ones are accepted as well.
constexpr CommandName kCommands[] = {
    {'p', "get_pos", RotctldCommandKind::GetPos},
    {'P', "set_pos", RotctldCommandKind::SetPos},
    {'S', "stop", RotctldCommandKind::Stop},
    {'K', "park", RotctldCommandKind::Park},
    {'M', "move", RotctldCommandKind::Move},
    {'R', "reset", RotctldCommandKind::Reset},
    {'_', "get_info", RotctldCommandKind::GetInfo},
    {'s', "get_status", RotctldCommandKind::GetStatus},
    {'\0', "dump_state", RotctldCommandKind::DumpState},
    {'1', "dump_caps", RotctldCommandKind::DumpCaps},
    {'l', "loc2lonlat", RotctldCommandKind::LocatorToLonLat},
    {'\0', "locator2lonlat", RotctldCommandKind::LocatorToLonLat},
    {'L', "lonlat2loc", RotctldCommandKind::LonLatToLocator},
    {'\0', "lonlat2locator", RotctldCommandKind::LonLatToLocator},
    {'B', "qrb", RotctldCommandKind::Qrb},
};

// Hamlib's ROT_MOVE_* directions of "M" and the arrow key each holds down.
constexpr int kMoveUp = 2;
constexpr int kMoveDown = 4;
constexpr int kMoveLeft = 8;    // counter-clockwise
constexpr int kMoveRight = 16;  // clockwise

RotctldCommandKind KindOfWord(std::string_view word)
{
    if (word == "q" || word == "Q")
        return RotctldCommandKind::Quit;
    if (!word.empty() && word.front() == '\\')
        word.remove_prefix(1);
    for (const CommandName& name : kCommands) {
        if ((word.size() == 1 && name.shortForm != '\0' && word.front() == name.shortForm) || word == name.longForm)
            return name.kind;
    }
    return RotctldCommandKind::Unknown;
}

std::string_view LongName(RotctldCommandKind kind)
{
    for (const CommandName& name : kCommands)
        if (name.kind == kind)
            return name.longForm;
    return {};
}

std::string Rprt(int code)
{
    return "RPRT " + std::to_string(code) + "\n";
}

bool TakesArguments(RotctldCommandKind kind)
{
    switch (kind) {
    case RotctldCommandKind::SetPos:
    case RotctldCommandKind::Move:
    case RotctldCommandKind::Reset:
    case RotctldCommandKind::LocatorToLonLat:
    case RotctldCommandKind::LonLatToLocator:
    case RotctldCommandKind::Qrb: return true;
    default: return false;
    }
}

// "%f" in the C locale, whatever the program's locale: 12.958333.
std::string Fixed6(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("nan");
}

std::string_view LimitText(double degrees)
{
    return degrees < 0 ? "-180.000000" : "540.000000";
}

// Replies in either form: plain lines, or the extended form's header, labelled lines and RPRT.
class Reply {
public:
    explicit Reply(const RotctldCommand& command) : m_separator(command.separator)
    {
        if (m_separator == 0)
            return;
        m_text.append(LongName(command.kind));
        m_text += ':';
        // The arguments come back as sent, but only as printable text: a client's control bytes
        // are not echoed into its reply lines.
        if (TakesArguments(command.kind))
            for (std::string_view word : SplitWords(command.arguments)) {
                m_text += ' ';
                for (const char c : word)
                    m_text += c >= 0x20 && c < 0x7f ? c : '?';
            }
        m_text += m_separator;
    }

    // One value: "label: value" in the extended form, the value alone in the plain one.
    void Value(std::string_view label, std::string_view value)
    {
        if (m_separator != 0)
            m_text.append(label).append(": ");
        m_text.append(value);
        m_text += m_separator != 0 ? m_separator : '\n';
    }

    // A line that both forms carry as it is.
    void Line(std::string_view line)
    {
        m_text.append(line);
        m_text += m_separator != 0 ? m_separator : '\n';
    }

    // The end: an error code always; RPRT 0 in the extended form, and in the plain one only for
    // commands that answer nothing else.
    std::string Finish(int code, bool hasValues)
    {
        if (code != 0 || m_separator != 0 || !hasValues)
            m_text += Rprt(code);
        return std::move(m_text);
    }

    // An error before any value: what was written of the plain form is dropped.
    std::string Fail(int code)
    {
        if (m_separator == 0)
            m_text.clear();
        m_text += Rprt(code);
        return std::move(m_text);
    }

private:
    char m_separator;
    std::string m_text;
};

// The limits are those "P" accepts, since Hamlib's network client refuses anything outside them
// before it sends. The elevation range is the same with a second azimuth rotator, whose clients
// still send an elevation (it is ignored then).
std::string DumpState(const RotctldCommand& command, const RotctldState& state)
{
    const bool azimuthOnly = state.rotator2Mode == kModeSecondAzimuth;
    const std::string minAzimuth(LimitText(kRotctldMinAzimuth));
    const std::string maxAzimuth(LimitText(kRotctldMaxAzimuth));
    const std::string maxElevation = std::to_string(kRotctldMaxElevation) + ".000000";
    Reply reply(command);
    if (command.separator == 0) {
        reply.Line("1");
        reply.Line("1");
        reply.Line("min_az=" + minAzimuth);
        reply.Line("max_az=" + maxAzimuth);
        reply.Line("min_el=0.000000");
        reply.Line("max_el=" + maxElevation);
        reply.Line("south_zero=0");
    } else {
        reply.Value("rotctld Protocol Ver", "1");
        reply.Value("Rotor Model", "1");
        reply.Value("Minimum Azimuth", minAzimuth);
        reply.Value("Maximum Azimuth", maxAzimuth);
        reply.Value("Minimum Elevation", "0.000000");
        reply.Value("Maximum Elevation", maxElevation);
        reply.Value("South Zero", "0");
    }
    reply.Line(azimuthOnly ? "rot_type=Az" : "rot_type=AzEl");
    reply.Line("done");
    return reply.Finish(0, true);
}

// Hamlib's status flags, in the order of their bits, each followed by a blank.
std::string StatusFlags(const RotctldState& state)
{
    const bool az = state.azimuthTurning;
    const bool el = state.elevationTurning;
    const std::array<std::pair<bool, std::string_view>, 7> flags = {{
        {az || el, "MOVING"},
        {az, "MOVING_AZ"},
        {az && state.handDrive.left, "MOVING_LEFT"},
        {az && state.handDrive.right, "MOVING_RIGHT"},
        {el, "MOVING_EL"},
        {el && state.handDrive.up, "MOVING_UP"},
        {el && state.handDrive.down, "MOVING_DOWN"},
    }};
    std::string text;
    for (const auto& [set, name] : flags)
        if (set)
            text.append(name).append(" ");
    return text;
}

// What "1" answers: the labels of rotctld's caps dump that describe this server, with its values.
std::string Caps(const RotctldState& state)
{
    const bool azimuthOnly = state.rotator2Mode == kModeSecondAzimuth;
    std::string caps;
    caps += "Caps dump for model:\t1\n";
    caps += "Model name:\t\t" + state.info + "\n";
    caps += "Backend status:\t\tStable\n";
    caps += azimuthOnly ? "Rot type:\t\tAz\n" : "Rot type:\t\tAz-El\n";
    caps += "Port type:\t\tNetwork link\n";
    caps += "Status flags: MOVING MOVING_AZ MOVING_LEFT MOVING_RIGHT MOVING_EL MOVING_UP MOVING_DOWN \n";
    caps += "Min Azimuth:\t\t-180.00\n";
    caps += "Max Azimuth:\t\t540.00\n";
    caps += "Min Elevation:\t\t0.00\n";
    caps += "Max Elevation:\t\t" + std::to_string(kRotctldMaxElevation) + ".00\n";
    caps += "Can set Position:\tY\n";
    caps += "Can get Position:\tY\n";
    caps += "Can Stop:\t\tY\n";
    caps += "Can Park:\t\tY\n";
    caps += "Can Reset:\t\tY\n";
    caps += "Can Move:\t\tY\n";
    caps += "Can get Info:\t\tY\n";
    caps += "Can get Status:\t\tY\n";
    caps += "\nOverall backend warnings: 0\n";
    return caps;
}

std::optional<double> Longitude(std::string_view text)
{
    const auto value = ParseRotctldNumber(text);
    return value && *value >= -180.0 && *value <= 180.0 ? value : std::nullopt;
}

std::optional<double> Latitude(std::string_view text)
{
    const auto value = ParseRotctldNumber(text);
    return value && *value >= -90.0 && *value <= 90.0 ? value : std::nullopt;
}

std::string LocatorToLonLat(const RotctldCommand& command)
{
    Reply reply(command);
    const std::vector<std::string_view> words = SplitWords(command.arguments);
    const auto centre = words.size() == 1 ? LocatorCentre(words[0]) : std::nullopt;
    if (!centre)
        return reply.Fail(kRprtInvalid);
    reply.Value("Longitude", Fixed6(centre->longitude));
    reply.Value("Latitude", Fixed6(centre->latitude));
    return reply.Finish(kRprtOk, true);
}

// "L lon lat length": the length in characters, as rotctld reads it (an odd one drops its last).
std::string LonLatToLocator(const RotctldCommand& command)
{
    Reply reply(command);
    const std::vector<std::string_view> words = SplitWords(command.arguments);
    if (words.size() != 3)
        return reply.Fail(kRprtInvalid);
    const auto longitude = Longitude(words[0]);
    const auto latitude = Latitude(words[1]);
    const auto length = ParseDecimalDigits(words[2], 2, 2 * kMaxLocatorPairs + 1);
    if (!longitude || !latitude || !length)
        return reply.Fail(kRprtInvalid);
    const auto locator = PositionLocator({*longitude, *latitude}, static_cast<int>(*length / 2));
    if (!locator)
        return reply.Fail(kRprtInvalid);
    reply.Value("Locator", *locator);
    return reply.Finish(kRprtOk, true);
}

// "B lon1 lat1 lon2 lat2": great-circle distance in km and the bearing in whole degrees.
std::string Qrb(const RotctldCommand& command)
{
    Reply reply(command);
    const std::vector<std::string_view> words = SplitWords(command.arguments);
    if (words.size() != 4)
        return reply.Fail(kRprtInvalid);
    const auto lon1 = Longitude(words[0]);
    const auto lat1 = Latitude(words[1]);
    const auto lon2 = Longitude(words[2]);
    const auto lat2 = Latitude(words[3]);
    if (!lon1 || !lat1 || !lon2 || !lat2)
        return reply.Fail(kRprtInvalid);
    const GeoPosition from{*lon1, *lat1};
    const GeoPosition to{*lon2, *lat2};
    const double distance = AzimuthalProjection(from, 0, 0, 1).DistanceKm(to);
    // A bearing from a point to itself has no meaning; rotctld answers 0 there.
    const int bearing = distance < 1e-6 ? 0 : VypLocAzm(from, to) % 360;
    reply.Value("QRB Distance", Fixed6(distance));
    reply.Value("QRB Azimuth", Fixed6(bearing));
    return reply.Finish(kRprtOk, true);
}

std::optional<ArrowKeys> MoveKeys(std::string_view arguments)
{
    const std::vector<std::string_view> words = SplitWords(arguments);
    if (words.size() != 2 || !ParseRotctldNumber(words[1]))
        return std::nullopt;  // the speed must be a number; it is not used
    const auto direction = ParseRotctldNumber(words[0]);
    if (!direction)
        return std::nullopt;
    ArrowKeys keys;
    if (*direction == kMoveUp)
        keys.up = true;
    else if (*direction == kMoveDown)
        keys.down = true;
    else if (*direction == kMoveLeft)
        keys.left = true;
    else if (*direction == kMoveRight)
        keys.right = true;
    else
        return std::nullopt;
    return keys;
}

}  // namespace

bool IsRotctldQuery(RotctldCommandKind kind)
{
    switch (kind) {
    case RotctldCommandKind::GetPos:
    case RotctldCommandKind::GetInfo:
    case RotctldCommandKind::DumpState:
    case RotctldCommandKind::GetStatus: return true;
    default: return false;
    }
}

RotctldCommand ParseRotctldCommand(std::string_view line)
{
    RotctldCommand command;
    if (!line.empty()) {
        switch (line.front()) {
        case '+': command.separator = '\n'; break;
        case ';':
        case '|':
        case ',': command.separator = line.front(); break;
        default: break;
        }
        if (command.separator != 0)
            line.remove_prefix(1);
    }
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    std::size_t end = 0;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    command.kind = KindOfWord(line.substr(0, end));
    std::string_view rest = line.substr(end);
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.back()))
        rest.remove_suffix(1);
    command.arguments = std::string(rest);
    command.argumentCount = static_cast<int>(SplitWords(rest).size());
    return command;
}

std::optional<double> ParseRotctldNumber(std::string_view text)
{
    // Room for any sensible number; a longer text is none.
    constexpr std::size_t kMaxNumberText = 64;
    if (text.empty() || text.size() > kMaxNumberText)
        return std::nullopt;
    std::string number(text);
    if (number.front() == '+')
        number.erase(0, 1);
    // One decimal comma (a client in a locale that writes one) reads as the decimal point.
    const std::size_t comma = number.find(',');
    if (comma != std::string::npos) {
        if (number.find_first_of(",.", comma + 1) != std::string::npos || number.find('.') != std::string::npos)
            return std::nullopt;
        number[comma] = '.';
    }
    if (number.empty() || number.front() == '+')
        return std::nullopt;
    double value = 0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> RotctldAzimuthTarget(double degrees)
{
    if (!(degrees >= kRotctldMinAzimuth && degrees <= kRotctldMaxAzimuth))
        return std::nullopt;
    const auto rounded = RoundTrackingDegrees(degrees);
    if (!rounded)
        return std::nullopt;
    return ((*rounded % 360) + 360) % 360;
}

std::optional<int> RotctldElevationTarget(double degrees)
{
    if (!(degrees >= 0.0 && degrees <= kRotctldMaxElevation))
        return std::nullopt;
    return RoundTrackingDegrees(degrees);
}

int CheckSetPosition(std::string_view arguments, const RotctldState& state, RotctldTarget& target)
{
    const std::vector<std::string_view> words = SplitWords(arguments);
    if (words.size() != 2)
        return kRprtInvalid;
    const auto azimuth = ParseRotctldNumber(words[0]);
    const auto elevation = ParseRotctldNumber(words[1]);
    if (!azimuth || !elevation)
        return kRprtInvalid;
    // The elevation is checked against the full range even for a second azimuth rotator, whose
    // clients still send one; it is dropped then.
    const auto azimuthTarget = RotctldAzimuthTarget(*azimuth);
    const auto elevationTarget = RotctldElevationTarget(*elevation);
    if (!azimuthTarget || !elevationTarget)
        return kRprtInvalid;
    if (state.rotator2Mode != kModeSecondAzimuth && state.rotator2Mode != kModeElevation)
        return kRprtTimeout;
    target.azimuth = *azimuthTarget;
    target.elevation = state.rotator2Mode == kModeSecondAzimuth ? 0 : *elevationTarget;
    target.code = state.rotator2Mode == kModeSecondAzimuth ? kCodeSelectedAzimuth : kCodeAzimuthElevation;
    return kRprtOk;
}

std::string RotctldDegrees(std::int32_t degrees)
{
    return std::to_string(degrees) + ".00";
}

std::string RunRotctldCommand(const RotctldCommand& command, const RotctldState& state, RotctldActions& actions)
{
    switch (command.kind) {
    case RotctldCommandKind::Quit:
        return {};
    case RotctldCommandKind::Unknown:
        return Rprt(kRprtUnavailable);
    case RotctldCommandKind::DumpState:
        if (command.argumentCount != 0)
            return Reply(command).Fail(kRprtInvalid);
        return DumpState(command, state);
    case RotctldCommandKind::SetPos: {
        RotctldTarget target;
        const int code = CheckSetPosition(command.arguments, state, target);
        if (code == kRprtOk)
            actions.SetPosition(target.code, target.azimuth, target.elevation);
        return Reply(command).Finish(code, false);
    }
    case RotctldCommandKind::Move: {
        const auto keys = MoveKeys(command.arguments);
        if (keys)
            actions.Move(*keys);
        return Reply(command).Finish(keys ? kRprtOk : kRprtInvalid, false);
    }
    case RotctldCommandKind::Reset: {
        // Every kind of reset stops both rotators: the unit has nothing else to reset.
        const bool good = command.argumentCount == 1 && ParseRotctldNumber(command.arguments);
        if (good)
            actions.Stop();
        return Reply(command).Finish(good ? kRprtOk : kRprtInvalid, false);
    }
    case RotctldCommandKind::LocatorToLonLat: return LocatorToLonLat(command);
    case RotctldCommandKind::LonLatToLocator: return LonLatToLocator(command);
    case RotctldCommandKind::Qrb: return Qrb(command);
    default:
        break;
    }

    Reply reply(command);
    if (command.argumentCount != 0)
        return reply.Fail(kRprtInvalid);
    switch (command.kind) {
    case RotctldCommandKind::GetPos: {
        if (!state.positionFresh)
            return reply.Fail(kRprtTimeout);
        const std::int32_t elevation = state.rotator2Mode == kModeElevation ? state.rotator2Position : 0;
        reply.Value("Azimuth", RotctldDegrees(state.beamAzimuth));
        reply.Value("Elevation", RotctldDegrees(elevation));
        return reply.Finish(kRprtOk, true);
    }
    case RotctldCommandKind::Stop:
        actions.Stop();
        return reply.Finish(kRprtOk, false);
    case RotctldCommandKind::Park:
        actions.Park();
        return reply.Finish(kRprtOk, false);
    case RotctldCommandKind::GetInfo:
        reply.Value("Info", state.info);
        return reply.Finish(kRprtOk, true);
    case RotctldCommandKind::GetStatus:
        if (!state.positionFresh)
            return reply.Fail(kRprtTimeout);  // the unit is silent: nobody knows whether it turns
        reply.Value("Status flags", StatusFlags(state));
        return reply.Finish(kRprtOk, true);
    case RotctldCommandKind::DumpCaps: {
        // The caps text keeps its own lines in every form, and always ends with its RPRT.
        std::string text;
        if (command.separator != 0)
            text.append(LongName(command.kind)).append(":").append(1, command.separator);
        return text + Caps(state) + Rprt(kRprtOk);
    }
    default:
        return reply.Fail(kRprtUnavailable);
    }
}

std::string RotctldSession::Feed(std::string_view bytes, const RotctldState& state, RotctldActions& actions)
{
    std::string replies;
    for (const char c : bytes) {
        if (m_closed)
            break;
        if (c == '\n' || c == '\r') {
            if (m_discarding)
                m_discarding = false;
            else
                replies += RunLine(state, actions);
            m_line.clear();
            continue;
        }
        if (m_discarding)
            continue;
        if (m_line.size() == kRotctldLineMax) {
            // Refused at once, so that a client that never ends its line hears about it.
            m_line.clear();
            m_discarding = true;
            replies += Rprt(kRprtInvalid);
            continue;
        }
        m_line += c;
    }
    return replies;
}

std::string RotctldSession::RunPending(const RotctldState& state, RotctldActions& actions)
{
    if (m_closed || m_discarding || m_line.empty() || !IsRotctldQuery(ParseRotctldCommand(m_line).kind))
        return {};
    return RunAtEnd(state, actions);
}

std::string RotctldSession::RunAtEnd(const RotctldState& state, RotctldActions& actions)
{
    if (m_closed || m_discarding)
        return {};
    std::string reply = RunLine(state, actions);
    m_line.clear();
    return reply;
}

std::string RotctldSession::RunLine(const RotctldState& state, RotctldActions& actions)
{
    const std::string_view line = m_line;
    if (line.find_first_not_of(" \t") == std::string_view::npos)
        return {};
    const RotctldCommand command = ParseRotctldCommand(line);
    if (command.kind == RotctldCommandKind::Quit) {
        m_closed = true;
        return {};
    }
    return RunRotctldCommand(command, state, actions);
}

}  // namespace vantora
