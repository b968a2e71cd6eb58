#pragma once
// A station for the network inputs' tests: records each call as a short text ("target 1 123 0",
// "stop", "park", "tracking off", "locator IO91WM") and reports positions the test sets.

#include "net/remote_station.h"

#include <string>
#include <vector>

namespace vantora::test {

class RecordingStation : public RemoteStation {
public:
    std::vector<std::string> calls;
    int beamAzimuth = 0;
    int elevation = 0;
    bool locatorValid = true;  // what GoToLocator answers

    void SetTarget(int code, int value1, int value2) override
    {
        calls.push_back("target " + std::to_string(code) + " " + std::to_string(value1) + " " +
                        std::to_string(value2));
    }
    void Stop() override { calls.push_back("stop"); }
    void Park() override { calls.push_back("park"); }
    void TrackingOff() override { calls.push_back("tracking off"); }
    bool GoToLocator(std::string_view locator) override
    {
        calls.push_back("locator " + std::string(locator));
        return locatorValid;
    }
    int BeamAzimuth() const override { return beamAzimuth; }
    int Elevation() const override { return elevation; }
};

}  // namespace vantora::test
