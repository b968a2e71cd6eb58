#include "mqtt/publish_filter.h"

namespace vantora {

bool PublishFilter::Offer(const std::string& topic, const std::string& payload, std::int64_t nowMs)
{
    Topic& entry = m_topics[topic];
    if (entry.published && *entry.published == payload) {
        entry.held.reset();  // back to what the broker holds: nothing left to send
        return false;
    }
    if (entry.published && nowMs - entry.publishedAtMs < kMqttMinPublishIntervalMs) {
        entry.held = payload;
        return false;
    }
    entry.published = payload;
    entry.publishedAtMs = nowMs;
    entry.held.reset();
    return true;
}

std::vector<MqttOutgoing> PublishFilter::Due(std::int64_t nowMs)
{
    std::vector<MqttOutgoing> due;
    for (auto& [topic, entry] : m_topics) {
        if (!entry.held || nowMs - entry.publishedAtMs < kMqttMinPublishIntervalMs)
            continue;
        entry.published = std::move(*entry.held);
        entry.publishedAtMs = nowMs;
        entry.held.reset();
        due.push_back({topic, *entry.published});
    }
    return due;
}

std::optional<std::int64_t> PublishFilter::NextDueMs() const
{
    std::optional<std::int64_t> next;
    for (const auto& [topic, entry] : m_topics)
        if (entry.held) {
            const std::int64_t due = entry.publishedAtMs + kMqttMinPublishIntervalMs;
            if (!next || due < *next)
                next = due;
        }
    return next;
}

}  // namespace vantora
