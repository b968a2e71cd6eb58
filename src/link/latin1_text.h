#pragma once
// The unit's LCD texts travel as one byte per character: the byte is the character's code
// (0..255, the Latin-1 range). The rest of the program holds texts as UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantora {

// Each byte becomes the code point of the same value, written as UTF-8.
std::string Latin1ToUtf8(const std::uint8_t* data, std::size_t size);

// One byte per character: the low 8 bits of each code point. A byte that is not part of a
// well-formed UTF-8 sequence stands for itself, so no input is rejected.
std::string Utf8ToLatin1(std::string_view utf8);

}  // namespace vantora
