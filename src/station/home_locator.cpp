#include "station/home_locator.h"

namespace vantora {

std::string_view EffectiveHomeLocator(std::string_view lokator)
{
    return CheckLoc(lokator) ? lokator : kDefaultHomeLocator;
}

}  // namespace vantora
