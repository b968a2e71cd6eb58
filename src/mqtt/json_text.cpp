#include "mqtt/json_text.h"

#include "mqtt/utf8_text.h"

#include <cstdint>
#include <cstdio>

namespace vantora {

namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD

// Bytes of the well-formed sequence starting at `i`, or 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xe0) == 0xc0 ? 2
                               : (lead & 0xf0) == 0xe0 ? 3
                               : (lead & 0xf8) == 0xf0 ? 4
                                                       : 0;
    if (length == 0 || text.size() - i < length)
        return 0;
    return IsUtf8(text.substr(i, length)) ? length : 0;
}

}  // namespace

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out += c;
                }
            }
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    out += '"';
    return out;
}

}  // namespace vantora
