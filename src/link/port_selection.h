#pragma once
// Choosing the serial port: what the Port menu's "COM n" items and the start-up do.

#include <functional>
#include <string>

namespace vantora {

inline constexpr int kPortMenuItems = 10;  // "COM 1" .. "COM 10"
inline constexpr char kUnableToOpenPortMessage[] = "Unable to open port !";

// The parts of the serial layer that port selection drives.
class SerialPortControl {
public:
    virtual ~SerialPortControl() = default;
    virtual bool Connect() = 0;
    virtual void Disconnect() = 0;
    // 0-based index (0 = COM1); takes effect at the next Connect.
    virtual void SetComPort(int index) = 0;
};

struct PortSelectionHooks {
    std::function<void(int portNumber)> checkPortMenuItem;       // radio item "COM n", n 1..10
    std::function<void(const std::string& text)> showMessage;    // plain box with OK, untranslated
};

// Stores n as the current port number (kept even when out of range or the open fails, so it
// is written back as chosen), closes the port, selects COM n when n is 1..10 (any other n
// keeps the previous port), and opens it again.
void SetPort(int n, int& currentPortNumber, SerialPortControl& port, const PortSelectionHooks& hooks);

}  // namespace vantora
