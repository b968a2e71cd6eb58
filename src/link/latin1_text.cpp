#include "link/latin1_text.h"

namespace vantora {

std::string Latin1ToUtf8(const std::uint8_t* data, std::size_t size)
{
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte < 0x80) {
            text.push_back(static_cast<char>(byte));
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

namespace {

// Length of the well-formed UTF-8 sequence starting at `pos` and its code point, or 0.
std::size_t DecodeSequence(std::string_view text, std::size_t pos, char32_t& codePoint)
{
    const auto lead = static_cast<std::uint8_t>(text[pos]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8)
{
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = static_cast<std::uint8_t>(utf8[pos]);
        char32_t codePoint = 0;
        const std::size_t length = lead < 0x80 ? 0 : DecodeSequence(utf8, pos, codePoint);
        if (length == 0) {
            bytes.push_back(static_cast<char>(lead));
            ++pos;
        } else {
            bytes.push_back(static_cast<char>(codePoint & 0xFF));
            pos += length;
        }
    }
    return bytes;
}

}  // namespace vantora
