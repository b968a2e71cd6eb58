#pragma once
// The persistent settings store as the settings rules see it: named string and integer values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;

    // Starts one operation, creating the store when missing. False when the store cannot be
    // written (no rights, read-only medium); reads may still work then, writes are lost.
    virtual bool Open() = 0;
    // Ends the operation and makes its writes durable; called after every Open, whatever it
    // returned. False when the writes could not be stored.
    virtual bool Close() = 0;

    // nullopt when the value is missing or is not of the asked type.
    virtual std::optional<std::string> ReadString(std::string_view name) = 0;
    virtual std::optional<std::int32_t> ReadInt(std::string_view name) = 0;

    virtual void WriteString(std::string_view name, std::string_view value) = 0;
    virtual void WriteInt(std::string_view name, std::int32_t value) = 0;
};

}  // namespace vantora
