#pragma once
// In-memory settings store for tests: typed values, a log of every write and shown message in
// order, and switches that make the store unwritable.

#include "settings/key_value_store.h"
#include "settings/message_sink.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantora::test {

// One entry of the log: a write ("Port" = "1", integers as decimal text) or a shown message.
struct StoreEvent {
    enum class Kind { WriteString, WriteInt, Message };
    Kind kind;
    std::string name;   // value name, or the message text
    std::string value;  // empty for a message

    bool operator==(const StoreEvent&) const = default;
};

class FakeSettingsStore : public KeyValueStore, public MessageSink {
public:
    using Value = std::variant<std::string, std::int32_t>;

    std::map<std::string, Value, std::less<>> values;
    std::vector<StoreEvent> log;  // shared by the store and its message sink
    bool writable = true;         // what Open reports
    int opens = 0;
    int closes = 0;

    bool Open() override
    {
        ++opens;
        return writable;
    }
    bool Close() override
    {
        ++closes;
        return writable;
    }
    std::optional<std::string> ReadString(std::string_view name) override
    {
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::string>(it->second)) {
            return std::nullopt;
        }
        return std::get<std::string>(it->second);
    }
    std::optional<std::int32_t> ReadInt(std::string_view name) override
    {
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::int32_t>(it->second)) {
            return std::nullopt;
        }
        return std::get<std::int32_t>(it->second);
    }
    void WriteString(std::string_view name, std::string_view value) override
    {
        log.push_back({StoreEvent::Kind::WriteString, std::string(name), std::string(value)});
        values.insert_or_assign(std::string(name), Value(std::string(value)));
    }
    void WriteInt(std::string_view name, std::int32_t value) override
    {
        log.push_back({StoreEvent::Kind::WriteInt, std::string(name), std::to_string(value)});
        values.insert_or_assign(std::string(name), Value(value));
    }
    void ShowMessage(std::string_view text) override
    {
        log.push_back({StoreEvent::Kind::Message, std::string(text), {}});
    }

    std::vector<StoreEvent> Writes() const
    {
        std::vector<StoreEvent> writes;
        for (const StoreEvent& event : log) {
            if (event.kind != StoreEvent::Kind::Message) {
                writes.push_back(event);
            }
        }
        return writes;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> messages;
        for (const StoreEvent& event : log) {
            if (event.kind == StoreEvent::Kind::Message) {
                messages.push_back(event.name);
            }
        }
        return messages;
    }
};

}  // namespace vantora::test
