#pragma once
// The station as the network inputs see it: the main window's targets, buttons and positions.

#include "net/remote_station.h"

namespace vantora {

class MainWindow;
class TrackingService;

class MainWindowStation : public RemoteStation {
public:
    // Both outlive the station.
    MainWindowStation(MainWindow& window, TrackingService& tracking) : m_window(window), m_tracking(tracking) {}

    void SetTarget(int code, int value1, int value2) override;
    void Stop() override;
    void Park() override;
    void TrackingOff() override;
    bool GoToLocator(std::string_view locator) override;
    int BeamAzimuth() const override;
    int Elevation() const override;

private:
    MainWindow& m_window;
    TrackingService& m_tracking;
};

}  // namespace vantora
