#pragma once
// The link's news for the two unit dialogs: the station hands the settings report and the status
// lines here (positions, setpoints and the unit menus go to the main window).

#include "link/link_controller.h"

#include <string>

namespace vantora {

class ControlUnitDialog;
class SensorsDialog;

// The unit dialogs' part: a settings report refreshes the control-unit dialog (shows the values,
// enables its buttons) and then enables the sensors dialog, each only while it is visible.
class UnitDialogEvents : public LinkEvents {
public:
    UnitDialogEvents(ControlUnitDialog& controlUnit, SensorsDialog& sensors)
        : m_controlUnit(controlUnit), m_sensors(sensors)
    {
    }
    void SettingsReportArrived() override;
    void UnitDialogStatus(const std::string& englishText) override;
    void SensorDialogStatus(const std::string& englishText) override;

private:
    ControlUnitDialog& m_controlUnit;
    SensorsDialog& m_sensors;
};

}  // namespace vantora
