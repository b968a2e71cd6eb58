#include "link/port_selection.h"

namespace vantora {

void SetPort(int n, int& currentPortNumber, SerialPortControl& port, const PortSelectionHooks& hooks)
{
    currentPortNumber = n;
    port.Disconnect();
    const bool inMenu = n >= 1 && n <= kPortMenuItems;
    if (inMenu) {
        if (hooks.checkPortMenuItem)
            hooks.checkPortMenuItem(n);
        port.SetComPort(n - 1);
    }
    if (!port.Connect() && hooks.showMessage)
        hooks.showMessage(kUnableToOpenPortMessage);
}

}  // namespace vantora
