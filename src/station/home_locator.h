#pragma once
// The locator the home position is computed from.

#include "geo/locator.h"

#include <string_view>

namespace vantora {

// The stored home locator `lokator` (Settings::Lokator) when it is a valid locator, else the
// default home locator: the text HomePosition (geo/locator.h) converts.
std::string_view EffectiveHomeLocator(std::string_view lokator);

}  // namespace vantora
