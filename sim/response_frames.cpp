#include "response_frames.h"

#include "link/unit_frame.h"

namespace vantora::sim {

namespace {

void PutU16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Two's complement in 16 bits: -1 becomes 65535, -45 becomes 65491.
unsigned Wire16(int value)
{
    return static_cast<unsigned>(value) & 0xFFFFu;
}

}  // namespace

Bytes BuildResponse(std::uint8_t code, const Bytes& payload)
{
    Bytes frame;
    frame.reserve(payload.size() + 6);
    frame.push_back(kStartByte);
    frame.push_back(kUnitAddress);
    frame.push_back(kProgramAddress);
    frame.push_back(static_cast<std::uint8_t>(1 + payload.size()));
    frame.push_back(code);
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Checksum8(frame.data(), frame.size()));
    return frame;
}

Bytes BuildPositionReport(const PositionReport& r)
{
    Bytes payload;
    PutU16(payload, Wire16(r.position1));
    payload.push_back(r.status1);
    PutU16(payload, Wire16(r.position2));
    payload.push_back(r.status2);
    payload.push_back(0);  // offset 11: reserved, the program does not read it
    payload.push_back(r.rotator2Mode);
    payload.push_back(r.activeRotator);
    return BuildResponse(static_cast<std::uint8_t>(ResponseCode::RspPosition), payload);
}

Bytes BuildSettingsReport(const UnitConfig& c)
{
    Bytes payload;
    payload.push_back(c.sensorId1);
    payload.push_back(c.sensorId2);
    payload.push_back(c.sensitivity1);
    payload.push_back(c.inertia1);
    payload.push_back(c.inertiaTime1);
    PutU16(payload, c.limitSwitch1);
    payload.push_back(c.sensitivity2);
    payload.push_back(c.inertia2);
    payload.push_back(c.inertiaTime2);
    payload.push_back(c.maxElevation2);
    PutU16(payload, c.limitSwitch2);
    payload.push_back(c.mode2);
    payload.insert(payload.end(), c.lcdText1.begin(), c.lcdText1.end());
    payload.push_back(0);  // end of text, as in the write command
    payload.insert(payload.end(), c.lcdText2.begin(), c.lcdText2.end());
    payload.push_back(0);
    payload.push_back(c.display20);
    return BuildResponse(static_cast<std::uint8_t>(ResponseCode::RspSettings), payload);
}

Bytes BuildVersionReport(std::uint16_t firmwareVersion)
{
    Bytes payload;
    PutU16(payload, firmwareVersion);
    return BuildResponse(static_cast<std::uint8_t>(ResponseCode::RspVersion), payload);
}

Bytes BuildAck(std::uint8_t subCode, const Bytes& extra)
{
    Bytes payload{subCode};
    payload.insert(payload.end(), extra.begin(), extra.end());
    return BuildResponse(static_cast<std::uint8_t>(ResponseCode::RspAck), payload);
}

}  // namespace vantora::sim
