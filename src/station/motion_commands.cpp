#include "station/motion_commands.h"

#include "common/angle_text.h"

namespace vantora {

bool Park(const Settings& settings, NastavTarget target)
{
    return Nastav(static_cast<int>(TargetCode::AzimuthElevation), settings.PresetAzimuth[0],
                  settings.PresetElevation[0], target);
}

void ClearSetpointTexts(Setpoints& setpoints)
{
    setpoints.rotator1.value = AngleText(0);
    setpoints.rotator2.value = AngleText(0);
}

StopResult Stop(bool trackingOn, Setpoints& setpoints, CommandBuffer& buffer, FrameSink& sink)
{
    StopResult result;
    result.switchTrackingOff = trackingOn;
    ClearSetpointTexts(setpoints);
    BuildStop(buffer);
    result.bytesSent = Odeslat(buffer, sink);
    return result;
}

}  // namespace vantora
