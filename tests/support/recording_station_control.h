#pragma once
// A station for the remote consoles' tests: records every call in order as text, answers the
// snapshot it holds, and takes as targets only the texts it is told to.

#include "net/station_control.h"

#include <set>
#include <string>
#include <vector>

namespace vantora::test {

class RecordingStationControl : public StationControl {
public:
    void SetTarget(int code, int value1, int value2) override
    {
        calls.push_back("SetTarget " + std::to_string(code) + " " + std::to_string(value1) + " "
                        + std::to_string(value2));
    }
    void Stop() override { calls.push_back("Stop"); }
    void Park() override { calls.push_back("Park"); }
    void TrackingOff() override { calls.push_back("TrackingOff"); }
    bool GoToLocator(std::string_view locator) override
    {
        calls.push_back("GoToLocator " + std::string(locator));
        return true;
    }
    int BeamAzimuth() const override { return snapshot.rotator1.position; }
    int Elevation() const override { return snapshot.rotator2.position; }

    void CommandsFrom(const CommandOrigin& origin) override
    {
        calls.push_back("From " + std::to_string(static_cast<int>(origin.source)) + " " + origin.address);
    }
    bool EnterTargetText(std::string_view text) override
    {
        calls.push_back("Target " + std::string(text));
        return targets.count(std::string(text)) > 0;
    }
    bool GoPreset(int n) override
    {
        calls.push_back("Preset " + std::to_string(n));
        return n >= 1 && n <= 8;
    }
    void SetTracking(TrackingChoice choice) override
    {
        calls.push_back("Tracking " + std::to_string(static_cast<int>(choice)));
    }
    void Jog(JogDirection direction, bool held) override
    {
        calls.push_back("Jog " + std::to_string(static_cast<int>(direction)) + (held ? " held" : " released"));
    }
    StationSnapshot Snapshot() const override
    {
        ++snapshots;
        return snapshot;
    }

    StationSnapshot snapshot;
    std::set<std::string> targets{"120", "E30", "stop", "JN79XX"};
    std::vector<std::string> calls;
    mutable int snapshots = 0;
};

}  // namespace vantora::test
