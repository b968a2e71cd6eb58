#pragma once
// The main window's three gauges: the map (beam line over the map image) and the two rotator dials.

#include "widgets/ui/analog_gauge.h"

namespace vantora {

inline constexpr int kMapGaugeWidth = 796;   // first layout; the window resizes it later
inline constexpr int kMapGaugeHeight = 617;
inline constexpr int kRotatorDialSize = 193;
inline constexpr int kMapFontPixels = 11;
inline constexpr int kDialCaptionFontPixels = 19;

// Map gauge: full circle, only the pointer and a small red centre disc; a negative margin makes
// the pointer run to the edges. Pointer north (position 180).
void ConfigureMapGauge(TA3nalogGauge& gauge);

// Rotator dial: a full azimuth circle (rotator 1, position 180) or, with `quarter`, the
// elevation quarter-circle of rotator 2 (position 0). Face silver until the first report.
void ConfigureRotatorDial(TA3nalogGauge& gauge, bool quarter);

}  // namespace vantora
