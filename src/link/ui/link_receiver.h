#pragma once
// Wires the serial layer's deliveries to the link controller.

namespace vantora {

class LinkController;
class TCommPortDriver;

// Every delivery of `driver` goes to controller.CommPortDriver1ReceiveData with the driver's
// polling paused for the whole call, so a message box the handling opens cannot lead to a
// nested delivery. Both must outlive the connection.
void ConnectLinkReceiver(TCommPortDriver& driver, LinkController& controller);

}  // namespace vantora
