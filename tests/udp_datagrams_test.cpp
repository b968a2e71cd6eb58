// What N1MM Logger+ rotor datagrams and PstRotator-style commands ask of the station, the
// "Accept from" filter, the N1MM status text and timing, and the stored values of both inputs.
#include "common/address_filter.h"
#include "net/datagram_text.h"
#include "net/n1mm_datagram.h"
#include "net/pending_target.h"
#include "net/pst_datagram.h"
#include "net/udp_input_settings.h"
#include "support/fake_settings_store.h"
#include "support/recording_station.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace vantora;
using vantora::test::FakeSettingsStore;
using vantora::test::RecordingStation;

namespace {

using Calls = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// N1MM Logger+

struct N1mmCase {
    const char* name;
    std::string datagram;
    std::string rotorFilter;
    int beamAzimuth;
    Calls expected;
};

std::string GoTo(const std::string& rotor, const std::string& goazi, const std::string& offset,
                 const std::string& bidirectional)
{
    return "<N1MMRotor><rotor>" + rotor + "</rotor><goazi>" + goazi + "</goazi><offset>" + offset +
           "</offset><bidirectional>" + bidirectional + "</bidirectional><freqband>14.0</freqband></N1MMRotor>";
}

const std::string kStop = "<N1MMRotor><stop><rotor>NAME</rotor><freqband>21.0</freqband></stop></N1MMRotor>";

TEST(N1mmDatagram, EachDatagramAndItsEffect)
{
    const N1mmCase cases[] = {
        {"the go-to of the logger", GoTo("NAME", "123.4", "10.0", "0"), "", 0, {"target 1 133 0"}},
        {"no offset tag", "<N1MMRotor><rotor>x</rotor><goazi>45</goazi></N1MMRotor>", "", 0, {"target 1 45 0"}},
        {"empty offset", GoTo("x", "45", "", "0"), "", 0, {"target 1 45 0"}},
        {"decimal comma in goazi", GoTo("x", "123,6", "0", "0"), "", 0, {"target 1 124 0"}},
        {"decimal comma in offset", GoTo("x", "100", "-10,5", "0"), "", 0, {"target 1 90 0"}},  // 89.5 -> 90
        {"half to even down", GoTo("x", "88.5", "0", "0"), "", 0, {"target 1 88 0"}},
        {"half to even up", GoTo("x", "89.5", "0", "0"), "", 0, {"target 1 90 0"}},
        {"beyond 360 wraps", GoTo("x", "350", "20", "0"), "", 0, {"target 1 10 0"}},
        {"negative wraps", GoTo("x", "-30", "0", "0"), "", 0, {"target 1 330 0"}},
        {"359.6 rounds to 360", GoTo("x", "359.6", "0", "0"), "", 0, {"target 1 360 0"}},
        {"case of the tags ignored",
         "<n1mmrotor><ROTOR>x</ROTOR><GoAzi>77</GoAzi></n1mmrotor>",
         "",
         0,
         {"target 1 77 0"}},
        {"blanks and line ends around values",
         "<N1MMRotor>\r\n <goazi> 12.0 </goazi>\n</N1MMRotor>",
         "",
         0,
         {"target 1 12 0"}},
        {"the stop", kStop, "", 0, {"stop"}},
        {"no N1MMRotor tag", "<rotor>x</rotor><goazi>45</goazi>", "", 0, {}},
        {"no goazi", "<N1MMRotor><rotor>x</rotor></N1MMRotor>", "", 0, {}},
        {"goazi not a number", GoTo("x", "north", "0", "0"), "", 0, {}},
        {"goazi with trailing text", GoTo("x", "45deg", "0", "0"), "", 0, {}},
        {"offset not a number", GoTo("x", "45", "abc", "0"), "", 0, {}},
        {"NaN", GoTo("x", "NaN", "0", "0"), "", 0, {}},
        {"huge number", GoTo("x", std::string(400, '9'), "0", "0"), "", 0, {}},
        {"unclosed goazi", "<N1MMRotor><goazi>45", "", 0, {}},
        // Attributes on the tags the parser looks for; a longer tag name is another tag.
        {"root with a namespace attribute",
         "<N1MMRotor "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><rotor>x</rotor><goazi>45</goazi></N1MMRotor>",
         "",
         0,
         {"target 1 45 0"}},
        {"attributes on every tag",
         "<N1MMRotor a=\"1\">\n<rotor\tid='2'>x</rotor><goazi unit=\"deg\">50</goazi><offset "
         "v=\"\">5</offset></N1MMRotor>",
         "x",
         0,
         {"target 1 55 0"}},
        {"attribute on stop", "<N1MMRotor><stop kind=\"all\"><rotor>x</rotor></stop></N1MMRotor>", "", 0, {"stop"}},
        {"a longer root name is not the root", "<N1MMRotorX><goazi>45</goazi></N1MMRotorX>", "", 0, {}},
        {"a longer tag name is not goazi", "<N1MMRotor><goazimuth>45</goazimuth></N1MMRotor>", "", 0, {}},
        // Numbers: nothing, blanks or the ".digits" trace may follow; nothing else.
        {"goazi with the %f.2 trace", GoTo("x", "150.000000.2", "0", "0"), "", 0, {"target 1 150 0"}},
        {"goazi 1e2 refused", GoTo("x", "1e2", "0", "0"), "", 0, {}},
        {"goazi 0x10 refused", GoTo("x", "0x10", "0", "0"), "", 0, {}},
        {"offset 1e999 refused", GoTo("x", "45", "1e999", "0"), "", 0, {}},
        // Rotor names: compared trimmed, case ignored; an empty filter takes every name.
        {"filter matches", GoTo(" Tribander ", "45", "0", "0"), "tribander", 0, {"target 1 45 0"}},
        {"filter differs", GoTo("Beam40", "45", "0", "0"), "Tribander", 0, {}},
        {"filter and no name", "<N1MMRotor><goazi>45</goazi></N1MMRotor>", "Tribander", 0, {}},
        {"filter on a stop", kStop, "Other", 0, {}},
        {"filter on a stop, same name", kStop, "name", 0, {"stop"}},
        // Bidirectional: the nearer of the azimuth and its opposite, as the rotator turns.
        {"bidirectional, azimuth nearer", GoTo("x", "100", "0", "1"), "", 90, {"target 1 100 0"}},
        {"bidirectional, opposite nearer", GoTo("x", "100", "0", "1"), "", 300, {"target 1 280 0"}},
        {"bidirectional, opposite wraps", GoTo("x", "300", "0", "1"), "", 10, {"target 1 120 0"}},
        {"bidirectional, no wrap through the stop", GoTo("x", "350", "0", "1"), "", 5, {"target 1 170 0"}},
        {"bidirectional, a tie keeps the azimuth", GoTo("x", "90", "0", "1"), "", 180, {"target 1 90 0"}},
        {"bidirectional 0 is one way", GoTo("x", "100", "0", "0"), "", 300, {"target 1 100 0"}},
    };
    for (const N1mmCase& c : cases) {
        RecordingStation station;
        station.beamAzimuth = c.beamAzimuth;
        N1mmHandler handler(station);
        const bool acted = handler.OnDatagram(c.datagram, c.rotorFilter);
        EXPECT_EQ(station.calls, c.expected) << c.name;
        EXPECT_EQ(acted, !c.expected.empty()) << c.name;
    }
}

TEST(N1mmDatagram, StatusTextIsNameAndTenthsOfADegree)
{
    EXPECT_EQ(N1mmStatusText("", 30), "Vantora @ 300");
    EXPECT_EQ(N1mmStatusText("  ", 0), "Vantora @ 0");
    EXPECT_EQ(N1mmStatusText("Tribander", 146), "Tribander @ 1460");
    EXPECT_EQ(N1mmStatusText(" Beam ", 5), "Beam @ 50");
}

TEST(N1mmDatagram, StatusNamesTheRotorThatLastAskedWhenNoneIsConfigured)
{
    RecordingStation station;
    N1mmHandler handler(station);
    EXPECT_EQ(N1mmStatusName("", handler.LastRotor()), "");
    ASSERT_TRUE(handler.OnDatagram(GoTo(" Tribander ", "45", "0", "0"), ""));
    EXPECT_EQ(N1mmStatusName("", handler.LastRotor()), "Tribander");
    EXPECT_EQ(N1mmStatusName(" Beam ", handler.LastRotor()), "Beam");        // configured wins
    EXPECT_FALSE(handler.OnDatagram(GoTo("Other", "north", "0", "0"), ""));  // not acted on
    EXPECT_EQ(N1mmStatusName("", handler.LastRotor()), "Tribander");
    ASSERT_TRUE(handler.OnDatagram(kStop, ""));
    EXPECT_EQ(N1mmStatusName("", handler.LastRotor()), "NAME");
}

TEST(N1mmDatagram, StatusAfterACommandEverySecondWhileMovingElseEvery15s)
{
    N1mmStatusClock clock;
    EXPECT_FALSE(clock.Due(0, 10));  // nothing accepted yet: no one to tell
    EXPECT_FALSE(clock.Due(1000, 20));
    clock.CommandAccepted();
    EXPECT_TRUE(clock.Due(1500, 20));
    EXPECT_TRUE(clock.Due(2500, 26));   // moving
    EXPECT_TRUE(clock.Due(3500, 32));
    EXPECT_FALSE(clock.Due(4500, 32));  // stopped
    EXPECT_FALSE(clock.Due(18000, 32));
    EXPECT_TRUE(clock.Due(18500, 32));  // 15 s after the last one
    EXPECT_FALSE(clock.Due(19500, 32));
    clock.CommandAccepted();
    EXPECT_TRUE(clock.Due(19600, 32));
}

// ---------------------------------------------------------------------------------------------
// PstRotator-style commands

struct PstCase {
    const char* name;
    std::string datagram;
    Calls expected;
    std::vector<std::string> replies;
};

TEST(PstDatagram, EachCommandAndItsEffect)
{
    const PstCase cases[] = {
        {"azimuth", "<PST><AZIMUTH>123.4</AZIMUTH></PST>", {"target 1 123 0"}, {}},
        {"azimuth as Hamlib writes it", "<PST><AZIMUTH>123.400000.2</AZIMUTH></PST>", {"target 1 123 0"}, {}},
        {"azimuth half to even", "<PST><AZIMUTH>122.5</AZIMUTH></PST>", {"target 1 122 0"}, {}},
        {"azimuth modulo 360", "<PST><AZIMUTH>-90</AZIMUTH></PST>", {"target 1 270 0"}, {}},
        {"azimuth 450", "<PST><AZIMUTH>450</AZIMUTH></PST>", {"target 1 90 0"}, {}},
        {"elevation", "<PST><ELEVATION>30</ELEVATION></PST>", {"target 2 0 30"}, {}},
        {"elevation as Hamlib writes it", "<PST><ELEVATION>45.500000.2</ELEVATION></PST>", {"target 2 0 46"}, {}},
        {"elevation 180", "<PST><ELEVATION>180</ELEVATION></PST>", {"target 2 0 180"}, {}},
        {"elevation 181 ignored", "<PST><ELEVATION>181</ELEVATION></PST>", {}, {}},
        {"elevation below 0 ignored", "<PST><ELEVATION>-1</ELEVATION></PST>", {}, {}},
        {"elevation -0.5 is 0", "<PST><ELEVATION>-0.5</ELEVATION></PST>", {"target 2 0 0"}, {}},
        {"both", "<PST><AZIMUTH>200</AZIMUTH><ELEVATION>20</ELEVATION></PST>", {"target 3 200 20"}, {}},
        {"both, elevation out of range",
         "<PST><AZIMUTH>200</AZIMUTH><ELEVATION>200</ELEVATION></PST>",
         {"target 1 200 0"},
         {}},
        {"stop", "<PST><STOP>1</STOP></PST>", {"stop"}, {}},
        {"stop 0 does nothing", "<PST><STOP>0</STOP></PST>", {}, {}},
        {"park", "<PST><PARK>1</PARK></PST>", {"park"}, {}},
        {"tracking off", "<PST><TRACK>0</TRACK></PST>", {"tracking off"}, {}},
        {"tracking on is not ours to start", "<PST><TRACK>1</TRACK></PST>", {}, {}},
        {"locator", "<PST><QRA>IO91WM</QRA></PST>", {"locator IO91WM"}, {}},
        {"square: its centre", "<PST><QRA>JN79</QRA></PST>", {"locator JN79MM"}, {}},
        {"square in lower case", "<PST><QRA> jn79 </QRA></PST>", {"locator jn79MM"}, {}},
        {"four characters that are no square", "<PST><QRA>JNXX</QRA></PST>", {"locator JNXX"}, {}},
        {"elevation 1e3 refused", "<PST><ELEVATION>1e3</ELEVATION></PST>", {}, {}},
        {"elevation 1e999 refused", "<PST><ELEVATION>1e999</ELEVATION></PST>", {}, {}},
        {"azimuth 0x10 refused", "<PST><AZIMUTH>0x10</AZIMUTH></PST>", {}, {}},
        {"azimuth with a unit refused", "<PST><AZIMUTH>90deg</AZIMUTH></PST>", {}, {}},
        {"azimuth with blanks", "<PST><AZIMUTH> 90 </AZIMUTH></PST>", {"target 1 90 0"}, {}},
        {"stop 1e0 is no stop", "<PST><STOP>1e0</STOP></PST>", {}, {}},
        {"azimuth query", "<PST>AZ?</PST>", {}, {"AZ:211\r"}},
        {"elevation query", "<PST>EL?</PST>", {}, {"EL:45\r"}},
        {"queries in lower case", "<pst>az?</pst>", {}, {"AZ:211\r"}},
        {"tags in lower case", "<pst><azimuth>10</azimuth></pst>", {"target 1 10 0"}, {}},
        {"unclosed PST query", "<PST>EL?", {}, {"EL:45\r"}},
        {"no PST tag", "<AZIMUTH>10</AZIMUTH>", {}, {}},
        {"azimuth not a number", "<PST><AZIMUTH>abc</AZIMUTH></PST>", {}, {}},
        {"azimuth unclosed", "<PST><AZIMUTH>10", {}, {}},
        {"huge azimuth", "<PST><AZIMUTH>" + std::string(300, '9') + "</AZIMUTH></PST>", {}, {}},
        {"NaN", "<PST><AZIMUTH>nan</AZIMUTH></PST>", {}, {}},
        {"empty datagram", "", {}, {}},
    };
    for (const PstCase& c : cases) {
        RecordingStation station;
        station.beamAzimuth = 211;
        station.elevation = 45;
        PstHandler handler(station);
        const auto replies = handler.OnDatagram(c.datagram);
        EXPECT_EQ(station.calls, c.expected) << c.name;
        EXPECT_EQ(replies, c.replies) << c.name;
    }
}

// ---------------------------------------------------------------------------------------------
// Numbers and tags

TEST(DatagramText, Numbers)
{
    EXPECT_EQ(DecimalNumber("12.", false), 12.0);
    EXPECT_EQ(DecimalNumber(".5", false), 0.5);
    EXPECT_EQ(DecimalNumber("+7", false), 7.0);
    EXPECT_EQ(DecimalNumber("1,5", true), 1.5);
    EXPECT_FALSE(DecimalNumber("1,5", false));
    EXPECT_FALSE(DecimalNumber(".", true));
    EXPECT_FALSE(DecimalNumber("-", true));
    EXPECT_FALSE(DecimalNumber("1e5", true));
    EXPECT_FALSE(DecimalNumber("inf", true));
    EXPECT_FALSE(DecimalNumber("1.2.3", true));
    struct NumberCase {
        const char* text;
        bool commaDecimal;
        std::optional<double> expected;
    };
    const NumberCase numbers[] = {
        {"150.000000.2", false, 150.0},  // "%f.2"
        {"7.5.2", false, 7.5},           {" -3.25 ", false, -3.25},           {"45", false, 45.0},
        {"12,5.2", true, 12.5},          {"  -3.25xyz", false, std::nullopt}, {"1e3", false, std::nullopt},
        {"1e999", false, std::nullopt},  {"0x10", false, std::nullopt},       {"7.5.", false, std::nullopt},
        {"7.5.2x", false, std::nullopt}, {"7.5 .2", false, std::nullopt},     {"12..2", false, std::nullopt},
        {"x7", false, std::nullopt},     {"", false, std::nullopt},
    };
    for (const NumberCase& c : numbers)
        EXPECT_EQ(DatagramNumber(c.text, c.commaDecimal), c.expected) << c.text;
    EXPECT_FALSE(WholeAzimuth(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(WholeAzimuth(-1e-300), 0);
    EXPECT_EQ(WholeAzimuth(1e15 + 0.25), std::fmod(1e15, 360.0));
}

TEST(DatagramText, TagsAreFoundByTheirTextCaseIgnored)
{
    EXPECT_EQ(TagText("<a><B> x </b></a>", "b"), "x");
    EXPECT_EQ(TagText("</b><b>1</b><b>2</b>", "b"), "1");
    EXPECT_FALSE(TagText("<b>1", "b"));
    EXPECT_FALSE(TagText("</b>1<b>", "b"));
    EXPECT_TRUE(HasTag("xx<StOp>", "stop"));
    EXPECT_FALSE(HasTag("<stop", "stop"));
}

// ---------------------------------------------------------------------------------------------
// Accept from

TEST(AddressFilter, EmptyAddressOrSubnet)
{
    const std::uint32_t host = 0xC0A80114;  // 192.168.1.20
    const std::uint32_t neighbour = 0xC0A80163;  // 192.168.1.99
    const std::uint32_t outside = 0xC0A80214;  // 192.168.2.20
    struct Case {
        const char* text;
        bool valid;
        bool host, neighbour, outside, ipv6;
    };
    const Case cases[] = {
        {"", true, true, true, true, true},
        {"  ", true, true, true, true, true},
        {"192.168.1.20", true, true, false, false, false},
        {" 192.168.1.20 ", true, true, false, false, false},
        {"192.168.1.0/24", true, true, true, false, false},
        {"192.168.1.77/24", false, false, false, false, false},  // host bits: refused, not widened
        {"127.0.0.1/8", false, false, false, false, false},
        {"192.168.0.0/16", true, true, true, true, false},
        {"0.0.0.0/0", true, true, true, true, false},
        {"192.168.1.20/32", true, true, false, false, false},
        {"192.168.1.256", false, false, false, false, false},
        {"192.168.1", false, false, false, false, false},
        {"192.168.1.2.3", false, false, false, false, false},
        {"192.168.1.0/33", false, false, false, false, false},
        {"192.168.1.0/", false, false, false, false, false},
        {"-1.0.0.0", false, false, false, false, false},
        {"fe80::1", false, false, false, false, false},
        {"localhost", false, false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddressFilterError(c.text).empty(), c.valid) << c.text;
        const auto filter = ParseAddressFilter(c.text);
        ASSERT_EQ(filter.has_value(), c.valid) << c.text;
        if (!filter)
            continue;
        EXPECT_EQ(filter->Accepts(host), c.host) << c.text;
        EXPECT_EQ(filter->Accepts(neighbour), c.neighbour) << c.text;
        EXPECT_EQ(filter->Accepts(outside), c.outside) << c.text;
        EXPECT_EQ(filter->Accepts(std::nullopt), c.ipv6) << c.text;
    }
    EXPECT_EQ(AddressFilterError("127.0.0.1/8"), kAddressFilterHostBits);
    EXPECT_EQ(AddressFilterError("127.0.0.1/x"), kAddressFilterUnreadable);
}

// ---------------------------------------------------------------------------------------------
// A target still waiting for the poll tick

TEST(PendingTarget, TheOtherRotatorsPendingTargetIsKept)
{
    struct Case {
        const char* name;
        TargetCall call;
        std::uint16_t which;
        std::uint8_t mode;
        TargetCall expected;
    };
    const Case cases[] = {
        {"azimuth, elevation pending", {1, 120, 0}, 2, 2, {3, 120, 40}},
        {"elevation, azimuth pending", {2, 0, 50}, 1, 2, {3, 200, 50}},
        {"azimuth, both pending", {1, 120, 0}, 3, 2, {3, 120, 40}},
        {"elevation, both pending", {2, 0, 50}, 3, 2, {3, 200, 50}},
        {"azimuth, own rotator pending", {1, 120, 0}, 1, 2, {1, 120, 0}},
        {"elevation, own rotator pending", {2, 0, 50}, 2, 2, {2, 0, 50}},
        {"nothing pending", {1, 120, 0}, 0, 2, {1, 120, 0}},
        {"both anyway", {3, 10, 20}, 1, 2, {3, 10, 20}},
        {"two azimuth rotators", {1, 120, 0}, 2, 1, {1, 120, 0}},
        {"mode not yet reported", {2, 0, 50}, 1, 0, {2, 0, 50}},
    };
    for (const Case& c : cases) {
        GotoRequest pending;
        pending.target1 = 200;
        pending.target2 = 40;
        pending.which = c.which;
        RotatorState state;
        state.rotator2Mode = c.mode;
        EXPECT_EQ(JoinPendingTarget(c.call, pending, state), c.expected) << c.name;
    }
}

// ---------------------------------------------------------------------------------------------
// Stored values

TEST(UdpInputSettings, MissingOrUnusableValuesReadAsDefaultsAndBothStartOff)
{
    FakeSettingsStore store;
    EXPECT_EQ(LoadUdpInputSettings(store), UdpInputSettings{});
    EXPECT_FALSE(UdpInputSettings{}.n1mm.enabled);
    EXPECT_FALSE(UdpInputSettings{}.pst.enabled);
    EXPECT_EQ(UdpInputSettings{}.n1mm.port, 12040);
    EXPECT_EQ(UdpInputSettings{}.n1mm.statusPort, 13010);
    EXPECT_EQ(UdpInputSettings{}.pst.port, 12000);
    EXPECT_FALSE(UdpInputSettings{}.n1mm.shareAddress);  // exclusive unless chosen

    store.values["N1mmEnabled"] = std::int32_t{2};
    store.values["N1mmPort"] = std::int32_t{0};
    store.values["N1mmStatusPort"] = std::int32_t{70000};
    store.values["PstEnabled"] = std::string("1");  // not an integer
    store.values["PstPort"] = std::int32_t{-5};
    store.values["N1mmShareAddress"] = std::int32_t{3};
    EXPECT_EQ(LoadUdpInputSettings(store), UdpInputSettings{});
}

TEST(UdpInputSettings, SavedValuesReadBack)
{
    FakeSettingsStore store;
    UdpInputSettings settings;
    settings.n1mm = {true, 12041, "Tribander", 13011, "192.168.1.0/24", true};
    settings.pst = {true, 12002, "10.0.0.5"};
    ASSERT_TRUE(SaveUdpInputSettings(store, settings));
    EXPECT_EQ(LoadUdpInputSettings(store), settings);
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("N1mmEnabled")), 1);
    EXPECT_EQ(std::get<std::string>(store.values.at("N1mmRotor")), "Tribander");
    EXPECT_EQ(std::get<std::int32_t>(store.values.at("N1mmShareAddress")), 1);

    store.writable = false;
    EXPECT_FALSE(SaveUdpInputSettings(store, UdpInputSettings{}));
}

}  // namespace
