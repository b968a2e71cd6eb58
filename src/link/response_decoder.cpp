#include "link/response_decoder.h"

#include "link/latin1_text.h"

#include <algorithm>

namespace vantora {

namespace {

constexpr std::uint16_t kNegativeThreshold = 65000;  // rotator 2 may stand below 0 degrees

std::uint16_t Word(const ReplyBuffer& reply, std::size_t offset)
{
    return static_cast<std::uint16_t>(reply[offset] | (reply[offset + 1] << 8));
}

PositionReport DecodePosition(const ReplyBuffer& reply)
{
    PositionReport report;
    report.position1 = Word(reply, 5);
    report.status1 = reply[7];
    const std::uint16_t raw2 = Word(reply, 8);
    report.position2 = raw2 > kNegativeThreshold ? raw2 - 65536 : raw2;
    report.status2 = reply[10];
    // Offset 11 belongs to the unit; nothing here depends on it.
    report.rotator2Mode = reply[12];
    report.activeRotator = reply[13];
    return report;
}

SettingsReport DecodeSettings(const ReplyBuffer& reply)
{
    SettingsReport report;
    UnitSettings& s = report.settings;
    s.sensorId1 = reply[5];
    s.sensorId2 = reply[6];
    s.sensitivity1 = reply[7];
    s.inertia1 = reply[8];
    s.inertiaTime1 = reply[9];
    s.limitSwitch1 = Word(reply, 10);
    s.sensitivity2 = reply[12];
    s.inertia2 = reply[13];
    s.inertiaTime2 = reply[14];
    s.maxElevation2 = reply[15];
    s.limitSwitch2 = Word(reply, 16);
    s.mode2 = reply[18];
    s.lcdText1 = Latin1ToUtf8(reply.data() + 19, 7);
    s.lcdText2 = Latin1ToUtf8(reply.data() + 27, 7);
    s.display20 = reply[35];
    return report;
}

int AckSize(std::uint8_t subCode)
{
    switch (subCode) {
    case 11: return kAckGotoReportSize;
    case 19: return kAckSensorReportSize;
    default: return kAckReportSize;
    }
}

}  // namespace

std::optional<DecodedResponse> DecodeDelivery(const std::uint8_t* data, int size, ReplyBuffer& reply)
{
    // Nothing shorter than a header and a checksum can be a response, and nothing longer than
    // the buffer can be one response; neither is copied.
    if (data == nullptr || size < 6 || size > static_cast<int>(reply.size()))
        return std::nullopt;
    std::copy(data, data + size, reply.begin());

    const auto n = static_cast<std::size_t>(size);
    if (Checksum8(reply.data(), n - 1) != reply[n - 1])
        return std::nullopt;
    if (reply[1] != kUnitAddress)
        return std::nullopt;

    switch (static_cast<ResponseCode>(reply[4])) {
    case ResponseCode::RspPosition:
        if (size < kPositionReportSize)
            return std::nullopt;
        return DecodePosition(reply);
    case ResponseCode::RspSettings:
        if (size < kSettingsReportSize)
            return std::nullopt;
        return DecodeSettings(reply);
    case ResponseCode::RspVersion:
        if (size < kVersionReportSize)
            return std::nullopt;
        return VersionReport{Word(reply, 5)};
    case ResponseCode::RspAck: {
        AckReport ack;
        ack.subCode = reply[5];
        const int needed = AckSize(ack.subCode);
        if (size < needed)
            return std::nullopt;
        // Only the bytes before the checksum are data.
        const int available = std::min(size - 1 - 6, 4);
        for (int i = 0; i < available; ++i)
            ack.data[static_cast<std::size_t>(i)] = reply[static_cast<std::size_t>(6 + i)];
        return ack;
    }
    }
    return std::nullopt;
}

}  // namespace vantora
