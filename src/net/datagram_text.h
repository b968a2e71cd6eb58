#pragma once
// Reading the small tagged texts that loggers send over UDP. Their packets are not always
// well-formed markup, so tags are found one by one by their name, case ignored; an opening tag
// may carry attributes (<N1MMRotor xmlns:xsi="...">), which are not read. Nothing else of the
// packet's structure is checked.

#include <optional>
#include <string_view>

namespace vantora {

// True when `text` holds "<" + tag + ">" in any case, or "<" + tag, a blank and anything up to ">".
bool HasTag(std::string_view text, std::string_view tag);

// What stands between the first opening tag (as HasTag finds it) and the next "</tag>" after it
// (case ignored), with blanks, tabs and line ends trimmed. Empty when either is missing.
std::optional<std::string_view> TagText(std::string_view text, std::string_view tag);

// Blanks, tabs and line ends trimmed from both ends.
std::string_view TrimBlanks(std::string_view text);

// True when both are equal with ASCII letters compared case-insensitively.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// A decimal number filling the whole (trimmed) text: optional sign, digits, optionally "." or
// (when `commaDecimal`) "," and more digits. Empty for anything else, for texts longer than 40
// characters and for values that are not finite.
std::optional<double> DecimalNumber(std::string_view text, bool commaDecimal);

// A decimal number as DecimalNumber reads it, which may be followed by "." and digits: the
// trace of a sender that formats "%f.2" ("150.000000.2" reads 150). Anything else after the
// number ("1e3", "0x10", "7 deg") makes the text no number at all.
std::optional<double> DatagramNumber(std::string_view text, bool commaDecimal);

// An azimuth taken modulo 360 (into 0 <= a < 360), then rounded to the nearest whole degree,
// halves to the even neighbour; 359.6 becomes 360. Empty for values that are not finite.
std::optional<int> WholeAzimuth(double degrees);

}  // namespace vantora
