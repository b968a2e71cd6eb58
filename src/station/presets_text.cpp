#include "station/presets_text.h"

#include "common/angle_text.h"

namespace vantora {

namespace {

bool IsOffered(int n)
{
    return n >= kFirstPreset && n <= kLastPreset;
}

}  // namespace

std::string MouseOnPreset(const Settings& settings, int n)
{
    if (!IsOffered(n))
        return {};
    return "A=" + AngleText(settings.PresetAzimuth[n]) + " E=" + AngleText(settings.PresetElevation[n]);
}

bool GoPreset(const Settings& settings, int n, NastavTarget target)
{
    if (!IsOffered(n))
        return false;
    return Nastav(static_cast<int>(TargetCode::AzimuthElevation), settings.PresetAzimuth[n],
                  settings.PresetElevation[n], target);
}

}  // namespace vantora
