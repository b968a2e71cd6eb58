#include "net/listen_status.h"

namespace vantora {

std::string_view ListenStatusText(ListenState state)
{
    switch (state) {
    case ListenState::Off: return "Off";
    case ListenState::Listening: return "Listening on UDP port %1";
    case ListenState::PortInUse: return "UDP port %1 is in use by another program";
    case ListenState::NoPermission: return "UDP port %1 is not allowed for this user";
    case ListenState::CannotOpen: return "Unable to open UDP port %1";
    case ListenState::BadAcceptFrom: return "Not listening: \"Accept from\" is not an IPv4 address or subnet";
    }
    return "Off";
}

}  // namespace vantora
