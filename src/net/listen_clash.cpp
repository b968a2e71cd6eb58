#include "net/listen_clash.h"

namespace vantora {

std::vector<std::optional<std::size_t>> FindPortClashes(const std::vector<PortClaim>& claims)
{
    std::vector<std::optional<std::size_t>> clashes(claims.size());
    for (std::size_t i = 0; i < claims.size(); ++i) {
        for (std::size_t j = 0; j < claims.size(); ++j) {
            if (i != j && claims[i].port == claims[j].port && claims[i].protocol == claims[j].protocol) {
                clashes[i] = j;
                break;
            }
        }
    }
    return clashes;
}

}  // namespace vantora
