#pragma once
// How long the bridge waits before it tries the broker again: 1 s after the first failure,
// doubling with every further one up to 60 s; back to 1 s once a connection was accepted.

namespace vantora {

inline constexpr int kMqttFirstRetrySeconds = 1;
inline constexpr int kMqttLastRetrySeconds = 60;

class ReconnectBackoff {
public:
    // A try failed or a connection was lost: the seconds to wait before the next try.
    int NextDelaySeconds();
    // The broker accepted a connection.
    void Reset() { m_next = kMqttFirstRetrySeconds; }

private:
    int m_next = kMqttFirstRetrySeconds;
};

}  // namespace vantora
