// The station's words for the consoles and the journal: the last command's text, the headless
// program's command line and its event lines.
#include "station/event_lines.h"
#include "station/headless_options.h"
#include "station/station_command_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vantora {
namespace {

TEST(StationCommandText, TargetsReadAsTheTargetBoxWouldTakeThem)
{
    struct Case {
        int code, value1, value2;
        const char* text;
    };
    const Case cases[] = {
        {1, 120, 0, "120"}, {2, 0, 30, "E30"},   {3, 45, 10, "45/10"},
        {4, 7, 0, "A7"},    {5, 359, 0, "B359"}, {9, 1, 2, "?9"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TargetCommandText(c.code, c.value1, c.value2), c.text) << c.code;
}

TEST(StationCommandText, TheTargetBoxTextCountsOnlyWhenItDidSomething)
{
    EntryResult dropped;
    EXPECT_FALSE(EntryCommandText("hello", dropped));

    EntryResult target;
    target.nastav = NastavCall{2, 0, 30};
    EXPECT_EQ(EntryCommandText("  e30 ", target), "E30");
    EXPECT_FALSE(EntryCommandText("   ", target));

    EntryResult stop;
    stop.stopSent = true;
    EXPECT_EQ(EntryCommandText("stop", stop), "STOP");

    EntryResult locator;
    locator.nastav = NastavCall{1, 282, 0};
    locator.locator = "IO91AA";
    EXPECT_EQ(EntryCommandText("io91aa", locator), "IO91AA");
}

TEST(StationCommandText, TrackingAndJog)
{
    EXPECT_EQ(TrackingCommandText(TrackingChoice::Off), "Tracking OFF");
    EXPECT_EQ(TrackingCommandText(TrackingChoice::Moon), "Tracking Moon");
    EXPECT_EQ(TrackingCommandText(TrackingChoice::Sun), "Tracking Sun");
    EXPECT_EQ(JogCommandText(JogDirection::Cw), "Jog CW");
    EXPECT_EQ(JogCommandText(JogDirection::Down), "Jog DOWN");
    EXPECT_EQ(UpperCaseText("jn79ab°"), "JN79AB°");
}

TEST(HeadlessCommandLine, OptionsValuesAndErrors)
{
    struct Case {
        std::vector<std::string> arguments;
        std::optional<std::string> settings;
        std::optional<std::string> port;
        std::string error;
        bool reply = false;
    };
    const Case cases[] = {
        {{}, {}, {}, ""},
        {{"--headless"}, {}, {}, ""},
        {{"--headless", "--settings", "/var/lib/vantora/vantora.conf", "--port", "/dev/ttyUSB0"},
         "/var/lib/vantora/vantora.conf",
         "/dev/ttyUSB0",
         ""},
        {{"--settings=/tmp/a.conf", "--port=/dev/ttyACM1"}, "/tmp/a.conf", "/dev/ttyACM1", ""},
        {{"--port"}, {}, {}, "--port needs a value"},
        {{"--settings="}, {}, {}, "--settings needs a value"},
        {{"--settingsX=1"}, {}, {}, "unknown argument: --settingsX=1"},
        {{"--headless", "extra"}, {}, {}, "unknown argument: extra"},
        {{"--port", "/dev/ttyS0", "--bogus"}, {}, "/dev/ttyS0", "unknown argument: --bogus"},
        {{"--version", "--bogus"}, {}, {}, "", true},
        {{"--help"}, {}, {}, "", true},
    };
    for (const Case& c : cases) {
        const HeadlessCommandLine line = ParseHeadlessCommandLine(c.arguments, "1.2");
        const std::string name = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(line.options.settingsPath, c.settings) << name;
        EXPECT_EQ(line.options.portDevice, c.port) << name;
        EXPECT_EQ(line.error, c.error) << name;
        EXPECT_EQ(line.reply.has_value(), c.reply) << name;
    }
    EXPECT_EQ(ParseHeadlessCommandLine({"--version"}, "1.2").reply, "vantora 1.2");
}

TEST(EventLines, OneLinePlainText)
{
    EXPECT_EQ(EventLine("port COM 1 opened"), "vantora: port COM 1 opened");
    // A box's text of several lines, and control characters a peer could have sent, stay on one.
    EXPECT_EQ(EventLine("Settings updated.\nPlease check them.\n"), "vantora: Settings updated.; Please check them.");
    EXPECT_EQ(EventLine("a\x1b[31mred\r"), "vantora: a [31mred");
    EXPECT_EQ(TargetLine({CommandSource::Rotctld, {}}, "120/30"), "target from rotctld: 120/30");
    EXPECT_EQ(TargetLine({CommandSource::Web, "192.168.1.20"}, "PARK"), "target from web console (192.168.1.20): PARK");
    EXPECT_EQ(TargetLine({CommandSource::Tcp, {}}, "A7"), "target from port 1023: A7");
    EXPECT_EQ(LinkLine(false, "No answer from the control unit", false), "link stale: No answer from the control unit");
    EXPECT_EQ(LinkLine(false, "", false), "link stale: no position report yet");
    EXPECT_EQ(LinkLine(true, "", true), "link fresh: the unit reports");
    EXPECT_EQ(LinkLine(true, "", false), "link fresh: the unit reports again");
}

TEST(EventLines, TheSinkWritesAndDoesNotWait)
{
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    EventLineSink sink(stream);
    sink.ShowMessage("Unable to open port !");
    sink.ShowMessage("two\nlines");
    std::rewind(stream);
    char buffer[256] = {};
    const std::size_t read = std::fread(buffer, 1, sizeof buffer - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(std::string(buffer, read), "vantora: Unable to open port !\nvantora: two; lines\n");
}

}  // namespace
}  // namespace vantora
