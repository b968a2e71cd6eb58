#pragma once
// One input's door to the station: every command that comes through it first names the input
// as the commands' origin, then goes the one path all targets take.

#include "net/remote_station.h"
#include "net/station_control.h"

#include <utility>

namespace vantora {

class OriginStation : public RemoteStation {
public:
    // `station` outlives this.
    OriginStation(StationControl& station, CommandOrigin origin) : m_station(station), m_origin(std::move(origin)) {}

    void SetTarget(int code, int value1, int value2) override
    {
        m_station.CommandsFrom(m_origin);
        m_station.SetTarget(code, value1, value2);
    }
    void Stop() override
    {
        m_station.CommandsFrom(m_origin);
        m_station.Stop();
    }
    void Park() override
    {
        m_station.CommandsFrom(m_origin);
        m_station.Park();
    }
    void TrackingOff() override
    {
        m_station.CommandsFrom(m_origin);
        m_station.TrackingOff();
    }
    bool GoToLocator(std::string_view locator) override
    {
        m_station.CommandsFrom(m_origin);
        return m_station.GoToLocator(locator);
    }
    int BeamAzimuth() const override { return m_station.BeamAzimuth(); }
    int Elevation() const override { return m_station.Elevation(); }

private:
    StationControl& m_station;
    CommandOrigin m_origin;
};

}  // namespace vantora
