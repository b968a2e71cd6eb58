// The web console's messages without sockets: the JSON it reads and writes, the commands a
// console sends and what reaches the station, the state it sends, and the page's texts.
#include "support/recording_station_control.h"
#include "web/console_commands.h"
#include "web/json_text.h"
#include "web/state_json.h"
#include "web/web_command.h"
#include "web/web_texts.h"

#include "settings/translate.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vantora {
namespace {

using test::RecordingStationControl;

TEST(JsonText, QuoteEscapesAndKeepsUtf8)
{
    struct Case {
        std::string text;
        std::string quoted;
    } cases[] = {
        {"", "\"\""},
        {"120°", "\"120°\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\nnext\t\x01", "\"line\\u000anext\\u0009\\u0001\""},
        {"</script>", "\"</script>\""},
        {"\xff"
         "a",
         "\"\xEF\xBF\xBD"
         "a\""},                                                       // not UTF-8: U+FFFD
        {"\xC3", "\"\xEF\xBF\xBD\""},                                  // cut sequence
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate is not UTF-8
        {"Spojení ztraceno", "\"Spojení ztraceno\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonQuote(c.text), c.quoted) << c.text;
}

TEST(JsonText, FlatObjects)
{
    struct Case {
        std::string text;
        bool parses;
    } cases[] = {
        {"{}", true},
        {" { \"cmd\" : \"stop\" } ", true},
        {"{\"a\":1,\"b\":-2.5e3,\"c\":true,\"d\":false,\"e\":null,\"f\":\"x\"}", true},
        {"{\"a\":\"\\u00e9\\ud83d\\ude00\\n\\/\"}", true},
        {"", false},
        {"[]", false},
        {"\"x\"", false},
        {"{", false},
        {"{\"a\"}", false},
        {"{\"a\":}", false},
        {"{\"a\":1,}", false},
        {"{,}", false},
        {"{\"a\":1}x", false},
        {"{\"a\":1}{}", false},
        {"{\"a\":{\"b\":1}}", false},
        {"{\"a\":[1]}", false},
        {"{\"a\":01}", false},
        {"{\"a\":1.}", false},
        {"{\"a\":.5}", false},
        {"{\"a\":+1}", false},
        {"{\"a\":tru}", false},
        {"{\"a\":1,\"a\":2}", false},
        {"{a:1}", false},
        {"{'a':1}", false},
        {"{\"a\":\"\x01\"}", false},
        {"{\"a\":\"\\x\"}", false},
        {"{\"a\":\"\\ud800\"}", false},
        {"{\"a\":\"\\udc00\"}", false},
        {"{\"a\":\"\\u12\"}", false},
        {"{\"a\":\"\xff\"}", false},
        {"{\"a\":\"unterminated}", false},
        {"{\"1\":1,\"2\":2,\"3\":3,\"4\":4,\"5\":5,\"6\":6,\"7\":7,\"8\":8,\"9\":9,\"10\":10,\"11\":11,\"12\":12,"
         "\"13\":13,\"14\":14,\"15\":15,\"16\":16}",
         true},
        {"{\"1\":1,\"2\":2,\"3\":3,\"4\":4,\"5\":5,\"6\":6,\"7\":7,\"8\":8,\"9\":9,\"10\":10,\"11\":11,\"12\":12,"
         "\"13\":13,\"14\":14,\"15\":15,\"16\":16,\"17\":17}",
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseJsonFlatObject(c.text).has_value(), c.parses) << c.text;

    const auto object =
        ParseJsonFlatObject("{\"a\":\"\\u00e9\\ud83d\\ude00\",\"n\":3,\"x\":3.5,\"big\":99999999999999999999}");
    ASSERT_TRUE(object);
    ASSERT_NE(JsonString(*object, "a"), nullptr);
    EXPECT_EQ(*JsonString(*object, "a"), "é\xF0\x9F\x98\x80");
    EXPECT_EQ(JsonWhole(*object, "n"), 3);
    EXPECT_EQ(JsonWhole(*object, "x"), std::nullopt);
    EXPECT_EQ(JsonWhole(*object, "big"), std::nullopt);
    EXPECT_EQ(JsonString(*object, "n"), nullptr);
}

TEST(WebCommand, Parse)
{
    using K = WebCommandKind;
    struct Case {
        const char* message;
        std::optional<WebCommand> command;
    } cases[] = {
        {R"({"cmd":"target","text":"E30"})", WebCommand{K::Target, "E30"}},
        {R"({"text":"120","cmd":"target","extra":1})", WebCommand{K::Target, "120"}},
        {R"({"cmd":"target","text":""})", WebCommand{K::Target, ""}},
        {R"({"cmd":"stop"})", WebCommand{K::Stop, ""}},
        {R"({"cmd":"park"})", WebCommand{K::Park, ""}},
        {R"({"cmd":"preset","n":1})", WebCommand{K::Preset, "", 1}},
        {R"({"cmd":"preset","n":8})", WebCommand{K::Preset, "", 8}},
        {R"({"cmd":"tracking","source":"moon"})", WebCommand{K::Tracking, "", 0, TrackingChoice::Moon}},
        {R"({"cmd":"tracking","source":"sun"})", WebCommand{K::Tracking, "", 0, TrackingChoice::Sun}},
        {R"({"cmd":"tracking","source":"off"})", WebCommand{K::Tracking, "", 0, TrackingChoice::Off}},
        {R"({"cmd":"jog","dir":"cw"})", WebCommand{K::Jog, "", 0, TrackingChoice::Off, JogDirection::Cw}},
        {R"({"cmd":"jog","dir":"ccw"})", WebCommand{K::Jog, "", 0, TrackingChoice::Off, JogDirection::Ccw}},
        {R"({"cmd":"jog","dir":"up"})", WebCommand{K::Jog, "", 0, TrackingChoice::Off, JogDirection::Up}},
        {R"({"cmd":"jog","dir":"down"})", WebCommand{K::Jog, "", 0, TrackingChoice::Off, JogDirection::Down}},
        {R"({"cmd":"release"})", WebCommand{K::Release, ""}},
        {R"({"cmd":"target"})", std::nullopt},
        {R"({"cmd":"target","text":120})", std::nullopt},
        {R"({"cmd":"preset","n":0})", std::nullopt},
        {R"({"cmd":"preset","n":9})", std::nullopt},
        {R"({"cmd":"preset","n":"3"})", std::nullopt},
        {R"({"cmd":"preset","n":3.0})", std::nullopt},
        {R"({"cmd":"preset"})", std::nullopt},
        {R"({"cmd":"tracking","source":"wsjt"})", std::nullopt},
        {R"({"cmd":"tracking"})", std::nullopt},
        {R"({"cmd":"jog","dir":"left"})", std::nullopt},
        {R"({"cmd":"jog"})", std::nullopt},
        {R"({"cmd":"STOP"})", std::nullopt},
        {R"({"cmd":"reboot"})", std::nullopt},
        {R"({"command":"stop"})", std::nullopt},
        {R"({"cmd":1})", std::nullopt},
        {R"(stop)", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWebCommand(c.message), c.command) << c.message;

    EXPECT_EQ(ParseLoginBody(R"({"password":"secret pass"})"), "secret pass");
    EXPECT_EQ(ParseLoginBody(R"({"password":""})"), "");
    EXPECT_EQ(ParseLoginBody(R"({"password":1})"), std::nullopt);
    EXPECT_EQ(ParseLoginBody(R"({"pass":"x"})"), std::nullopt);
    EXPECT_EQ(ParseLoginBody("password=x"), std::nullopt);
}

TEST(ConsoleCommands, WhatReachesTheStationAndTheReply)
{
    const std::string ok = R"({"type":"reply","ok":true})";
    const std::string from = "From 5 192.168.1.20";  // CommandSource::Web
    struct Case {
        const char* what;
        WebRole role;
        const char* message;
        std::string reply;
        std::vector<std::string> calls;
    } cases[] = {
        {"target", WebRole::Operator, R"({"cmd":"target","text":"E30"})", ok, {from, "Target E30"}},
        {"dropped target",
         WebRole::Operator,
         R"({"cmd":"target","text":"abc"})",
         R"({"type":"reply","error":"not a target"})",
         {from, "Target abc"}},
        {"stop", WebRole::Operator, R"({"cmd":"stop"})", ok, {from, "Stop"}},
        {"park", WebRole::Operator, R"({"cmd":"park"})", ok, {from, "Park"}},
        {"preset", WebRole::Operator, R"({"cmd":"preset","n":3})", ok, {from, "Preset 3"}},
        {"moon", WebRole::Operator, R"({"cmd":"tracking","source":"moon"})", ok, {from, "Tracking 1"}},
        {"tracking off", WebRole::Operator, R"({"cmd":"tracking","source":"off"})", ok, {from, "Tracking 0"}},
        {"jog", WebRole::Operator, R"({"cmd":"jog","dir":"up"})", ok, {from, "Jog 2 held"}},
        {"release with nothing held", WebRole::Operator, R"({"cmd":"release"})", ok, {from}},
        {"bad JSON", WebRole::Operator, R"({"cmd":)", R"({"type":"reply","error":"bad command"})", {}},
        {"unknown", WebRole::Operator, R"({"cmd":"format"})", R"({"type":"reply","error":"bad command"})", {}},
        {"viewer stop", WebRole::Viewer, R"({"cmd":"stop"})", R"({"type":"reply","error":"not allowed"})", {}},
        {"viewer target",
         WebRole::Viewer,
         R"({"cmd":"target","text":"120"})",
         R"({"type":"reply","error":"not allowed"})",
         {}},
        {"viewer jog", WebRole::Viewer, R"({"cmd":"jog","dir":"cw"})", R"({"type":"reply","error":"not allowed"})", {}},
        {"viewer bad", WebRole::Viewer, R"(x)", R"({"type":"reply","error":"bad command"})", {}},
    };
    for (const Case& c : cases) {
        RecordingStationControl station;
        ConsoleState console;
        console.role = c.role;
        console.address = "192.168.1.20";
        EXPECT_EQ(RunConsoleMessage(c.message, console, station, 0), c.reply) << c.what;
        EXPECT_EQ(station.calls, c.calls) << c.what;
    }
}

TEST(ConsoleCommands, RateCapRefusesWithoutDoingAnything)
{
    RecordingStationControl station;
    ConsoleState console;
    console.role = WebRole::Operator;
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(RunConsoleMessage(R"({"cmd":"stop"})", console, station, i), R"({"type":"reply","ok":true})");
    station.calls.clear();
    EXPECT_EQ(RunConsoleMessage(R"({"cmd":"stop"})", console, station, 500),
              R"({"type":"reply","error":"too many commands"})");
    EXPECT_TRUE(station.calls.empty());
    EXPECT_EQ(RunConsoleMessage(R"({"cmd":"stop"})", console, station, 1000), R"({"type":"reply","ok":true})");
}

TEST(ConsoleCommands, JogHeldWhileRepeatedThenReleased)
{
    RecordingStationControl station;
    ConsoleState console;
    console.role = WebRole::Operator;
    RunConsoleMessage(R"({"cmd":"jog","dir":"cw"})", console, station, 0);
    RunConsoleMessage(R"({"cmd":"jog","dir":"cw"})", console, station, 150);
    TickConsoleJog(console, station, 640);
    RunConsoleMessage(R"({"cmd":"jog","dir":"cw"})", console, station, 300);
    TickConsoleJog(console, station, 799);
    EXPECT_EQ(station.calls, (std::vector<std::string>{"From 5 ", "Jog 0 held", "From 5 ", "From 5 "}));
    TickConsoleJog(console, station, 800);
    EXPECT_EQ(station.calls.back(), "Jog 0 released");
    station.calls.clear();
    RunConsoleMessage(R"({"cmd":"jog","dir":"down"})", console, station, 900);
    ReleaseConsoleJog(console, station);  // the console went away
    ReleaseConsoleJog(console, station);
    EXPECT_EQ(station.calls, (std::vector<std::string>{"From 5 ", "Jog 3 held", "Jog 3 released"}));
}

StationSnapshot SampleSnapshot()
{
    StationSnapshot s;
    s.callsign = "OK1ABC";
    s.homeLocator = "JN89XX";
    s.language = 0;
    s.rotator2IsElevation = true;
    s.selectedAzimuthRotator = 1;
    s.rotator1 = {123, 1, "120°"};
    s.rotator2 = {30, 0, "E30°"};
    s.trackingSource = "off";
    s.trackingReadout = "OFF";
    s.linkFresh = true;
    s.staleReason = "ignored while fresh";
    for (int i = 0; i < 8; ++i)
        s.presets[static_cast<std::size_t>(i)] = {"Preset " + std::to_string(i + 1), i * 45, i};
    return s;
}

TEST(StateJson, WholeState)
{
    const std::string expected =
        R"({"type":"state","callsign":"OK1ABC","locator":"JN89XX","language":"en","rotator2Kind":"elevation",)"
        R"("selected":1,"rotator1":{"position":123,"status":"idle","colour":"#c0dcc0","setpoint":"120°"},)"
        R"("rotator2":{"position":30,"status":"turning","colour":"#ff0000","setpoint":"E30°"},)"
        R"("tracking":{"source":"off","readout":"OFF"},"link":{"fresh":true,"reason":""},"presets":[)"
        R"({"n":1,"name":"Preset 1","azimuth":0,"elevation":0},{"n":2,"name":"Preset 2","azimuth":45,"elevation":1},)"
        R"({"n":3,"name":"Preset 3","azimuth":90,"elevation":2},{"n":4,"name":"Preset 4","azimuth":135,"elevation":3},)"
        R"({"n":5,"name":"Preset 5","azimuth":180,"elevation":4},{"n":6,"name":"Preset 6","azimuth":225,"elevation":5},)"
        R"({"n":7,"name":"Preset 7","azimuth":270,"elevation":6},{"n":8,"name":"Preset 8","azimuth":315,"elevation":7}],)"
        R"("role":"operator","consoles":2,"lastCommand":null})";
    EXPECT_EQ(EncodeState(SampleSnapshot(), WebRole::Operator, 2), expected);
}

TEST(StateJson, VariantFields)
{
    struct Case {
        const char* what;
        void (*change)(StationSnapshot&);
        WebRole role;
        const char* part;
    } cases[] = {
        {"viewer", [](StationSnapshot&) {}, WebRole::Viewer, R"("role":"viewer")"},
        {"Czech", [](StationSnapshot& s) { s.language = 1; }, WebRole::Operator, R"("language":"cs")"},
        {"second azimuth", [](StationSnapshot& s) { s.rotator2IsElevation = false; }, WebRole::Operator,
         R"("rotator2Kind":"azimuth")"},
        {"rotator 2 selected", [](StationSnapshot& s) { s.selectedAzimuthRotator = 2; }, WebRole::Operator,
         R"("selected":2)"},
        {"unknown status", [](StationSnapshot& s) { s.rotator1.status = 255; }, WebRole::Operator,
         R"("rotator1":{"position":123,"status":"unknown","colour":"#c0c0c0")"},
        {"odd status byte", [](StationSnapshot& s) { s.rotator1.status = 7; }, WebRole::Operator,
         R"("status":"unknown","colour":"#c0c0c0")"},
        {"stale link",
         [](StationSnapshot& s) {
             s.linkFresh = false;
             s.staleReason = "Port COM1 lost";
         },
         WebRole::Operator, R"("link":{"fresh":false,"reason":"Port COM1 lost"})"},
        {"tracking",
         [](StationSnapshot& s) {
             s.trackingSource = "moon";
             s.trackingReadout = "205° / 28°";
         },
         WebRole::Operator, R"("tracking":{"source":"moon","readout":"205° / 28°"})"},
        {"last command",
         [](StationSnapshot& s) {
             s.lastCommand = "120";
             s.lastCommandOrigin = {CommandSource::Web, "10.0.0.2"};
         },
         WebRole::Operator, R"("lastCommand":{"text":"120","source":"web","address":"10.0.0.2"})"},
        {"rotctld",
         [](StationSnapshot& s) {
             s.lastCommand = "STOP";
             s.lastCommandOrigin = {CommandSource::Rotctld, ""};
         },
         WebRole::Operator, R"("lastCommand":{"text":"STOP","source":"rotctld","address":""})"},
        {"quotes in names",
         [](StationSnapshot& s) {
             s.presets[0].name = "Sked \"EU\"";
             s.callsign = "<b>";
         },
         WebRole::Operator, R"("name":"Sked \"EU\"")"},
    };
    for (const Case& c : cases) {
        StationSnapshot s = SampleSnapshot();
        c.change(s);
        const std::string json = EncodeState(s, c.role, 1);
        EXPECT_NE(json.find(c.part), std::string::npos) << c.what << ": " << json;
    }
    const char* const sources[] = {"desktop", "tcp", "rotctld", "n1mm", "pst", "web", "mqtt"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(SourceName(static_cast<CommandSource>(i)), sources[i]);
}

TEST(PageTexts, EveryTextInBothLanguagesAndCzechForEachNewOne)
{
    std::set<std::string_view> known;
    for (const TranslationPair& pair : TranslationTable())
        known.insert(pair.english);
    for (const TranslationPair& pair : AddedTranslationTable())
        known.insert(pair.english);
    // Texts the desktop shows untranslated stay so on the page too.
    const std::set<std::string_view> desktopAsIs = {"Tracking:",      "OFF",  "Moon (built-in)",
                                                    "Sun (built-in)", "STOP", "PARK"};
    for (const std::string_view text : PageTexts())
        EXPECT_TRUE(known.count(text) || desktopAsIs.count(text)) << "no Czech twin: " << text;

    const std::string english = EncodePageTexts(0);
    const std::string czech = EncodePageTexts(1);
    EXPECT_EQ(english.rfind(R"({"language":"en","texts":{"Vantora web console":"Vantora web console",)", 0), 0u)
        << english;
    EXPECT_EQ(czech.rfind(R"({"language":"cs","texts":{"Vantora web console":"Webová konzole Vantora",)", 0), 0u)
        << czech;
    EXPECT_NE(czech.find(R"("Log in":"Přihlásit")"), std::string::npos);
    EXPECT_NE(czech.find(R"("Rotator 1 position:":"Rotátor 1 pozice:")"), std::string::npos);
    EXPECT_NE(czech.find(R"("STOP":"STOP")"), std::string::npos);
    EXPECT_EQ(czech.substr(czech.size() - 2), "}}");
}

}  // namespace
}  // namespace vantora
