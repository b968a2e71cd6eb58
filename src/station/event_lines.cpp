#include "station/event_lines.h"

namespace vantora {

std::string_view CommandSourceText(CommandSource source)
{
    switch (source) {
    case CommandSource::Desktop: return "desktop";
    case CommandSource::Tcp: return "port 1023";
    case CommandSource::Rotctld: return "rotctld";
    case CommandSource::N1mm: return "N1MM";
    case CommandSource::Pst: return "PST";
    case CommandSource::Web: return "web console";
    case CommandSource::Mqtt: return "MQTT";
    }
    return "unknown";
}

std::string TargetLine(const CommandOrigin& origin, std::string_view command)
{
    std::string line = "target from ";
    line += CommandSourceText(origin.source);
    if (!origin.address.empty())
        line += " (" + origin.address + ")";
    line += ": ";
    line += command;
    return line;
}

std::string LinkLine(bool fresh, std::string_view reason, bool firstReport)
{
    if (fresh)
        return firstReport ? "link fresh: the unit reports" : "link fresh: the unit reports again";
    std::string line = "link stale: ";
    line += reason.empty() ? std::string_view("no position report yet") : reason;
    return line;
}

std::string EventLine(std::string_view text)
{
    std::string line = "vantora: ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (i + 1 < text.size())
                line += "; ";
            continue;
        }
        // A control character would break the one-line rule (or colour a terminal).
        line += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    }
    return line;
}

void WriteEventLine(std::FILE* stream, std::string_view text)
{
    const std::string line = EventLine(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

void EventLineSink::ShowMessage(std::string_view text)
{
    WriteEventLine(m_stream, text);
}

}  // namespace vantora
