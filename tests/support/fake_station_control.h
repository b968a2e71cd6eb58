#pragma once
// A station for the remote consoles' tests: records each call as a short text ("from MQTT",
// "target 1 123 0", "text E30", "stop", "park", "preset 3", "tracking moon", "jog cw held")
// and shows the snapshot the test sets. Qt-free, for core and shell tests alike.

#include "net/station_control.h"

#include <string>
#include <vector>

namespace vantora::test {

class FakeStationControl : public StationControl {
public:
    std::vector<std::string> calls;
    StationSnapshot snapshot;
    bool textTaken = true;  // what EnterTargetText answers

    void CommandsFrom(const CommandOrigin& origin) override
    {
        static const char* const kNames[] = {"Desktop", "TCP", "rotctld", "N1MM", "PST", "web", "MQTT"};
        calls.push_back(std::string("from ") + kNames[static_cast<int>(origin.source)]
                        + (origin.address.empty() ? "" : " " + origin.address));
    }
    bool EnterTargetText(std::string_view text) override
    {
        calls.push_back("text " + std::string(text));
        return textTaken;
    }
    bool GoPreset(int n) override
    {
        calls.push_back("preset " + std::to_string(n));
        return n >= 1 && n <= 8;
    }
    void SetTracking(TrackingChoice choice) override
    {
        calls.push_back(choice == TrackingChoice::Off    ? "tracking off"
                        : choice == TrackingChoice::Moon ? "tracking moon"
                                                         : "tracking sun");
    }
    void Jog(JogDirection direction, bool held) override
    {
        static const char* const kDirections[] = {"cw", "ccw", "up", "down"};
        calls.push_back(std::string("jog ") + kDirections[static_cast<int>(direction)]
                        + (held ? " held" : " released"));
    }
    StationSnapshot Snapshot() const override { return snapshot; }

    void SetTarget(int code, int value1, int value2) override
    {
        calls.push_back("target " + std::to_string(code) + " " + std::to_string(value1) + " " + std::to_string(value2));
    }
    void Stop() override { calls.push_back("stop"); }
    void Park() override { calls.push_back("park"); }
    void TrackingOff() override { calls.push_back("tracking off"); }
    bool GoToLocator(std::string_view locator) override
    {
        calls.push_back("locator " + std::string(locator));
        return true;
    }
    int BeamAzimuth() const override { return snapshot.rotator1.position; }
    int Elevation() const override { return snapshot.rotator2IsElevation ? snapshot.rotator2.position : 0; }
};

}  // namespace vantora::test
