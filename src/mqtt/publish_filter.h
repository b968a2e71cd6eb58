#pragma once
// Which retained values go out now: a topic's value is published only when it differs from what
// was last published there, and at most once per kMqttMinPublishIntervalMs per topic (10 a
// second). A change inside that interval is held, and the newest value held goes out when the
// interval ends, so the broker always ends up with the last value. Times are milliseconds on
// any steady clock.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantora {

inline constexpr std::int64_t kMqttMinPublishIntervalMs = 100;

struct MqttOutgoing {
    std::string topic;
    std::string payload;
    bool operator==(const MqttOutgoing&) const = default;
};

class PublishFilter {
public:
    // The topic's value now. Returns true when it is to be published at once (the caller then
    // publishes it); false when it is unchanged or held until Due().
    bool Offer(const std::string& topic, const std::string& payload, std::int64_t nowMs);

    // The held values whose interval has ended, to be published now, in topic order.
    std::vector<MqttOutgoing> Due(std::int64_t nowMs);

    // When the next held value falls due; nothing when none is held.
    std::optional<std::int64_t> NextDueMs() const;

    // A new connection: nothing counts as published, every value goes out again.
    void Reset() { m_topics.clear(); }

private:
    struct Topic {
        std::optional<std::string> published;  // what the broker holds from us
        std::int64_t publishedAtMs = 0;
        std::optional<std::string> held;  // a newer value waiting for the interval to end
    };
    std::map<std::string, Topic> m_topics;
};

}  // namespace vantora
