#pragma once
// The link's news goes to the window that shows it: positions, setpoints, messages and the unit
// menus to the main window; the settings report and the status lines to the two unit dialogs.

#include "link/link_controller.h"

#include <string>

namespace vantora {

class ControlUnitDialog;
class SensorsDialog;

class LinkEventRoutes : public LinkEvents {
public:
    explicit LinkEventRoutes(LinkEvents& mainWindow) : m_main(mainWindow) {}
    // Where the unit dialogs' part goes; null (the default) drops it.
    void setUnitDialogs(LinkEvents* dialogs) { m_dialogs = dialogs; }

    void ShowAzimut() override { m_main.ShowAzimut(); }
    void ShowElevace() override { m_main.ShowElevace(); }
    void ShowMessage(const std::string& text) override { m_main.ShowMessage(text); }
    void EnableUnitMenus() override { m_main.EnableUnitMenus(); }
    void SetpointsChanged() override { m_main.SetpointsChanged(); }
    void SettingsReportArrived() override;
    void UnitDialogStatus(const std::string& englishText) override;
    void SensorDialogStatus(const std::string& englishText) override;

private:
    LinkEvents& m_main;
    LinkEvents* m_dialogs = nullptr;
};

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
