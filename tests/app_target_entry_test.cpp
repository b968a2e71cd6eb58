// Typed targets in the main window's target box: number parsing, the prefixed forms, locators,
// STOP, tracking and the keys of the box.
#include "common/integer_text.h"
#include "station/home_locator.h"
#include "station/motion_commands.h"
#include "station/target_entry.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace vantora {
namespace {

class RecordingSink : public FrameSink {
public:
    bool open = true;
    std::vector<std::vector<std::uint8_t>> frames;
    bool Connected() const override { return open; }
    int SendData(const std::uint8_t* data, int size) override
    {
        frames.emplace_back(data, data + size);
        return size;
    }
};

struct Window {
    RotatorState state;
    GotoRequest request;
    Setpoints setpoints;
    CommandBuffer buffer{};
    RecordingSink sink;
    std::string lokator = "JN89XX";
    bool trackingOn = false;

    Window(int mode, int selected)
    {
        state.rotator2Mode = static_cast<std::uint8_t>(mode);
        state.activeRotator = static_cast<std::uint8_t>(selected);
    }
    EntryResult Enter(std::string_view text)
    {
        EntryContext context{{state, request, setpoints}, buffer, sink, lokator, HomePosition(lokator), trackingOn};
        return EnterTarget(text, context);
    }
};

TEST(ParseWholeInteger, AcceptsOnlyAWholeInteger)
{
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"0", 0},           {"360", 360},      {"+90", 90},       {"-1", -1},
        {"  45", 45},       {"$10", 16},       {"$fF", 255},
        {"-$10", -16},      {"+$1f", 31},      {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},            {"$7FFFFFFF", 2147483647},
        {"", std::nullopt}, {"   ", std::nullopt}, {"+", std::nullopt}, {"-", std::nullopt},
        {"$", std::nullopt}, {"45 ", std::nullopt}, {"4 5", std::nullopt},
        {"+-1", std::nullopt}, {"--1", std::nullopt}, {"1a", std::nullopt},
        {"$g", std::nullopt}, {"0x10", std::nullopt}, {"\t1", std::nullopt}, {"1.0", std::nullopt},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"$80000000", std::nullopt},
        {"99999999999999999999", std::nullopt}, {"\xd9\xa3", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWholeInteger(c.text), c.value) << '"' << c.text << '"';
}

struct EntryCase {
    const char* text;
    int mode;
    int selected;
    std::optional<NastavCall> call;  // what reaches Nastav
    std::uint16_t which;             // what Nastav then flagged
    std::int16_t target1;
    std::int16_t target2;
};

class TypedEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(TypedEntry, ReachesNastavAsExpected)
{
    const EntryCase& c = GetParam();
    Window w(c.mode, c.selected);
    const EntryResult result = w.Enter(c.text);
    EXPECT_EQ(result.nastav, c.call);
    EXPECT_TRUE(result.locator.empty() || c.call) << c.text;
    EXPECT_EQ(w.request.which, c.which);
    EXPECT_EQ(w.request.target1, c.target1);
    EXPECT_EQ(w.request.target2, c.target2);
    EXPECT_FALSE(result.stopSent);
    EXPECT_FALSE(result.switchTrackingOff);
    EXPECT_TRUE(w.sink.frames.empty());
}

// Bearing from the default home JN89XX to JO60AA, whole degrees.
constexpr int kBearingJO60AA = 273;

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedEntry,
    ::testing::Values(
        EntryCase{"90", 2, 0, NastavCall{1, 90, 0}, 1, 90, 0},
        EntryCase{"360", 2, 0, NastavCall{1, 360, 0}, 1, 360, 0},
        EntryCase{"361", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"-1", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{" 45", 2, 0, NastavCall{1, 45, 0}, 1, 45, 0},
        EntryCase{"45 ", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"$10", 2, 0, NastavCall{1, 16, 0}, 1, 16, 0},
        EntryCase{"$169", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"90", 1, 1, NastavCall{1, 90, 0}, 2, 0, 90},
        EntryCase{"e45", 2, 0, NastavCall{2, 0, 45}, 2, 0, 45},
        EntryCase{"E180", 2, 0, NastavCall{2, 0, 180}, 2, 0, 180},
        EntryCase{"E181", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"e45", 1, 0, NastavCall{2, 0, 45}, 0, 0, 0},
        EntryCase{"E180", 1, 1, NastavCall{2, 0, 180}, 0, 0, 0},
        EntryCase{"E181", 1, 0, std::nullopt, 0, 0, 0},
        EntryCase{"a10", 1, 1, NastavCall{4, 10, 0}, 1, 10, 0},
        EntryCase{"A360", 2, 0, NastavCall{4, 360, 0}, 1, 360, 0},
        EntryCase{"A400", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"A12345", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"A 12", 2, 0, NastavCall{4, 12, 0}, 1, 12, 0},
        EntryCase{"b10", 2, 0, NastavCall{5, 10, 0}, 0, 0, 0},
        EntryCase{"B10", 1, 0, NastavCall{5, 10, 0}, 2, 0, 10},
        EntryCase{"E", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"jn89xx", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"JN89XX", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"JN79", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"JO60AA ", 2, 0, std::nullopt, 0, 0, 0},
        EntryCase{"jo60aa", 2, 0, NastavCall{1, kBearingJO60AA, 0}, 1, kBearingJO60AA, 0},
        EntryCase{"JO60AA", 1, 1, NastavCall{1, kBearingJO60AA, 0}, 2, 0, kBearingJO60AA}));

TEST(TypedEntry, LocatorsStartingWithAPrefixLetterAreStillLocators)
{
    // "A", "B" and "E" start fields of their own: when the characters after the letter are no
    // number, the text is tried as a locator.
    for (const char* locator : {"AB12CD", "BL11AA", "EN61AA"}) {
        Window w(2, 0);
        const EntryResult result = w.Enter(locator);
        const int bearing = VypLocAzm(HomePosition("JN89XX"), VypLoc(locator));
        EXPECT_EQ(result.nastav, (NastavCall{1, bearing, 0})) << locator;
        EXPECT_EQ(w.request.which, 1) << locator;
        EXPECT_EQ(result.locator, locator);  // for the map's mark
    }
}

std::string AsciiUpperCopy(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(TypedEntry, HomeLocatorIsComparedAsTheHomePositionIsComputed)
{
    struct Case {
        const char* stored;
        const char* typed;
        bool sent;
    };
    const Case cases[] = {
        {"JN89XX", "jn89xx", false},
        {"", "JN89XX", false},        // an empty setting means home JN89XX
        {"XYZ", "jn89xx", false},     // so does a damaged one
        {"jn89xx", "JN89XX", false},  // a hand-edited lower-case setting
        {"", "jo60aa", true},
        {"JO60AA", "JN89XX", true},
    };
    for (const Case& c : cases) {
        Window w(2, 0);
        w.lokator = c.stored;
        const EntryResult result = w.Enter(c.typed);
        EXPECT_EQ(result.nastav.has_value(), c.sent) << c.stored << " / " << c.typed;
        EXPECT_EQ(result.locator, c.sent ? AsciiUpperCopy(c.typed) : "") << c.stored << " / " << c.typed;
        EXPECT_EQ(w.request.which, c.sent ? 1 : 0) << c.stored << " / " << c.typed;
    }
    Window w(2, 0);
    w.lokator = "";
    EXPECT_EQ(w.Enter("jo60aa").nastav, (NastavCall{1, kBearingJO60AA, 0}));
}

TEST(TypedEntry, StopInAnyCaseStopsAtOnceAndLeavesThePendingTarget)
{
    for (const char* text : {"stop", "Stop", "STOP", "sToP"}) {
        Window w(2, 0);
        w.request = {100, 20, 3};
        w.setpoints.rotator1.value = "100°";
        w.setpoints.rotator1.acknowledged = true;
        w.setpoints.rotator2.value = "20°";
        const EntryResult result = w.Enter(text);
        EXPECT_TRUE(result.stopSent) << text;
        EXPECT_FALSE(result.nastav) << text;
        ASSERT_EQ(w.sink.frames.size(), 1u) << text;
        const std::vector<std::uint8_t>& frame = w.sink.frames.front();
        ASSERT_GE(frame.size(), 6u);
        EXPECT_EQ(frame[4], static_cast<std::uint8_t>(CommandCode::CmdStop));
        EXPECT_EQ(frame[5], 1);
        EXPECT_EQ(w.setpoints.rotator1.value, "0°");
        EXPECT_EQ(w.setpoints.rotator2.value, "0°");
        EXPECT_TRUE(w.setpoints.rotator1.acknowledged);
        EXPECT_EQ(w.request.which, 3);
    }
    Window w(2, 0);
    EXPECT_FALSE(w.Enter("STOP!").stopSent);
    EXPECT_FALSE(w.Enter(" STOP").stopSent);
    EXPECT_TRUE(w.sink.frames.empty());
}

TEST(TypedEntry, TrackingGoesOffAndSetpointsClearBeforeTheNewTarget)
{
    Window w(2, 0);
    w.trackingOn = true;
    w.setpoints.rotator1.value = "205°";
    w.setpoints.rotator2.value = "28°";
    const EntryResult result = w.Enter("90");
    EXPECT_TRUE(result.switchTrackingOff);
    EXPECT_EQ(w.setpoints.rotator1.value, "90°");
    EXPECT_EQ(w.setpoints.rotator2.value, "0°");
    EXPECT_EQ(w.request.which, 1);

    Window empty(2, 0);
    empty.trackingOn = true;
    empty.setpoints.rotator1.value = "205°";
    const EntryResult nothing = empty.Enter("");
    EXPECT_TRUE(nothing.switchTrackingOff);
    EXPECT_FALSE(nothing.nastav);
    EXPECT_EQ(empty.setpoints.rotator1.value, "0°");
    EXPECT_EQ(empty.request.which, 0);
}

TEST(MotionButtons, ParkAndStop)
{
    Settings settings;
    settings.PresetAzimuth[0] = 180;
    settings.PresetElevation[0] = 5;
    Window elevation(2, 0);
    ASSERT_TRUE(Park(settings, {elevation.state, elevation.request, elevation.setpoints}));
    EXPECT_EQ(elevation.request.which, 3);
    EXPECT_EQ(elevation.request.target1, 180);
    EXPECT_EQ(elevation.request.target2, 5);

    Window second(1, 1);
    ASSERT_TRUE(Park(settings, {second.state, second.request, second.setpoints}));
    EXPECT_EQ(second.request.which, 2);
    EXPECT_EQ(second.request.target2, 180);

    Window closed(2, 0);
    closed.sink.open = false;
    const StopResult stopped = Stop(true, closed.setpoints, closed.buffer, closed.sink);
    EXPECT_TRUE(stopped.switchTrackingOff);
    EXPECT_EQ(stopped.bytesSent, 0);
    EXPECT_TRUE(closed.sink.frames.empty());
    EXPECT_FALSE(Stop(false, closed.setpoints, closed.buffer, closed.sink).switchTrackingOff);
}

TEST(TargetKeyPress, EnterEscSpaceAndOthers)
{
    RotatorState state;
    SelectRequest select;
    EXPECT_EQ(TargetKeyPress(kKeyEscape, state, select), KeyOutcome::ClearBox);
    EXPECT_EQ(TargetKeyPress(kKeyEnter, state, select), KeyOutcome::RunEnter);
    EXPECT_EQ(TargetKeyPress(U'a', state, select), KeyOutcome::PassOn);
    EXPECT_EQ(TargetKeyPress(U'°', state, select), KeyOutcome::PassOn);
    EXPECT_FALSE(select.pending);

    for (int active : {0, 1, 2}) {
        state.activeRotator = static_cast<std::uint8_t>(active);
        select = {};
        EXPECT_EQ(TargetKeyPress(kKeySpace, state, select), KeyOutcome::Swallowed);
        EXPECT_TRUE(select.pending);
        EXPECT_EQ(select.value, active == 0 ? 1 : 0) << active;
    }
}

}  // namespace
}  // namespace vantora
