#include "web/new_password.h"

namespace vantora {

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

NewPasswordCheck CheckNewPassword(WebRole role, std::string_view first, std::string_view second)
{
    if (first != second)
        return NewPasswordCheck::Mismatch;
    if (first.empty() && role == WebRole::Viewer)
        return NewPasswordCheck::RemoveViewer;
    if (Utf8Length(first) < kMinPasswordChars)
        return NewPasswordCheck::TooShort;
    return NewPasswordCheck::Store;
}

std::string_view NewPasswordText(NewPasswordCheck check)
{
    switch (check) {
    case NewPasswordCheck::Store: return "";
    case NewPasswordCheck::RemoveViewer: return "Viewer access removed";
    case NewPasswordCheck::Mismatch: return "The passwords do not match";
    case NewPasswordCheck::TooShort: return "The password needs at least 8 characters";
    }
    return "";
}

std::optional<WebRole> ParseRoleName(std::string_view name)
{
    if (name == "operator")
        return WebRole::Operator;
    if (name == "viewer")
        return WebRole::Viewer;
    return std::nullopt;
}

}  // namespace vantora
