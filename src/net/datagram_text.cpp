#include "net/datagram_text.h"

#include "track/tracking_line.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vantora {

namespace {

constexpr std::size_t kNumberTextMax = 40;  // characters; longer "numbers" are refused

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Position of `needle` in `text` from `from` on, case ignored; npos when absent.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty() || needle.size() > text.size())
        return std::string_view::npos;
    const char first = LowerAscii(needle[0]);
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (LowerAscii(text[i]) != first)
            continue;
        if (EqualsIgnoringCase(text.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

// Length of the number at the start of `text` (sign, digits, one decimal separator, digits);
// 0 when there is no digit.
std::size_t NumberLength(std::string_view text, bool commaDecimal)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && (text[i] == '.' || (commaDecimal && text[i] == ','))) {
        std::size_t fraction = 0;
        while (i + 1 + fraction < text.size() && IsDigit(text[i + 1 + fraction]))
            ++fraction;
        // "12." and ".5" are numbers; "." alone is not.
        if (fraction > 0) {
            i += 1 + fraction;
            digits += fraction;
        } else if (digits > 0) {
            i += 1;
        }
    }
    return digits > 0 ? i : 0;
}

std::optional<double> ToDouble(std::string_view number)
{
    if (number.empty() || number.size() > kNumberTextMax)
        return std::nullopt;
    std::string text(number);
    for (char& c : text) {
        if (c == ',')
            c = '.';
    }
    // from_chars takes no leading "+".
    const char* begin = text.data();
    if (*begin == '+')
        ++begin;
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value,
                                              std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

namespace {

// Position just after the first opening tag named `tag`: "<tag>", or "<tag" followed by a blank,
// attributes and ">". npos when there is none.
std::size_t AfterOpeningTag(std::string_view text, std::string_view tag)
{
    const std::string open = "<" + std::string(tag);
    for (std::size_t at = FindIgnoringCase(text, open, 0); at != std::string_view::npos;
         at = FindIgnoringCase(text, open, at + 1)) {
        const std::size_t next = at + open.size();
        if (next >= text.size())
            return std::string_view::npos;
        if (text[next] == '>')
            return next + 1;
        if (!IsBlank(text[next]))
            continue;  // a longer name: "<rotorX>" is not "<rotor>"
        const std::size_t end = text.find('>', next);
        if (end == std::string_view::npos)
            return std::string_view::npos;
        return end + 1;
    }
    return std::string_view::npos;
}

}  // namespace

bool HasTag(std::string_view text, std::string_view tag)
{
    return AfterOpeningTag(text, tag) != std::string_view::npos;
}

std::optional<std::string_view> TagText(std::string_view text, std::string_view tag)
{
    const std::string close = "</" + std::string(tag) + ">";
    const std::size_t from = AfterOpeningTag(text, tag);
    if (from == std::string_view::npos)
        return std::nullopt;
    const std::size_t end = FindIgnoringCase(text, close, from);
    if (end == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(text.substr(from, end - from));
}

std::optional<double> DecimalNumber(std::string_view text, bool commaDecimal)
{
    text = TrimBlanks(text);
    const std::size_t length = NumberLength(text, commaDecimal);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return ToDouble(text);
}

std::optional<double> DatagramNumber(std::string_view text, bool commaDecimal)
{
    text = TrimBlanks(text);
    const std::size_t length = NumberLength(text, commaDecimal);
    if (length == 0)
        return std::nullopt;
    const std::string_view rest = text.substr(length);
    // The "%f.2" trace: a dot right after the number's digits, then digits to the end.
    if (!rest.empty()) {
        if (rest.size() < 2 || rest[0] != '.' || !IsDigit(text[length - 1]))
            return std::nullopt;
        for (const char c : rest.substr(1)) {
            if (!IsDigit(c))
                return std::nullopt;
        }
    }
    return ToDouble(text.substr(0, length));
}

std::optional<int> WholeAzimuth(double degrees)
{
    if (!std::isfinite(degrees))
        return std::nullopt;
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped < 0.0)
        wrapped += 360.0;
    // fmod of a tiny negative value plus 360 can round up to exactly 360.
    if (wrapped >= 360.0)
        wrapped = 0.0;
    return RoundTrackingDegrees(wrapped);
}

}  // namespace vantora
