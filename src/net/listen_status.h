#pragma once
// What the status line of a network input says, as an English text with "%1" for the port; the
// window translates the text, then puts the port in.

#include <string_view>

namespace vantora {

enum class ListenState {
    Off,             // not enabled
    Listening,
    PortInUse,       // another program holds the port and does not share it
    NoPermission,    // the system refused the port to us
    CannotOpen,      // any other failure to open the port
    BadAcceptFrom,   // the "Accept from" field is no address or subnet: not listening
};

std::string_view ListenStatusText(ListenState state);

}  // namespace vantora
