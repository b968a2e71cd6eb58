#pragma once
// The texts of the browser page, in the program's language, from the program's translation
// tables: the page asks for them by their English wording.

#include <span>
#include <string>
#include <string_view>

namespace vantora {

// Every English text the page shows (one table; the page adds nothing of its own).
std::span<const std::string_view> PageTexts();

// {"language":"en"|"cs","texts":{"<English>":"<shown text>",...}} for `language` (0 English,
// 1 Czech).
std::string EncodePageTexts(int language);

}  // namespace vantora
