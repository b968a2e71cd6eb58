#pragma once
// Well-formed UTF-8, as MQTT requires of topics and as the bridge requires of its payloads.

#include <string_view>

namespace vantora {

// True when `text` is well-formed UTF-8: no stray continuation bytes, no truncated sequences, no
// overlong forms, no UTF-16 surrogates (U+D800..U+DFFF), nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

}  // namespace vantora
