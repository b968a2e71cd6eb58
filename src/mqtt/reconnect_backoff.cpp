#include "mqtt/reconnect_backoff.h"

namespace vantora {

int ReconnectBackoff::NextDelaySeconds()
{
    const int delay = m_next;
    m_next = m_next >= kMqttLastRetrySeconds / 2 ? kMqttLastRetrySeconds : m_next * 2;
    return delay;
}

}  // namespace vantora
