#pragma once
// Where tracking and the TCP server hand their targets: the main window's target routine.

namespace vantora {

class TargetSink {
public:
    virtual ~TargetSink() = default;
    // Set a target. code: 1 azimuth for the selected azimuth rotator, 2 elevation for rotator 2,
    // 3 azimuth and elevation together, 4 azimuth for rotator 1, 5 azimuth for rotator 2.
    // value1: azimuth (or the only value), value2: elevation; degrees.
    virtual void Nastav(int code, int value1, int value2) = 0;
};

}  // namespace vantora
