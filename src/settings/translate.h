#pragma once
// English to Czech for the texts of the user interface that follow the language setting.

#include <span>
#include <string>
#include <string_view>

namespace vantora {

struct TranslationPair {
    std::string_view english;
    std::string_view czech;
};

// The pairs in the order in which Translate tests them.
std::span<const TranslationPair> TranslationTable();
// Pairs added later, looked up after those of TranslationTable.
std::span<const TranslationPair> AddedTranslationTable();

// language 1: the Czech text of the pair whose key equals `english` exactly, else `english`.
// Any other language (0 English, -1 none selected, ...): `english` unchanged.
std::string Translate(int language, std::string_view english);

}  // namespace vantora
