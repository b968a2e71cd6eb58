#pragma once

#include "topology.h"

#include <QImage>

#include <vector>

namespace mapgen {

// The Europe map, 2000 x 1461. `tints` receives each country's land tint index so the local
// map can colour the same countries alike.
QImage renderEurope(const Topology &topo, std::vector<int> *tints);

// The local map, 1266 x 933, centred on its pixel (468, 468).
QImage renderLocal(const Topology &topo, const std::vector<int> &tints);

}  // namespace mapgen
