#pragma once
// What the UDP inputs may do to the station and read from it. The main window provides it; the
// handlers decide what a datagram asks for and call these in its place.

#include <string_view>

namespace vantora {

class RemoteStation {
public:
    virtual ~RemoteStation() = default;

    // A new target from outside, as a typed one: tracking, when on, goes off first (both
    // setpoint read-outs back to "0°"), then Nastav(code, value1, value2) (codes of TargetSink),
    // keeping a target of the other rotator that still waits for the poll tick (pending_target.h).
    virtual void SetTarget(int code, int value1, int value2) = 0;
    // As the STOP button (tracking goes off too).
    virtual void Stop() = 0;
    // As the PARK button (tracking stays as it is).
    virtual void Park() = 0;
    // As the Tracking menu's "OFF".
    virtual void TrackingOff() = 0;
    // A typed locator's go-to: a valid six-character locator other than the home locator turns
    // the selected azimuth rotator to its bearing (ending tracking as any target); anything else
    // does nothing. True when a target was set.
    virtual bool GoToLocator(std::string_view locator) = 0;

    // Last reported position of the rotator the map follows, degrees.
    virtual int BeamAzimuth() const = 0;
    // Last reported position of rotator 2 when it is the elevation rotator, else 0; degrees.
    virtual int Elevation() const = 0;
};

}  // namespace vantora
