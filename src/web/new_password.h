#pragma once
// The rules for a new web console password, the same in the Network window and on the
// command line: typed twice alike, at least 8 characters; an empty viewer password removes
// viewer access (an operator password cannot be removed that way).

#include "web/web_settings.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kMinPasswordChars = 8;

enum class NewPasswordCheck { Store, RemoveViewer, Mismatch, TooShort };

NewPasswordCheck CheckNewPassword(WebRole role, std::string_view first, std::string_view second);

// The English text for the operator ("The passwords do not match", ...); empty for Store.
std::string_view NewPasswordText(NewPasswordCheck check);

// Characters of UTF-8 text (code points; a stray byte counts as one).
std::size_t Utf8Length(std::string_view text);

// "operator" / "viewer" on the command line.
std::optional<WebRole> ParseRoleName(std::string_view name);

}  // namespace vantora
