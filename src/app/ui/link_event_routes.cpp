#include "app/ui/link_event_routes.h"

#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/sensors_dialog.h"

namespace vantora {

void UnitDialogEvents::SettingsReportArrived()
{
    if (m_controlUnit.isVisible()) {
        m_controlUnit.Zobrazit();
        m_controlUnit.Povolit();
    }
    if (m_sensors.isVisible())
        m_sensors.Povolit();
}

void UnitDialogEvents::UnitDialogStatus(const std::string& englishText)
{
    m_controlUnit.setStatus(englishText);
}

void UnitDialogEvents::SensorDialogStatus(const std::string& englishText)
{
    m_sensors.setStatus(englishText);
}

}  // namespace vantora
