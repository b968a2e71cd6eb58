// Command frames as they leave for the unit, and responses as they are validated and decoded.

#include "link/commands.h"
#include "link/latin1_text.h"
#include "link/response_decoder.h"
#include "link/unit_frame.h"
#include "support/link_test_doubles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vantora {
namespace {

using test::Bytes;
using test::PositionFrame;
using test::RecordingSink;
using test::ResponseFrame;

Bytes Sent(const std::function<void(CommandBuffer&)>& build)
{
    CommandBuffer buffer{};
    RecordingSink sink;
    build(buffer);
    Odeslat(buffer, sink);
    return sink.frames.empty() ? Bytes{} : sink.frames.front();
}

struct FrameCase {
    const char* name;
    std::function<void(CommandBuffer&)> build;
    Bytes expected;
};

UnitSettings SampleSettings()
{
    UnitSettings s;
    s.sensitivity1 = 5;
    s.inertia1 = 3;
    s.inertiaTime1 = 25;
    s.limitSwitch1 = 300;
    s.sensitivity2 = 4;
    s.inertia2 = 2;
    s.inertiaTime2 = 30;
    s.maxElevation2 = 90;
    s.limitSwitch2 = 359;
    s.mode2 = 2;
    return s;
}

TEST(CommandFrames, EveryBuilderProducesItsFrame)
{
    const UnitSettings settings = SampleSettings();
    const FrameCase cases[] = {
        {"stop", [](CommandBuffer& b) { BuildStop(b); }, {42, 0, 1, 2, 13, 1, 59}},
        {"version", [](CommandBuffer& b) { BuildReadVersion(b); }, {42, 0, 1, 2, 99, 1, 145}},
        {"manual, no key", [](CommandBuffer& b) { BuildManual(b, {}); },
         {42, 0, 1, 5, 12, 0, 0, 0, 0, 60}},
        {"manual, right", [](CommandBuffer& b) { BuildManual(b, {.right = true}); },
         {42, 0, 1, 5, 12, 1, 0, 0, 0, 61}},
        {"manual, left and down",
         [](CommandBuffer& b) { BuildManual(b, {.left = true, .down = true}); },
         {42, 0, 1, 5, 12, 0, 1, 0, 1, 62}},
        {"manual, all four",
         [](CommandBuffer& b) { BuildManual(b, {true, true, true, true}); },
         {42, 0, 1, 5, 12, 1, 1, 1, 1, 64}},
        {"goto 270, rotator 1 only",
         [](CommandBuffer& b) { BuildGoto(b, {.target1 = 270, .target2 = 0, .which = 1}); },
         {42, 0, 1, 7, 11, 14, 1, 1, 0, 0, 0, 77}},
        {"goto both, negative rotator 1 target",
         [](CommandBuffer& b) { BuildGoto(b, {.target1 = -5, .target2 = 45, .which = 3}); },
         {42, 0, 1, 7, 11, 251, 255, 1, 45, 0, 1, 102}},
        {"goto rotator 2 keeps the stored rotator 1 target",
         [](CommandBuffer& b) { BuildGoto(b, {.target1 = 90, .target2 = 20, .which = 2}); },
         {42, 0, 1, 7, 11, 90, 0, 0, 20, 0, 1, 172}},
        {"read settings", [](CommandBuffer& b) { BuildReadSettings(b); }, {42, 0, 1, 2, 15, 1, 61}},
        {"sensor ids", [](CommandBuffer& b) { BuildWriteSensorIds(b, 3, 4); },
         {42, 0, 1, 3, 16, 3, 4, 69}},
        {"rotator 1, empty text",
         [&](CommandBuffer& b) { BuildWriteRotator1(b, settings, ""); },
         {42, 0, 1, 14, 17, 5, 3, 25, 44, 1, 'A', 'z', 'i', 'm', 'u', 't', ' ', 0, 50}},
        {"rotator 2, empty text",
         [&](CommandBuffer& b) { BuildWriteRotator2(b, settings, ""); },
         {42, 0, 1, 16, 18, 4, 2, 30, 90, 103, 1, 2, 'E', 'l', 'e', 'v', 'a', 'c', 'e', 0, 234}},
        {"rotator 1, short text with letters beyond ASCII",
         [](CommandBuffer& b) { BuildWriteRotator1(b, UnitSettings{}, "\u017D\u00E1ba"); },
         {42, 0, 1, 14, 17, 0, 0, 0, 0, 0, 0x7D, 0xE1, 'b', 'a', ' ', ' ', ' ', 0, 203}},
        {"rotator 1, text longer than the display field",
         [](CommandBuffer& b) { BuildWriteRotator1(b, UnitSettings{}, "ABCDEFGHIJ"); },
         {42, 0, 1, 14, 17, 0, 0, 0, 0, 0, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 0, 38}},
        {"sensor write position", [](CommandBuffer& b) { BuildSensor(b, 2, 3, 315); },
         {42, 0, 1, 5, 19, 2, 3, 59, 1, 132}},
        {"sensor inverting", [](CommandBuffer& b) { BuildSensor(b, 1, 2); },
         {42, 0, 1, 3, 19, 1, 2, 68}},
        {"display", [](CommandBuffer& b) { BuildWriteDisplay(b, 1); }, {42, 0, 1, 2, 20, 1, 66}},
        {"select rotator", [](CommandBuffer& b) { BuildSelectRotator(b, 1); },
         {42, 0, 1, 2, 21, 1, 67}},
    };
    for (const FrameCase& c : cases)
        EXPECT_EQ(Sent(c.build), c.expected) << c.name;
}

TEST(CommandFrames, BytesBeyondTheFrameKeepWhatAnEarlierFrameLeft)
{
    CommandBuffer buffer;
    buffer.fill(0xEE);
    RecordingSink sink;

    BuildWriteRotator2(buffer, SampleSettings(), "");
    Odeslat(buffer, sink);
    const CommandBuffer afterLong = buffer;
    BuildStop(buffer);
    Odeslat(buffer, sink);

    ASSERT_EQ(sink.frames.size(), 2u);
    EXPECT_EQ(sink.frames[0].size(), 21u);
    EXPECT_EQ(sink.frames[1], (Bytes{42, 0, 1, 2, 13, 1, 59}));
    for (std::size_t i = 7; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], afterLong[i]) << "offset " << i;
    EXPECT_EQ(buffer[21], 0xEE);
    EXPECT_EQ(buffer[150], 0xEE);
}

TEST(CommandFrames, ClosedPortSendsNothing)
{
    CommandBuffer buffer{};
    RecordingSink sink;
    sink.connected = false;
    BuildStop(buffer);
    EXPECT_EQ(Odeslat(buffer, sink), 0);
    EXPECT_TRUE(sink.frames.empty());
}

TEST(CommandFrames, LengthByteLeftByAnotherWriterKeepsTheChecksumInsideTheBuffer)
{
    CommandBuffer buffer{};
    buffer[3] = 255;
    RecordingSink sink;
    Odeslat(buffer, sink);
    ASSERT_EQ(sink.frames.size(), 1u);
    EXPECT_EQ(sink.frames[0].size(), buffer.size());
}

TEST(Latin1Text, EveryByteSurvivesTheRoundTrip)
{
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const std::string utf8 = Latin1ToUtf8(all.data(), all.size());
    EXPECT_EQ(utf8.substr(0x41, 1), "A");
    EXPECT_NE(utf8.find("\u00E9"), std::string::npos);
    const std::string back = Utf8ToLatin1(utf8);
    EXPECT_EQ(Bytes(back.begin(), back.end()), all);
}

TEST(Latin1Text, MalformedUtf8BytesStandForThemselves)
{
    const struct {
        std::string utf8;
        Bytes latin1;
    } cases[] = {
        {"\xE9t\xE9", {0xE9, 't', 0xE9}},           // bare Latin-1 bytes
        {"\xC3", {0xC3}},                           // truncated sequence
        {"\xC0\x80", {0xC0, 0x80}},                 // overlong encoding
        {"\u20AC", {0xAC}},                         // euro sign: low 8 bits of U+20AC
        {"\U0001F600x", {0x00, 'x'}},               // four-byte sequence
    };
    for (const auto& c : cases) {
        const std::string bytes = Utf8ToLatin1(c.utf8);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), c.latin1);
    }
}

std::optional<DecodedResponse> Decode(const Bytes& delivery)
{
    ReplyBuffer reply{};
    return DecodeDelivery(delivery.data(), static_cast<int>(delivery.size()), reply);
}

TEST(ResponseDecoding, PositionReportFields)
{
    const struct {
        std::uint8_t p1lo, p1hi, p2lo, p2hi;
        int position1, position2;
    } cases[] = {
        {232, 253, 232, 253, 65000, 65000},
        {233, 253, 233, 253, 65001, -535},
        {255, 255, 255, 255, 65535, -1},
        {0, 0, 0, 0, 0, 0},
        {103, 1, 90, 0, 359, 90},
    };
    for (const auto& c : cases) {
        const Bytes frame = ResponseFrame(10, {c.p1lo, c.p1hi, 1, c.p2lo, c.p2hi, 255, 77, 2, 1});
        const auto decoded = Decode(frame);
        ASSERT_TRUE(decoded && std::holds_alternative<PositionReport>(*decoded));
        const auto& report = std::get<PositionReport>(*decoded);
        EXPECT_EQ(report.position1, c.position1);
        EXPECT_EQ(report.position2, c.position2);
        EXPECT_EQ(report.status1, 1);
        EXPECT_EQ(report.status2, 255);
        EXPECT_EQ(report.rotator2Mode, 2);
        EXPECT_EQ(report.activeRotator, 1);
    }
}

TEST(ResponseDecoding, SettingsReportFieldsAndTexts)
{
    const Bytes payload{7, 9, 5, 3, 25, 44, 1, 4, 2, 30, 90, 103, 1, 2,
                        'R', 'o', 't', 0xE9, ' ', '1', ' ', 0xAA,
                        'E', 'l', 'e', 'v', 'a', 'c', 'e', 0xBB, 1};
    const auto decoded = Decode(ResponseFrame(15, payload));
    ASSERT_TRUE(decoded && std::holds_alternative<SettingsReport>(*decoded));
    const UnitSettings& s = std::get<SettingsReport>(*decoded).settings;
    EXPECT_EQ(s.sensorId1, 7);
    EXPECT_EQ(s.sensorId2, 9);
    EXPECT_EQ(s.sensitivity1, 5);
    EXPECT_EQ(s.inertia1, 3);
    EXPECT_EQ(s.inertiaTime1, 25);
    EXPECT_EQ(s.limitSwitch1, 300);
    EXPECT_EQ(s.sensitivity2, 4);
    EXPECT_EQ(s.inertia2, 2);
    EXPECT_EQ(s.inertiaTime2, 30);
    EXPECT_EQ(s.maxElevation2, 90);
    EXPECT_EQ(s.limitSwitch2, 359);
    EXPECT_EQ(s.mode2, 2);
    EXPECT_EQ(s.lcdText1, "Rot\u00E9 1 ");
    EXPECT_EQ(s.lcdText2, "Elevace");
    EXPECT_EQ(s.display20, 1);
}

TEST(ResponseDecoding, VersionAndAcknowledgements)
{
    const auto version = Decode(test::VersionFrame(263));
    ASSERT_TRUE(version && std::holds_alternative<VersionReport>(*version));
    EXPECT_EQ(std::get<VersionReport>(*version).firmwareVersion, 263);

    const struct {
        Bytes payload;
        std::uint8_t subCode;
        std::array<std::uint8_t, 4> data;
    } acks[] = {
        {{11, 1, 0, 1, 0}, 11, {1, 0, 1, 0}},
        {{19, 12}, 19, {12, 0, 0, 0}},
        {{16}, 16, {0, 0, 0, 0}},
        {{42}, 42, {0, 0, 0, 0}},
    };
    for (const auto& a : acks) {
        const auto decoded = Decode(ResponseFrame(100, a.payload));
        ASSERT_TRUE(decoded && std::holds_alternative<AckReport>(*decoded));
        EXPECT_EQ(std::get<AckReport>(*decoded).subCode, a.subCode);
        EXPECT_EQ(std::get<AckReport>(*decoded).data, a.data);
    }
}

TEST(ResponseDecoding, FaultyDeliveriesAreDropped)
{
    const Bytes position = PositionFrame(10, 1, 20, 1, 2, 0);
    const Bytes version = test::VersionFrame(263);

    Bytes checksumOneOff = position;
    ++checksumOneOff.back();
    Bytes merged = position;
    merged.insert(merged.end(), version.begin(), version.end());
    Bytes oneAndAHalf = position;
    oneAndAHalf.insert(oneAndAHalf.end(), version.begin(), version.begin() + 4);
    Bytes shortPosition = ResponseFrame(10, {10, 0, 1, 20, 0, 1, 0, 2});  // 14 bytes
    Bytes shortSettings = ResponseFrame(15, Bytes(30, 1));                // 36 bytes
    Bytes shortVersion = ResponseFrame(99, {7});                          // 7 bytes
    Bytes shortGotoAck = ResponseFrame(100, {11, 1, 0, 1});               // 10 bytes
    Bytes shortSensorAck = ResponseFrame(100, {19});                      // 7 bytes

    const struct {
        const char* name;
        Bytes delivery;
    } cases[] = {
        {"checksum one off", checksumOneOff},
        {"source address 2", ResponseFrame(10, {10, 0, 1, 20, 0, 1, 0, 2, 0}, 2)},
        {"unknown code", ResponseFrame(11, {10, 0, 1, 20, 0, 1, 0, 2, 0})},
        {"two frames in one delivery", merged},
        {"one and a half frames", oneAndAHalf},
        {"first half of a frame", Bytes(position.begin(), position.begin() + 7)},
        {"short position report", shortPosition},
        {"short settings report", shortSettings},
        {"short version report", shortVersion},
        {"short go-to acknowledgement", shortGotoAck},
        {"short sensor acknowledgement", shortSensorAck},
        {"header only", {42, 1, 0, 0, 43}},
        {"empty", {}},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Decode(c.delivery).has_value()) << c.name;
}

TEST(ResponseDecoding, OverLongDeliveryIsDroppedWithoutTouchingTheBuffer)
{
    // 51 bytes whose last byte is the sum of the others: it would pass the checksum.
    Bytes longest = ResponseFrame(10, Bytes(45, 0));
    ASSERT_EQ(longest.size(), 51u);
    ReplyBuffer reply;
    reply.fill(0x5A);
    EXPECT_FALSE(DecodeDelivery(longest.data(), static_cast<int>(longest.size()), reply));
    for (std::uint8_t byte : reply)
        EXPECT_EQ(byte, 0x5A);

    // 50 bytes is still one response: the fields sit at fixed offsets, the checksum is last.
    const Bytes fifty = ResponseFrame(10, {1, 0, 1, 2, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(fifty.size(), 50u);
    const auto decoded = DecodeDelivery(fifty.data(), 50, reply);
    ASSERT_TRUE(decoded && std::holds_alternative<PositionReport>(*decoded));
    EXPECT_EQ(std::get<PositionReport>(*decoded).position2, 2);
}

TEST(UnitFrame, ChecksumWrapsAtEightBits)
{
    const std::uint8_t stop[] = {42, 0, 1, 2, 13, 1};
    EXPECT_EQ(Checksum8(stop, sizeof stop), 59);
    const std::uint8_t big[] = {200, 100};
    EXPECT_EQ(Checksum8(big, sizeof big), 44);
}

}  // namespace
}  // namespace vantora
