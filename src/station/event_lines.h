#pragma once
// What the station shows, as the lines the headless program writes to standard error: one event
// a line, plain text, no colours, so that a journal keeps them as they are. A message the desktop
// shows in a modal box becomes such a line and blocks nothing.

#include "net/station_snapshot.h"
#include "settings/message_sink.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vantora {

// "port 1023", "rotctld", "N1MM", ...: the source as the lines and the consoles name it.
std::string_view CommandSourceText(CommandSource source);

// "target from rotctld: 120", with " (192.168.1.20)" after the source when the address is known.
std::string TargetLine(const CommandOrigin& origin, std::string_view command);

// "link stale: <reason>" or "link fresh: the unit reports again" (the first report: "link
// fresh: the unit reports").
std::string LinkLine(bool fresh, std::string_view reason, bool firstReport);

// One event line: "vantora: " and the text, multi-line texts joined by "; ".
std::string EventLine(std::string_view text);

// A MessageSink that writes each message as one line to a stream, without waiting for anyone.
class EventLineSink : public MessageSink {
public:
    explicit EventLineSink(std::FILE* stream) : m_stream(stream) {}
    void ShowMessage(std::string_view text) override;

private:
    std::FILE* m_stream;
};

// Writes EventLine(text) to `stream` and flushes it.
void WriteEventLine(std::FILE* stream, std::string_view text);

}  // namespace vantora
