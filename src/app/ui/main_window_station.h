#pragma once
// The station as the network inputs see it: the main window's targets, buttons and positions.

#include "net/remote_station.h"

namespace vantora {

class MainWindow;

class MainWindowStation : public RemoteStation {
public:
    explicit MainWindowStation(MainWindow& window) : m_window(window) {}

    void SetTarget(int code, int value1, int value2) override;
    void Stop() override;
    void Park() override;
    void TrackingOff() override;
    bool GoToLocator(std::string_view locator) override;
    int BeamAzimuth() const override;
    int Elevation() const override;

private:
    MainWindow& m_window;
};

}  // namespace vantora
