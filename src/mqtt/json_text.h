#pragma once
// JSON text for the documents the bridge publishes.

#include <string>
#include <string_view>

namespace vantora {

// `text` as a JSON string, quotes included: '"' and '\' escaped, control characters as \uXXXX
// (\n, \r, \t as such). The text is taken as UTF-8 and passed through; a byte that is not part
// of well-formed UTF-8 becomes U+FFFD, so the document stays valid JSON whatever the text held.
std::string JsonString(std::string_view text);

}  // namespace vantora
