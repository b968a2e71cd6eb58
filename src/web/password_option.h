#pragma once
// The command line's "--set-web-password operator|viewer": which role's password to set, or why
// the option cannot be taken.

#include "web/web_settings.h"

#include <optional>

#include <optional>
#include <string>
#include <vector>

namespace vantora {

struct PasswordOption {
    std::optional<WebRole> role;  // nothing: the role after the option is missing or unknown
};

// The option if it is on the command line (its role is the argument after it).
std::optional<PasswordOption> FindPasswordOption(const std::vector<std::string>& arguments);

inline constexpr char kPasswordOptionUsage[] =
    "Usage: vantora --set-web-password operator|viewer (the password is read twice from standard input)";

}  // namespace vantora
