#pragma once
// Whole-text integer parsing for typed targets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantora {

// The whole text must be one 32-bit integer: leading blanks are skipped, then one optional "+" or
// "-", then decimal digits, or "$" and hexadecimal digits (either case). Anything after the
// digits, no digits at all, or a value outside the signed 32-bit range gives nothing.
std::optional<std::int32_t> ParseWholeInteger(std::string_view text);

// Only decimal digits, 1 to `maxDigits` of them (no sign, no blanks), and a value of at most
// `max`: an address byte, a prefix length, a port number.
std::optional<std::uint32_t> ParseDecimalDigits(std::string_view text, std::size_t maxDigits, std::uint32_t max);

}  // namespace vantora
