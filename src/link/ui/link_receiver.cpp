#include "link/ui/link_receiver.h"

#include "link/link_controller.h"
#include "link/ui/comm_port_driver.h"

namespace vantora {

namespace {

class PollingPause {
public:
    explicit PollingPause(TCommPortDriver& driver) : m_driver(driver) { m_driver.PausePolling(); }
    ~PollingPause() { m_driver.ContinuePolling(); }
    PollingPause(const PollingPause&) = delete;
    PollingPause& operator=(const PollingPause&) = delete;

private:
    TCommPortDriver& m_driver;
};

}  // namespace

void ConnectLinkReceiver(TCommPortDriver& driver, LinkController& controller)
{
    driver.SetOnReceiveData([&driver, &controller](const std::uint8_t* data, int size) {
        const PollingPause pause(driver);
        controller.CommPortDriver1ReceiveData(data, size);
    });
}

}  // namespace vantora
