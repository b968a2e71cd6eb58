#pragma once

#include "topology.h"

namespace mapgen {

// The boundaries as drawn here: Crimea with Ukraine and Cyprus undivided, as the United
// Nations recognise them (the data's default shows the lines of control instead).
inline void adjustBoundaries(Topology &topo)
{
    topo.movePolygons("Russia", "Ukraine", QPointF(34.10, 44.95));  // Simferopol
    topo.mergeInto("N. Cyprus", "Cyprus");
    topo.mergeInto("Cyprus U.N. Buffer Zone", "Cyprus");
}

}  // namespace mapgen
