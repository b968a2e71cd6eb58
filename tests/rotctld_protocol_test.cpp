// The rotctld protocol core: every command in every reply form against the bytes Hamlib's own
// rotctld sends (tests/data/rotctld_reference.tsv, made by scripts/capture-rotctld-reference),
// the places where this server answers where rotctld stays silent, the checks of "P", framing,
// the stored settings and the freshness of the position.
#include "net/rotctld_protocol.h"
#include "net/rotctld_settings.h"
#include "support/fake_settings_store.h"
#include "support/recording_rotctld_actions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vantora {
namespace {

using Action = test::RotctldCall;
using RecordingActions = test::RecordingRotctldActions;

// The dummy rotator of the reference at rest: azimuth 12, elevation 6, an elevation rotator.
RotctldState RestState()
{
    RotctldState state;
    state.positionFresh = true;
    state.rotator2Mode = 2;
    state.beamAzimuth = 12;
    state.rotator2Position = 6;
    state.info = "Vantora 1.09";
    return state;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x':
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
            break;
        default: out += c; break;
        }
    }
    return out;
}

std::vector<std::string> Segments(const std::string& escaped)
{
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < escaped.size(); ++i) {
        if (escaped[i] == '\\' && escaped[i + 1] == '|') {
            segments.push_back(Unescape(escaped.substr(start, i - start)));
            start = i + 2;
            ++i;
        } else if (escaped[i] == '\\') {
            ++i;
        }
    }
    segments.push_back(Unescape(escaped.substr(start)));
    return segments;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

struct ReferenceRow {
    std::vector<std::string> segments;
    std::string reply;
    bool closed = false;
    std::string line;  // as written in the file, for messages
};

std::vector<ReferenceRow> ReadReference()
{
    const char* source = std::getenv("VANTORA_SOURCE_DIR");
    if (source == nullptr) {
        ADD_FAILURE() << "VANTORA_SOURCE_DIR is not set (run through ctest)";
        return {};
    }
    std::ifstream file(std::string(source) + "/tests/data/rotctld_reference.tsv", std::ios::binary);
    EXPECT_TRUE(file.is_open());
    std::vector<ReferenceRow> rows;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto tab = line.find('\t');
        EXPECT_NE(tab, std::string::npos) << line;
        if (tab == std::string::npos)
            continue;
        ReferenceRow row;
        row.line = line;
        row.segments = Segments(line.substr(0, tab));
        std::string reply = line.substr(tab + 1);
        const std::string closed = "<closed>";
        if (reply.size() >= closed.size() && reply.compare(reply.size() - closed.size(), closed.size(), closed) == 0) {
            row.closed = true;
            reply.resize(reply.size() - closed.size());
        }
        row.reply = Unescape(reply);
        rows.push_back(row);
    }
    return rows;
}

// Where this server's values differ from the dummy rotator's: its name, and the limits of a
// 0..360 azimuth rotator with an elevation rotator of up to 180 degrees.
std::string OurValues(std::string reply)
{
    ReplaceAll(reply, "Dummy rotator", "Vantora 1.09");
    ReplaceAll(reply, "-180.000000", "0.000000");
    ReplaceAll(reply, "450.000000", "360.000000");
    ReplaceAll(reply, "max_el=90.000000", "max_el=180.000000");
    ReplaceAll(reply, "Maximum Elevation: 90.000000", "Maximum Elevation: 180.000000");
    return reply;
}

std::string FeedAll(RotctldSession& session, const std::vector<std::string>& segments, const RotctldState& state,
                    RotctldActions& actions)
{
    std::string replies;
    for (const std::string& segment : segments)
        replies += session.Feed(segment, state, actions);
    return replies;
}

// ---------------------------------------------------------------------------------------------

TEST(RotctldReference, EveryCommandInEveryFormAnswersAsRotctld)
{
    const std::vector<ReferenceRow> rows = ReadReference();
    ASSERT_GE(rows.size(), 80u);
    for (const ReferenceRow& row : rows) {
        RotctldSession session;
        RecordingActions actions;
        const std::string reply = FeedAll(session, row.segments, RestState(), actions);
        EXPECT_EQ(reply, OurValues(row.reply)) << row.line;
        EXPECT_EQ(session.closeRequested(), row.closed) << row.line;
        EXPECT_FALSE(session.hasPending()) << row.line;

        // What the command did: one action for each accepted set, stop or park, none otherwise.
        const std::string& request = row.segments.front();
        const bool accepted = row.reply.find("RPRT 0") != std::string::npos;
        std::string what;
        if (request.find("P ") != std::string::npos || request.find("set_pos") != std::string::npos)
            what = "set";
        else if (request.find('S') != std::string::npos || request.find("stop") != std::string::npos)
            what = "stop";
        else if (request.find('K') != std::string::npos || request.find("park") != std::string::npos)
            what = "park";
        if (what.empty() || !accepted) {
            EXPECT_TRUE(actions.calls.empty()) << row.line;
        } else {
            ASSERT_EQ(actions.calls.size(), 1u) << row.line;
            EXPECT_EQ(actions.calls[0].what, what) << row.line;
        }
    }
}

struct Case {
    const char* request;
    const char* reply;
    std::vector<Action> actions;
};

void RunCases(const std::vector<Case>& cases, const RotctldState& state)
{
    for (const Case& c : cases) {
        RotctldSession session;
        RecordingActions actions;
        EXPECT_EQ(session.Feed(c.request, state, actions), c.reply) << c.request;
        EXPECT_EQ(actions.calls, c.actions) << c.request;
    }
}

TEST(RotctldProtocol, AnswersWhereRotctldStaysSilentOrDiffers)
{
    RunCases({
                 // Long forms without the backslash, as some clients send them.
                 {"get_pos\n", "12.00\n6.00\n", {}},
                 {"set_pos 90 45\n", "RPRT 0\n", {{"set", 3, 90, 45}}},
                 {"+stop\n", "stop:\nRPRT 0\n", {{"stop"}}},
                 {"park\n", "RPRT 0\n", {{"park"}}},
                 {"get_info\n", "Vantora 1.09\n", {}},
                 {"dump_state\n",
                  "1\n1\nmin_az=0.000000\nmax_az=360.000000\nmin_el=0.000000\nmax_el=180.000000\nsouth_zero=0\n"
                  "rot_type=AzEl\ndone\n",
                  {}},
                 // Unknown commands: rotctld stays silent and leaves the client waiting.
                 {"x\n", "RPRT -4\n", {}},
                 {"+x\n", "RPRT -4\n", {}},
                 {"\\get_freq\n", "RPRT -4\n", {}},
                 {"pp\n", "RPRT -4\n", {}},
                 {"+\n", "RPRT -4\n", {}},
                 // Missing or extra arguments are refused at once.
                 {"P 10\n", "RPRT -1\n", {}},
                 {"P\n", "RPRT -1\n", {}},
                 {"+P 10\n", "set_pos: 10\nRPRT -1\n", {}},
                 {"P 10 20 30\n", "RPRT -1\n", {}},
                 {"p 5\n", "RPRT -1\n", {}},
                 {";S now\n", "stop:;RPRT -1\n", {}},
                 {"\\dump_state 1\n", "RPRT -1\n", {}},
                 // Not-a-number is refused (rotctld takes it).
                 {"P nan 10\n", "RPRT -1\n", {}},
                 {"P 10 NaN\n", "RPRT -1\n", {}},
                 {"P inf 10\n", "RPRT -1\n", {}},
                 {"P 10 -infinity\n", "RPRT -1\n", {}},
                 // Blanks: tabs and repeated spaces separate words as spaces do.
                 {"  P\t10   20 \n", "RPRT 0\n", {{"set", 3, 10, 20}}},
                 {"+ p\n", "get_pos:\nAzimuth: 12.00\nElevation: 6.00\nRPRT 0\n", {}},
                 // The echo of "P" holds no control bytes.
                 {"+P 1\x15 2\x7f\n", "set_pos: 1? 2?\nRPRT -1\n", {}},
             },
             RestState());
}

TEST(RotctldProtocol, SetPositionRangesRoundingAndNumberForms)
{
    RunCases({
                 {"P -180 0\n", "RPRT 0\n", {{"set", 3, 180, 0}}},
                 {"P 540 0\n", "RPRT 0\n", {{"set", 3, 180, 0}}},
                 {"P 360 0\n", "RPRT 0\n", {{"set", 3, 0, 0}}},
                 {"P -0.4 0\n", "RPRT 0\n", {{"set", 3, 0, 0}}},
                 {"P -1 0\n", "RPRT 0\n", {{"set", 3, 359, 0}}},
                 {"P 359.6 0\n", "RPRT 0\n", {{"set", 3, 0, 0}}},
                 {"P 540.01 0\n", "RPRT -1\n", {}},
                 {"P -180.01 0\n", "RPRT -1\n", {}},
                 {"P 10 180\n", "RPRT 0\n", {{"set", 3, 10, 180}}},
                 {"P 10 180.01\n", "RPRT -1\n", {}},
                 {"P 10 -0.01\n", "RPRT -1\n", {}},
                 {"P 10 -0\n", "RPRT 0\n", {{"set", 3, 10, 0}}},
                 // Halves to the even neighbour, as tracking rounds.
                 {"P 10.5 20.5\n", "RPRT 0\n", {{"set", 3, 10, 20}}},
                 {"P 11.5 21.5\n", "RPRT 0\n", {{"set", 3, 12, 22}}},
                 {"P 123.49 45.51\n", "RPRT 0\n", {{"set", 3, 123, 46}}},
                 // Decimal comma, exponents, signs.
                 {"P 123,25 45,75\n", "RPRT 0\n", {{"set", 3, 123, 46}}},
                 {"P 1,5e1 2E1\n", "RPRT 0\n", {{"set", 3, 15, 20}}},
                 {"P +90 +45\n", "RPRT 0\n", {{"set", 3, 90, 45}}},
                 {"P .5e2 .5\n", "RPRT 0\n", {{"set", 3, 50, 0}}},
                 {"P 10,5,5 0\n", "RPRT -1\n", {}},
                 {"P 10.5,5 0\n", "RPRT -1\n", {}},
                 {"P ++1 0\n", "RPRT -1\n", {}},
                 {"P 0x10 0\n", "RPRT -1\n", {}},
                 {"P 10deg 0\n", "RPRT -1\n", {}},
                 {"P 1e999 0\n", "RPRT -1\n", {}},
                 {"P , 0\n", "RPRT -1\n", {}},
             },
             RestState());
}

TEST(RotctldProtocol, FollowsTheKindOfRotator2)
{
    RotctldState azimuthOnly = RestState();
    azimuthOnly.rotator2Mode = 1;
    azimuthOnly.beamAzimuth = 200;
    azimuthOnly.rotator2Position = 200;
    RunCases({
                 // A second azimuth rotator: the selected one turns, the elevation is dropped.
                 {"P 200 30\n", "RPRT 0\n", {{"set", 1, 200, 0}}},
                 {"p\n", "200.00\n0.00\n", {}},
                 {"\\dump_state\n",
                  "1\n1\nmin_az=0.000000\nmax_az=360.000000\nmin_el=0.000000\nmax_el=0.000000\nsouth_zero=0\n"
                  "rot_type=Az\ndone\n",
                  {}},
                 {"+\\dump_state\n",
                  "dump_state:\nrotctld Protocol Ver: 1\nRotor Model: 1\nMinimum Azimuth: 0.000000\n"
                  "Maximum Azimuth: 360.000000\nMinimum Elevation: 0.000000\nMaximum Elevation: 0.000000\n"
                  "South Zero: 0\nrot_type=Az\ndone\nRPRT 0\n",
                  {}},
             },
             azimuthOnly);

    // Before the unit has said which kind rotator 2 is, a target could go nowhere.
    RotctldState unknown = RestState();
    unknown.rotator2Mode = 0;
    RunCases({{"P 10 10\n", "RPRT -5\n", {}}, {"+P 10 10\n", "set_pos: 10 10\nRPRT -5\n", {}}}, unknown);

    RotctldState negative = RestState();
    negative.beamAzimuth = 0;
    negative.rotator2Position = -3;
    RunCases({{"p\n", "0.00\n-3.00\n", {}}}, negative);
}

TEST(RotctldProtocol, NoStalePosition)
{
    RotctldState stale = RestState();
    stale.positionFresh = false;
    RunCases({
                 {"p\n", "RPRT -5\n", {}},
                 {"\\get_pos\n", "RPRT -5\n", {}},
                 {"+p\n", "get_pos:\nRPRT -5\n", {}},
                 {";p\n", "get_pos:;RPRT -5\n", {}},
                 // Commands that do not report the position still work.
                 {"P 90 45\n", "RPRT 0\n", {{"set", 3, 90, 45}}},
                 {"S\n", "RPRT 0\n", {{"stop"}}},
                 {"_\n", "Vantora 1.09\n", {}},
             },
             stale);
}

TEST(RotctldFraming, LinesSplitMergedOverlongAndUnended)
{
    const RotctldState state = RestState();
    RecordingActions actions;

    // A line of exactly the limit runs; one byte more is refused once, the rest of that line is
    // dropped, and the next line runs.
    {
        RotctldSession session;
        const std::string atLimit = "p" + std::string(kRotctldLineMax - 1, ' ') + "\n";
        EXPECT_EQ(session.Feed(atLimit, state, actions), "12.00\n6.00\n");
        const std::string over = "P 1 1" + std::string(kRotctldLineMax, ' ') + "\n";
        EXPECT_EQ(session.Feed(over, state, actions), "RPRT -1\n");
        EXPECT_EQ(session.Feed(std::string(100000, 'x'), state, actions), "RPRT -1\n");
        EXPECT_EQ(session.Feed(std::string(100000, 'x'), state, actions), "");
        EXPECT_EQ(session.RunPending(state, actions), "");
        EXPECT_EQ(session.Feed("\r\np\n", state, actions), "12.00\n6.00\n");
        EXPECT_TRUE(actions.calls.empty());
    }
    // A command without a line end waits, then runs when the client has gone quiet.
    {
        RotctldSession session;
        EXPECT_EQ(session.Feed("P 10,00 2", state, actions), "");
        EXPECT_EQ(session.Feed("0,00", state, actions), "");
        EXPECT_TRUE(session.hasPending());
        EXPECT_EQ(session.RunPending(state, actions), "RPRT 0\n");
        EXPECT_FALSE(session.hasPending());
        EXPECT_EQ(session.RunPending(state, actions), "");
        ASSERT_EQ(actions.calls.size(), 1u);
        EXPECT_EQ(actions.calls[0], (Action{"set", 3, 10, 20}));
    }
    // Nothing after "q" runs.
    {
        RotctldSession session;
        actions.calls.clear();
        EXPECT_EQ(session.Feed("S\nq\nS\np\n", state, actions), "RPRT 0\n");
        EXPECT_TRUE(session.closeRequested());
        EXPECT_EQ(session.Feed("S\n", state, actions), "");
        EXPECT_EQ(actions.calls.size(), 1u);
    }
    // Bytes of every value, NUL included, are just bytes of a command.
    {
        RotctldSession session;
        EXPECT_EQ(session.Feed(std::string("p\0\n", 3), state, actions), "RPRT -4\n");
        EXPECT_EQ(session.Feed("\xff\xfe\n", state, actions), "RPRT -4\n");
    }
}

// ---------------------------------------------------------------------------------------------

TEST(RotctldSettings, DefaultsStoredValuesAndTheEnvironmentPort)
{
    test::FakeSettingsStore store;
    EXPECT_EQ(LoadRotctldSettings(store), (RotctldSettings{true, 4533, "127.0.0.1"}));

    store.values["RotctldEnabled"] = 0;
    store.values["RotctldPort"] = 14533;
    store.values["RotctldAddress"] = std::string("::");
    EXPECT_EQ(LoadRotctldSettings(store), (RotctldSettings{false, 14533, "::"}));

    // Unusable values read as the defaults; never a wider address than asked.
    store.values["RotctldEnabled"] = 7;
    store.values["RotctldPort"] = 70000;
    store.values["RotctldAddress"] = std::string("192.168.1.1");
    EXPECT_EQ(LoadRotctldSettings(store), (RotctldSettings{true, 4533, "127.0.0.1"}));
    store.values["RotctldPort"] = 0;
    store.values["RotctldAddress"] = std::string("0.0.0.0");
    EXPECT_EQ(LoadRotctldSettings(store), (RotctldSettings{true, 4533, "0.0.0.0"}));

    EXPECT_TRUE(SaveRotctldSettings(store, RotctldSettings{false, 4600, "::"}));
    EXPECT_EQ(LoadRotctldSettings(store), (RotctldSettings{false, 4600, "::"}));
    store.writable = false;
    EXPECT_FALSE(SaveRotctldSettings(store, RotctldSettings{}));

    const std::pair<const char*, std::optional<std::uint16_t>> ports[] = {
        {"4534", 4534}, {" 0 ", 0}, {"65535", 65535}, {"65536", std::nullopt}, {"-1", std::nullopt},
        {"", std::nullopt}, {"45x", std::nullopt}, {"000004533", std::nullopt}, {"+4533", std::nullopt},
    };
    for (const auto& [text, port] : ports)
        EXPECT_EQ(ParsePortText(text), port) << text;

    const RotctldSettings stored{true, 4600, "127.0.0.1"};
    EXPECT_EQ(EffectiveRotctldSettings(stored, std::nullopt).port, 4600);
    EXPECT_EQ(EffectiveRotctldSettings(stored, std::string("4700")).port, 4700);
    EXPECT_EQ(EffectiveRotctldSettings(stored, std::string("nonsense")).port, 4600);
}

}  // namespace
}  // namespace vantora
