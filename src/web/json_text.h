#pragma once
// The little JSON the web console speaks: quoting text for the messages it writes, and reading
// the flat objects its clients send ({"cmd":"preset","n":3}, {"password":"..."}).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vantora {

// `text` (UTF-8) as a JSON string literal, quotes included; controls, quote and backslash
// escaped. Bytes that are not valid UTF-8 become U+FFFD, so the result is always valid JSON.
std::string JsonQuote(std::string_view text);

struct JsonNull {
    bool operator==(const JsonNull&) const = default;
};
// A number that is a whole value within 64 bits keeps it; any other number is only a number.
struct JsonNumber {
    std::optional<std::int64_t> whole;
    bool operator==(const JsonNumber&) const = default;
};
using JsonScalar = std::variant<JsonNull, bool, JsonNumber, std::string>;

// One object whose values are scalars, in the order written.
using JsonFlatObject = std::vector<std::pair<std::string, JsonScalar>>;

inline constexpr std::size_t kMaxJsonMembers = 16;

// The whole text must be one JSON object (blanks around it allowed) of at most kMaxJsonMembers
// members, each value a string, number, true, false or null: no nested objects or arrays, no
// repeated names, strict UTF-8, escapes decoded. Anything else gives nothing.
std::optional<JsonFlatObject> ParseJsonFlatObject(std::string_view text);

// The member named `name` if it is a string / a whole number.
const std::string* JsonString(const JsonFlatObject& object, std::string_view name);
std::optional<std::int64_t> JsonWhole(const JsonFlatObject& object, std::string_view name);

}  // namespace vantora
