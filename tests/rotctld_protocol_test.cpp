// The rotctld protocol core: every command in every reply form against the bytes Hamlib's own
// rotctld sends (tests/data/rotctld_reference.tsv, made by scripts/capture-rotctld-reference),
// the places where this server answers where rotctld stays silent, the checks of "P", framing,
// the stored settings and the freshness of the position.
#include "net/rotctld_protocol.h"
#include "net/rotctld_settings.h"
#include "support/fake_settings_store.h"
#include "support/recording_rotctld_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
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

// Where this server's values differ from the dummy rotator's: its name, the limits of a 0..360
// azimuth rotator that "P" takes from -180 to 540, an elevation rotator of up to 180 degrees, and
// each status flag listed once (rotctld 4.5.4 lists them all twice).
std::string OurValues(std::string reply)
{
    ReplaceAll(reply, "Dummy rotator", "Vantora 1.09");
    ReplaceAll(reply, "450.000000", "540.000000");
    ReplaceAll(reply, "max_el=90.000000", "max_el=180.000000");
    ReplaceAll(reply, "Maximum Elevation: 90.000000", "Maximum Elevation: 180.000000");
    ReplaceAll(reply, "MOVING MOVING_AZ MOVING_RIGHT MOVING MOVING_AZ MOVING_RIGHT ", "MOVING MOVING_AZ MOVING_RIGHT ");
    return reply;
}

// The reference's requests that compute something from positions: the same reply with this
// server's own figures, which may differ in the last digits (its own locator and great-circle
// code, and a mean Earth radius where rotctld takes 111.2 km a degree).
bool IsComputed(const std::string& request)
{
    for (const char* word : {"l ", "L ", "B ", "loc2lonlat", "lonlat2loc", "qrb"})
        if (request.find(word) != std::string::npos)
            return true;
    return false;
}

bool IsCaps(const std::string& request)
{
    return request.find("dump_caps") != std::string::npos
           || (request.find("1\n") != std::string::npos && request.find(' ') == std::string::npos);
}

// Splits a reply into its text and its numbers: "12.95 x" -> text "# x", numbers {12.95}.
std::pair<std::string, std::vector<double>> TextAndNumbers(const std::string& reply)
{
    std::string text;
    std::vector<double> numbers;
    for (std::size_t i = 0; i < reply.size();) {
        const bool starts =
            std::isdigit(static_cast<unsigned char>(reply[i]))
            || (reply[i] == '-' && i + 1 < reply.size() && std::isdigit(static_cast<unsigned char>(reply[i + 1])));
        // Only a number that stands alone: not the "0" of "RPRT 0", not a locator's digits.
        const bool alone = i == 0 || reply[i - 1] == ' ' || reply[i - 1] == '\n' || reply[i - 1] == ';'
                           || reply[i - 1] == '|' || reply[i - 1] == ',';
        const std::size_t end = reply.find_first_not_of("-0123456789.", i);
        const std::string token = reply.substr(i, end == std::string::npos ? std::string::npos : end - i);
        if (starts && alone && token.find('.') != std::string::npos) {
            numbers.push_back(std::stod(token));
            text += '#';
            i += token.size();
        } else {
            text += reply[i++];
        }
    }
    return {text, numbers};
}

// The labels of a caps dump, in order: "Model name", "Can Stop", ...
std::vector<std::string> CapsLabels(const std::string& reply)
{
    std::vector<std::string> labels;
    std::size_t start = 0;
    while (start < reply.size()) {
        std::size_t end = reply.find('\n', start);
        if (end == std::string::npos)
            end = reply.size();
        const std::string line = reply.substr(start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && line[0] != '\t')
            labels.push_back(line.substr(0, colon));
        start = end + 1;
    }
    return labels;
}

// What one line of a request does to the station when it is accepted.
std::string CallOf(std::string line)
{
    if (!line.empty() && std::string("+;|,").find(line[0]) != std::string::npos)
        line.erase(0, 1);
    if (!line.empty() && line[0] == '\\')
        line.erase(0, 1);
    const std::string word = line.substr(0, line.find(' '));
    if (word == "P" || word == "set_pos")
        return "set";
    if (word == "S" || word == "stop" || word == "R" || word == "reset")
        return "stop";
    if (word == "K" || word == "park")
        return "park";
    if (word == "M" || word == "move")
        return "move";
    return {};
}

// The dummy rotator turning right on "M 16": the state this server reports then.
RotctldState TurningRightState()
{
    RotctldState state = RestState();
    state.azimuthTurning = true;
    state.handDrive.right = true;
    return state;
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
    ASSERT_GE(rows.size(), 240u);
    int computed = 0;
    int caps = 0;
    for (const ReferenceRow& row : rows) {
        RotctldSession session;
        RecordingActions actions;
        const std::string request = row.segments.front();
        const bool turning = request.find("M 16 50\ns\n") != std::string::npos;
        const std::string reply = FeedAll(session, row.segments, turning ? TurningRightState() : RestState(), actions);
        const std::string expected = OurValues(row.reply);
        if (IsCaps(request)) {
            // The frame as rotctld's, and of its labels only those that describe this server.
            ++caps;
            const auto header = expected.substr(0, expected.find("Caps dump"));
            EXPECT_EQ(reply.substr(0, header.size()), header) << row.line;
            EXPECT_EQ(reply.substr(reply.size() - 8), "\nRPRT 0\n") << row.line;
            const std::vector<std::string> ours = CapsLabels(reply);
            const std::vector<std::string> theirs = CapsLabels(expected);
            std::size_t at = 0;
            for (const std::string& label : ours) {
                while (at < theirs.size() && theirs[at] != label)
                    ++at;
                EXPECT_LT(at, theirs.size()) << "label not in rotctld's order: " << label << " in " << row.line;
            }
            EXPECT_GE(ours.size(), 15u) << row.line;
        } else if (IsComputed(request)) {
            ++computed;
            const auto [ourText, ourNumbers] = TextAndNumbers(reply);
            const auto [theirText, theirNumbers] = TextAndNumbers(expected);
            EXPECT_EQ(ourText, theirText) << row.line;
            ASSERT_EQ(ourNumbers.size(), theirNumbers.size()) << row.line;
            for (std::size_t i = 0; i < ourNumbers.size(); ++i)
                EXPECT_NEAR(ourNumbers[i], theirNumbers[i], std::max(1e-6, std::abs(theirNumbers[i]) * 1e-4))
                    << row.line;
        } else {
            EXPECT_EQ(reply, expected) << row.line;
        }
        EXPECT_EQ(session.closeRequested(), row.closed) << row.line;
        EXPECT_FALSE(session.hasPending()) << row.line;

        // What the commands did: one action for each accepted set, stop, park, reset or move.
        std::vector<std::string> expectedCalls;
        if (row.reply.find("RPRT -") == std::string::npos) {
            std::size_t start = 0;
            for (std::size_t end; (end = request.find_first_of("\r\n", start)) != std::string::npos; start = end + 1)
                if (const std::string what = CallOf(request.substr(start, end - start)); !what.empty())
                    expectedCalls.push_back(what);
        }
        std::vector<std::string> calls;
        for (const Action& call : actions.calls)
            calls.push_back(call.what);
        EXPECT_EQ(calls, expectedCalls) << row.line;
    }
    EXPECT_GE(computed, 80);
    EXPECT_EQ(caps, 10);
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
    RunCases(
        {
            // Long forms without the backslash, as some clients send them.
            {"get_pos\n", "12.00\n6.00\n", {}},
            {"set_pos 90 45\n", "RPRT 0\n", {{"set", 3, 90, 45}}},
            {"+stop\n", "stop:\nRPRT 0\n", {{"stop"}}},
            {"park\n", "RPRT 0\n", {{"park"}}},
            {"get_info\n", "Vantora 1.09\n", {}},
            {"dump_state\n",
             "1\n1\nmin_az=-180.000000\nmax_az=540.000000\nmin_el=0.000000\nmax_el=180.000000\nsouth_zero=0\n"
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
    RunCases(
        {
            // A second azimuth rotator: the selected one turns, the elevation is dropped. The
            // elevation range stays what "P" takes, or Hamlib's client would refuse every
            // target above the horizon before sending it.
            {"P 200 30\n", "RPRT 0\n", {{"set", 1, 200, 0}}},
            {"p\n", "200.00\n0.00\n", {}},
            {"\\dump_state\n",
             "1\n1\nmin_az=-180.000000\nmax_az=540.000000\nmin_el=0.000000\nmax_el=180.000000\nsouth_zero=0\n"
             "rot_type=Az\ndone\n",
             {}},
            {"+\\dump_state\n",
             "dump_state:\nrotctld Protocol Ver: 1\nRotor Model: 1\nMinimum Azimuth: -180.000000\n"
             "Maximum Azimuth: 540.000000\nMinimum Elevation: 0.000000\nMaximum Elevation: 180.000000\n"
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
    // A command without a line end waits. Quiet does not run it, since its end may still be on
    // the way; when no more bytes can come, it runs.
    {
        RotctldSession session;
        EXPECT_EQ(session.Feed("P 10,00 2", state, actions), "");
        EXPECT_EQ(session.Feed("0,00", state, actions), "");
        EXPECT_TRUE(session.hasPending());
        EXPECT_EQ(session.RunPending(state, actions), "");
        EXPECT_TRUE(session.hasPending());
        EXPECT_TRUE(actions.calls.empty());
        EXPECT_EQ(session.RunAtEnd(state, actions), "RPRT 0\n");
        EXPECT_FALSE(session.hasPending());
        EXPECT_EQ(session.RunAtEnd(state, actions), "");
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

// A "P 123 4" whose "5" comes after the quiet: nothing runs early, one reply, the whole target.
TEST(RotctldFraming, QuietRunsOnlyQueriesAndTheEndRunsAnything)
{
    struct Case {
        const char* unended;
        const char* quietReply;  // RunPending after the quiet
        const char* rest;        // then these bytes
        const char* reply;       // and the reply to them
        std::vector<Action> actions;
    };
    const std::vector<Case> cases = {
        {"P 123 4", "", "5\n", "RPRT 0\n", {{"set", 3, 123, 45}}},
        {"S", "", "\n", "RPRT 0\n", {{"stop"}}},
        {"K", "", "\n", "RPRT 0\n", {{"park"}}},
        {"M 16 5", "", "0\n", "RPRT 0\n", {{"move", 16}}},
        {"R", "", " 1\n", "RPRT 0\n", {{"stop"}}},
        {"B 50 14 49", "", " 15\n", "154.767992\n316.000000\n", {}},
        {"l JO6", "", "0LJ\n", "12.958333\n50.395833\n", {}},
        {"x", "", "\n", "RPRT -4\n", {}},
        // The queries run from quiet (their line end, when it comes, ends an empty line).
        {"p", "12.00\n6.00\n", "\n", "", {}},
        {"_", "Vantora 1.09\n", "\n", "", {}},
        {"s", "\n", "\n", "", {}},
        {"+\\get_status", "get_status:\nStatus flags: \nRPRT 0\n", "", "", {}},
        {"\\dump_state",
         "1\n1\nmin_az=-180.000000\nmax_az=540.000000\nmin_el=0.000000\nmax_el=180.000000\n"
         "south_zero=0\nrot_type=AzEl\ndone\n",
         "",
         "",
         {}},
    };
    for (const Case& c : cases) {
        RotctldSession session;
        RecordingActions actions;
        EXPECT_EQ(session.Feed(c.unended, RestState(), actions), "") << c.unended;
        EXPECT_EQ(session.RunPending(RestState(), actions), c.quietReply) << c.unended;
        EXPECT_EQ(session.Feed(c.rest, RestState(), actions), c.reply) << c.unended;
        EXPECT_EQ(actions.calls, c.actions) << c.unended;
        EXPECT_FALSE(session.hasPending()) << c.unended;
    }

    // At the end, whatever was left runs once, queries and changes alike.
    for (const auto& [unended, reply] : std::vector<std::pair<std::string, std::string>>{
             {"_", "Vantora 1.09\n"}, {"P 90 45", "RPRT 0\n"}, {"M 8 1", "RPRT 0\n"}, {"", ""}, {"q", ""}}) {
        RotctldSession session;
        RecordingActions actions;
        session.Feed(unended, RestState(), actions);
        EXPECT_EQ(session.RunAtEnd(RestState(), actions), reply) << unended;
        EXPECT_EQ(session.RunAtEnd(RestState(), actions), "") << unended;
    }
}

TEST(RotctldProtocol, MoveResetStatusAndTheLocatorHelpers)
{
    RunCases(
        {
            // Hamlib's directions: 2 up, 4 down, 8 left (CCW), 16 right (CW); any speed.
            {"M 2 50\n", "RPRT 0\n", {{"move", 2}}},
            {"M 4 -1\n", "RPRT 0\n", {{"move", 4}}},
            {"\\move 8 0\n", "RPRT 0\n", {{"move", 8}}},
            {"move 16 100\n", "RPRT 0\n", {{"move", 16}}},
            {";M 16 50.5\n", "move: 16 50.5;RPRT 0\n", {{"move", 16}}},
            {"M 0 50\n", "RPRT -1\n", {}},
            {"M 18 50\n", "RPRT -1\n", {}},
            {"M 16.5 50\n", "RPRT -1\n", {}},
            {"M 16\n", "RPRT -1\n", {}},
            {"M 16 50 1\n", "RPRT -1\n", {}},
            {"M nan 50\n", "RPRT -1\n", {}},
            // Any reset stops both rotators.
            {"R 0\n", "RPRT 0\n", {{"stop"}}},
            {"reset 4\n", "RPRT 0\n", {{"stop"}}},
            {"R\n", "RPRT -1\n", {}},
            {"R 1 2\n", "RPRT -1\n", {}},
            // The locator helpers refuse what rotctld turns into nonsense.
            {"\\locator2lonlat JN79\n", "15.000000\n49.500000\n", {}},
            {"\\lonlat2locator 14.31234 50.08765 6\n", "JO70DC\n", {}},
            {"L 14.31234 50.08765 7\n", "JO70DC\n", {}},
            {"L 14.31234 50.08765 1\n", "RPRT -1\n", {}},
            {"L 200 50 6\n", "RPRT -1\n", {}},
            {"L 14 91 6\n", "RPRT -1\n", {}},
            {"L 14 50 x\n", "RPRT -1\n", {}},
            {"+L 14 50\n", "lonlat2loc: 14 50\nRPRT -1\n", {}},
            {"l JO6\n", "RPRT -1\n", {}},
            {"l JO60LJ JO60LJ\n", "RPRT -1\n", {}},
            {"B 0 0 180 0\n", "20015.086796\n0.000000\n", {}},
            {"B 14 50 14 50\n", "0.000000\n0.000000\n", {}},
            {"B 14 50 14 51\n", "111.194927\n0.000000\n", {}},
            {"B 14 50 14 49\n", "111.194927\n180.000000\n", {}},
            {"B 14 91 49 15\n", "RPRT -1\n", {}},
            {"B 181 14 49 15\n", "RPRT -1\n", {}},
            {"B 50 14 49\n", "RPRT -1\n", {}},
            {",B 50 14 49 15 1\n", "qrb: 50 14 49 15 1,RPRT -1\n", {}},
            {"1 x\n", "RPRT -1\n", {}},
        },
        RestState());

    // The status flags follow what the unit reports and which keys the hand drive holds.
    struct StatusCase {
        bool azimuth;
        bool elevation;
        ArrowKeys keys;
        const char* reply;
    };
    const StatusCase statuses[] = {
        {false, false, {}, "\n"},
        {true, false, {}, "MOVING MOVING_AZ \n"},
        {true, false, {false, true, false, false}, "MOVING MOVING_AZ MOVING_LEFT \n"},
        {false, true, {false, false, false, true}, "MOVING MOVING_EL MOVING_DOWN \n"},
        {true, true, {true, false, true, false}, "MOVING MOVING_AZ MOVING_RIGHT MOVING_EL MOVING_UP \n"},
        {false, false, {true, false, false, false}, "\n"},  // held, but the unit does not turn (yet)
    };
    for (const StatusCase& c : statuses) {
        RotctldState state = RestState();
        state.azimuthTurning = c.azimuth;
        state.elevationTurning = c.elevation;
        state.handDrive = c.keys;
        RunCases({{"s\n", c.reply, {}}}, state);
    }
    RotctldState stale = RestState();
    stale.positionFresh = false;
    RunCases(
        {{"s\n", "RPRT -5\n", {}}, {"+s\n", "get_status:\nRPRT -5\n", {}}, {"M 16 1\n", "RPRT 0\n", {{"move", 16}}}},
        stale);
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
