#pragma once
// Test doubles around the control-unit link: a sink that records frames, scripted inputs,
// recorded events, and a builder for response frames as the unit sends them.

#include "link/commands.h"
#include "link/link_controller.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantora::test {

using Bytes = std::vector<std::uint8_t>;

class RecordingSink : public FrameSink {
public:
    bool Connected() const override { return connected; }
    int SendData(const std::uint8_t* data, int size) override
    {
        frames.emplace_back(data, data + size);
        return size;
    }

    bool connected = true;
    std::vector<Bytes> frames;
};

class ScriptedInputs : public LinkInputs {
public:
    ArrowKeys HeldArrowKeys() const override { return keys; }
    bool TargetBoxHoldsText() const override { return boxHoldsText; }
    ArrowKeys RemoteArrowKeys() const override { return remoteKeys; }

    ArrowKeys keys;
    bool boxHoldsText = false;
    ArrowKeys remoteKeys;
};

// Records every hook as one line, e.g. "ShowAzimut", "Message:Please update HW firmware".
class RecordingEvents : public LinkEvents {
public:
    void ShowAzimut() override { log.push_back("ShowAzimut"); }
    void ShowElevace() override { log.push_back("ShowElevace"); }
    void SettingsReportArrived() override { log.push_back("Settings"); }
    void ShowMessage(const std::string& text) override { log.push_back("Message:" + text); }
    void EnableUnitMenus() override { log.push_back("EnableMenus"); }
    void UnitDialogStatus(const std::string& text) override { log.push_back("Unit:" + text); }
    void SensorDialogStatus(const std::string& text) override { log.push_back("Sensor:" + text); }
    void SetpointsChanged() override { log.push_back("Setpoints"); }

    std::vector<std::string> log;
};

// A frame: 42, source, destination, length, code, payload, checksum (8-bit sum of the rest).
inline Bytes Frame(std::uint8_t source, std::uint8_t destination, std::uint8_t code, const Bytes& payload)
{
    Bytes frame{42, source, destination, static_cast<std::uint8_t>(payload.size() + 1), code};
    for (std::uint8_t byte : payload)  // (insert() draws a false overread warning from g++ 12)
        frame.push_back(byte);
    unsigned sum = 0;
    for (std::uint8_t byte : frame)
        sum += byte;
    frame.push_back(static_cast<std::uint8_t>(sum % 256));
    return frame;
}

// A response frame from the unit (source 1) to the program (address 0).
inline Bytes ResponseFrame(std::uint8_t code, const Bytes& payload, std::uint8_t source = 1)
{
    return Frame(source, 0, code, payload);
}

// A command frame as the program sends it to the unit (address 1).
inline Bytes CommandFrame(std::uint8_t code, const Bytes& payload, std::uint8_t destination = 1)
{
    return Frame(0, destination, code, payload);
}

inline Bytes PositionFrame(int position1, std::uint8_t status1, int position2, std::uint8_t status2,
                           std::uint8_t mode, std::uint8_t active)
{
    const auto p1 = static_cast<std::uint16_t>(position1);
    const auto p2 = static_cast<std::uint16_t>(position2);
    return ResponseFrame(10, {static_cast<std::uint8_t>(p1 & 0xFF), static_cast<std::uint8_t>(p1 >> 8),
                              status1, static_cast<std::uint8_t>(p2 & 0xFF),
                              static_cast<std::uint8_t>(p2 >> 8), status2, 0, mode, active});
}

inline Bytes VersionFrame(std::uint16_t version)
{
    return ResponseFrame(99, {static_cast<std::uint8_t>(version & 0xFF),
                              static_cast<std::uint8_t>(version >> 8)});
}

}  // namespace vantora::test
