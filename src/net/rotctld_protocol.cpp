#include "net/rotctld_protocol.h"

#include "track/tracking_line.h"

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
constexpr CommandName kCommands[] = {
    {'p', "get_pos", RotctldCommandKind::GetPos},
    {'P', "set_pos", RotctldCommandKind::SetPos},
    {'S', "stop", RotctldCommandKind::Stop},
    {'K', "park", RotctldCommandKind::Park},
    {'_', "get_info", RotctldCommandKind::GetInfo},
    {'\0', "dump_state", RotctldCommandKind::DumpState},
};

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

int MaxElevation(const RotctldState& state)
{
    return state.rotator2Mode == kModeSecondAzimuth ? 0 : kRotctldMaxElevation;
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
        if (command.kind == RotctldCommandKind::SetPos)
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

std::string DumpState(const RotctldCommand& command, const RotctldState& state)
{
    const bool azimuthOnly = state.rotator2Mode == kModeSecondAzimuth;
    const std::string maxElevation = std::to_string(MaxElevation(state)) + ".000000";
    Reply reply(command);
    if (command.separator == 0) {
        reply.Line("1");
        reply.Line("1");
        reply.Line("min_az=0.000000");
        reply.Line("max_az=360.000000");
        reply.Line("min_el=0.000000");
        reply.Line("max_el=" + maxElevation);
        reply.Line("south_zero=0");
    } else {
        reply.Value("rotctld Protocol Ver", "1");
        reply.Value("Rotor Model", "1");
        reply.Value("Minimum Azimuth", "0.000000");
        reply.Value("Maximum Azimuth", "360.000000");
        reply.Value("Minimum Elevation", "0.000000");
        reply.Value("Maximum Elevation", maxElevation);
        reply.Value("South Zero", "0");
    }
    reply.Line(azimuthOnly ? "rot_type=Az" : "rot_type=AzEl");
    reply.Line("done");
    return reply.Finish(0, true);
}

}  // namespace

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
